#include "platform/text_search.h"

#include <QChar>
#include <array>
#include <string>

namespace platform {
namespace {

// Every unit's upper-case form (itself when it has no single one within the Basic
// Multilingual Plane) and whether it is a word character, built once.
struct UnitTables {
    std::array<char16_t, 65536> upper{};
    std::array<bool, 65536> word{};
    UnitTables() {
        for (char32_t u = 0; u < upper.size(); ++u) {
            const char32_t folded = QChar::toUpper(u);
            upper[u] = static_cast<char16_t>(folded < 0x10000 ? folded : u);
            word[u] = QChar::isLetterOrNumber(u) && !QChar::isSurrogate(u);
        }
    }
};

const UnitTables& tables() {
    static const UnitTables instance;
    return instance;
}

// The text read so far from the source, from position `start` on; consumed text is dropped
// now and then, keeping one unit before the current candidate.
class Window {
  public:
    Window(ChunkSource& source, int start) : source_(source), start_(start) {}

    // True when the text up to position `end` (exclusive) has been read.
    bool reach(int end) {
        while (!ended_ && start_ + static_cast<int>(units_.size()) < end) {
            const std::u16string_view chunk = source_.nextChunk();
            if (chunk.empty())
                ended_ = true;
            else
                units_.append(chunk);
        }
        return start_ + static_cast<int>(units_.size()) >= end;
    }
    char16_t at(int position) const { return units_[static_cast<size_t>(position - start_)]; }
    const char16_t* data(int position) const {
        return units_.data() + static_cast<size_t>(position - start_);
    }
    void dropBefore(int position) {
        const int drop = position - start_;
        if (drop > 65536) {
            units_.erase(0, static_cast<size_t>(drop));
            start_ = position;
        }
    }

  private:
    ChunkSource& source_;
    int start_;
    std::u16string units_;
    bool ended_ = false;
};

} // namespace

bool isWordCharacter(char16_t unit) {
    return tables().word[unit];
}

int findForward(ChunkSource& source, int from, int to, int before, std::u16string_view pattern,
                bool wholeWord, bool matchCase) {
    const int length = static_cast<int>(pattern.size());
    if (length == 0 || from < 0 || to - from < length) return -1;

    const std::array<char16_t, 65536>& upper = tables().upper;
    std::u16string key(pattern);
    if (!matchCase)
        for (char16_t& c : key)
            c = upper[c];
    const char16_t first = key[0];
    const bool wordAtStart = isWordCharacter(pattern.front());
    const bool wordAtEnd = isWordCharacter(pattern.back());

    Window text(source, from);
    for (int i = from; i + length <= to; ++i) {
        if (!text.reach(i + length)) return -1;
        text.dropBefore(i - 1);
        const char16_t c = text.at(i);
        if ((matchCase ? c : upper[c]) != first) continue;
        const char16_t* candidate = text.data(i);
        bool equal = true;
        for (int k = 1; k < length && equal; ++k) {
            const char16_t t = candidate[k];
            equal = (matchCase ? t : upper[t]) == key[static_cast<size_t>(k)];
        }
        if (!equal) continue;
        if (wholeWord) {
            const int previous = i == from ? before : text.at(i - 1);
            if (wordAtStart && previous >= 0 && isWordCharacter(static_cast<char16_t>(previous)))
                continue;
            if (wordAtEnd && text.reach(i + length + 1) && isWordCharacter(text.at(i + length)))
                continue;
        }
        return i;
    }
    return -1;
}

} // namespace platform
