#include "document/tex_view.h"

#include <array>

#include "document/texts.h"
#include "platform/charsets.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/tex_characters.h"
#include "platform/textfile.h"

namespace document {
namespace {

// What a byte of the TeX file does in the view.
enum class ByteClass : unsigned char { Plain, Cyrillic, Latin };

// The Russian letters are where CP866 keeps them, or for a text already in CP1251 where
// CP1251 keeps them; the markup is the same in both.
constexpr std::array<ByteClass, 256> makeClasses(bool cp1251Text) {
    std::array<ByteClass, 256> classes{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const bool letter =
            cp1251Text ? platform::cp1251ToCp866(byte) != byte : platform::isCp866Letter(byte);
        classes[static_cast<size_t>(b)] = letter ? ByteClass::Cyrillic : ByteClass::Plain;
    }
    for (char c : platform::kTexMarkupLetters)
        classes[static_cast<unsigned char>(c)] = ByteClass::Latin;
    return classes;
}

using ByteClasses = std::array<ByteClass, 256>;
constexpr ByteClasses kClasses = makeClasses(false);
constexpr ByteClasses kCp1251Classes = makeClasses(true);

// Walks a TeX file as its view shows it: line by line (CR, CR LF or a lone LF ends one,
// 0x1A the file), each byte after the opening of the run it starts, if it starts one.
template <typename Out>
void walkView(std::string_view tex, Out& out, const ByteClasses& classes = kClasses) {
    size_t mark = tex.find('\x1A');
    if (mark != std::string_view::npos) tex = tex.substr(0, mark);

    int runState = -1;
    size_t pos = 0;
    while (pos < tex.size()) {
        size_t end = tex.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = tex.size();
        for (size_t i = pos; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(tex[i]);
            const ByteClass byteClass = classes[byte];
            if (byteClass == ByteClass::Cyrillic && runState != platform::kCyrillicCharset) {
                runState = platform::kCyrillicCharset;
                out.openRun(runState);
            } else if (byteClass == ByteClass::Latin && runState != platform::kLatinCharset) {
                runState = platform::kLatinCharset;
                out.openRun(runState);
            }
            out.put(byteClass, byte);
        }
        out.endLine();
        pos = end + 1;
        if (end < tex.size() && tex[end] == '\r' && pos < tex.size() && tex[pos] == '\n') ++pos;
    }
}

// The runs of the view: text before the first run opens is in the default look (set 0, no
// size), every run opened is of its set at 10 points, as the RTF the editor once showed
// files through gave them.
class ViewRunsWriter {
  public:
    // fromCp866: the walked bytes are CP866, and its letters become CP1251 ones.
    explicit ViewRunsWriter(bool fromCp866 = true) : fromCp866_(fromCp866) {}

    void openRun(int charset) {
        charset_ = charset;
        halfPoints_ = kRunHalfPoints;
        checked_ = false;
    }

    void put(ByteClass byteClass, unsigned char byte) {
        text().push_back(static_cast<char>(
            byteClass == ByteClass::Cyrillic && fromCp866_ ? platform::cp866ToCp1251(byte) : byte));
    }

    void endLine() { text().push_back('\n'); }

    std::vector<platform::TextRun> finish() { return std::move(runs_); }

  private:
    static constexpr int kRunHalfPoints = 20; // 10 points

    // The last run, or a new one when the run opened since has another look.
    std::string& text() {
        if (!checked_) {
            if (runs_.empty() || runs_.back().charset != charset_ ||
                runs_.back().halfPoints != halfPoints_) {
                platform::TextRun run;
                run.charset = charset_;
                run.halfPoints = halfPoints_;
                runs_.push_back(std::move(run));
            }
            checked_ = true;
        }
        return runs_.back().text;
    }

    bool fromCp866_ = true;
    int charset_ = platform::kLatinCharset;
    int halfPoints_ = 0;
    bool checked_ = false;
    std::vector<platform::TextRun> runs_;
};

// Refuses bytes the view would drop: NUL anywhere, anything after the first 0x1A but
// more 0x1A.
void checkNothingDropped(std::string_view tex) {
    if (tex.find('\0') != std::string_view::npos) throw platform::RuntimeError(cp1251(kNulBytes));
    const size_t mark = tex.find('\x1A');
    if (mark != std::string_view::npos &&
        tex.find_first_not_of('\x1A', mark) != std::string_view::npos)
        throw platform::RuntimeError(cp1251(kTextAfterEndMark));
}

} // namespace

std::vector<platform::TextRun> readTexView(std::string_view tex) {
    checkNothingDropped(tex);
    ViewRunsWriter writer;
    walkView(tex, writer);
    return writer.finish();
}

std::vector<platform::TextRun> readCp1251View(std::string_view text) {
    ViewRunsWriter writer(false);
    walkView(text, writer, kCp1251Classes);
    return writer.finish();
}

std::string readDocumentBytes(const QString& path) {
    try {
        return platform::readFileBytes(path);
    } catch (const platform::NotRegularFileError&) {
        throw platform::RuntimeError(cp1251(kNotRegularFile));
    }
}

std::vector<platform::TextRun> readTexFile(const QString& path) {
    return readTexView(readDocumentBytes(path));
}

} // namespace document
