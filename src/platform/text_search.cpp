#include "platform/text_search.h"

#include "platform/codepage.h"

#include <QChar>
#include <array>
#include <string>

namespace platform {
namespace {

struct WordTable {
    std::array<bool, 256> word{};
    WordTable() {
        for (int b = 0; b < 256; ++b)
            word[static_cast<size_t>(b)] =
                QChar(cp1251ToUnicode(static_cast<unsigned char>(b))).isLetterOrNumber();
    }
};

// The text read so far from the source, from position `start` on; consumed text is dropped
// now and then, keeping one byte before the current candidate.
class Window {
  public:
    Window(ChunkSource& source, int start) : source_(source), start_(start) {}

    // True when the text up to position `end` (exclusive) has been read.
    bool reach(int end) {
        while (!ended_ && start_ + static_cast<int>(bytes_.size()) < end) {
            const std::string_view chunk = source_.nextChunk();
            if (chunk.empty())
                ended_ = true;
            else
                bytes_.append(chunk);
        }
        return start_ + static_cast<int>(bytes_.size()) >= end;
    }
    unsigned char at(int position) const {
        return static_cast<unsigned char>(bytes_[static_cast<size_t>(position - start_)]);
    }
    const char* data(int position) const {
        return bytes_.data() + static_cast<size_t>(position - start_);
    }
    void dropBefore(int position) {
        const int drop = position - start_;
        if (drop > 65536) {
            bytes_.erase(0, static_cast<size_t>(drop));
            start_ = position;
        }
    }

  private:
    ChunkSource& source_;
    int start_;
    std::string bytes_;
    bool ended_ = false;
};

} // namespace

bool isWordCharCp1251(unsigned char byte) {
    static const WordTable table;
    return table.word[byte];
}

int findForward(ChunkSource& source, int from, int to, int before, std::string_view pattern,
                bool wholeWord, bool matchCase) {
    const int length = static_cast<int>(pattern.size());
    if (length == 0 || from < 0 || to - from < length) return -1;

    std::string key(pattern);
    if (!matchCase)
        for (char& c : key)
            c = static_cast<char>(upperCaseCp1251(static_cast<unsigned char>(c)));
    const unsigned char first = static_cast<unsigned char>(key[0]);
    const bool wordAtStart = isWordCharCp1251(static_cast<unsigned char>(pattern.front()));
    const bool wordAtEnd = isWordCharCp1251(static_cast<unsigned char>(pattern.back()));

    Window text(source, from);
    for (int i = from; i + length <= to; ++i) {
        if (!text.reach(i + length)) return -1;
        text.dropBefore(i - 1);
        const unsigned char c = text.at(i);
        if ((matchCase ? c : upperCaseCp1251(c)) != first) continue;
        const char* candidate = text.data(i);
        bool equal = true;
        for (int k = 1; k < length && equal; ++k) {
            const unsigned char t = static_cast<unsigned char>(candidate[k]);
            equal = (matchCase ? t : upperCaseCp1251(t)) == static_cast<unsigned char>(key[k]);
        }
        if (!equal) continue;
        if (wholeWord) {
            const int previous = i == from ? before : text.at(i - 1);
            if (wordAtStart && previous >= 0 &&
                isWordCharCp1251(static_cast<unsigned char>(previous)))
                continue;
            if (wordAtEnd && text.reach(i + length + 1) && isWordCharCp1251(text.at(i + length)))
                continue;
        }
        return i;
    }
    return -1;
}

} // namespace platform
