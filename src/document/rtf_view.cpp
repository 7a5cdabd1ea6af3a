#include "document/rtf_view.h"

#include <array>

#include "document/texts.h"
#include "platform/atomic_file.h"
#include "platform/charsets.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/tex_characters.h"
#include "platform/textfile.h"

namespace document {
namespace {

// What a byte of the TeX file does in the view.
enum class ByteClass : unsigned char { Plain, Cyrillic, Latin, Brace };

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
    classes['{'] = ByteClass::Brace;
    classes['}'] = ByteClass::Brace;
    return classes;
}

using ByteClasses = std::array<ByteClass, 256>;
constexpr ByteClasses kClasses = makeClasses(false);
constexpr ByteClasses kCp1251Classes = makeClasses(true);

// Walks a TeX file as its view shows it: line by line by the text-file rules, each byte
// with the run switch that has to come before it. Both the view's text and the runs the
// control gets from it are written by this one walk. A lone LF stays inside its line in
// the view's text; for the control's runs it ends the line.
template <typename Out>
void walkView(std::string_view tex, bool loneLineFeedEndsLine, Out& out,
              const ByteClasses& classes = kClasses) {
    size_t mark = tex.find('\x1A');
    if (mark != std::string_view::npos) tex = tex.substr(0, mark);

    int runState = -1;
    size_t pos = 0;
    while (pos < tex.size()) {
        size_t end = tex.find_first_of(loneLineFeedEndsLine ? "\r\n" : "\r", pos);
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

// The view as RTF text.
class RtfViewWriter {
  public:
    explicit RtfViewWriter(size_t texSize) {
        rtf_.reserve(texSize + texSize / 4 + 256);
        rtf_.append(kRtfViewHeader).append("\r\n");
        rtf_.append(kRtfViewDefaults).append("\r\n");
    }

    void openRun(int charset) {
        rtf_.append(charset == platform::kCyrillicCharset ? kCyrillicRunSwitch : kLatinRunSwitch);
    }

    void put(ByteClass byteClass, unsigned char byte) {
        switch (byteClass) {
        case ByteClass::Cyrillic:
            rtf_.push_back(static_cast<char>(platform::cp866ToCp1251(byte)));
            return;
        case ByteClass::Latin:
            if (byte == '\\') rtf_.push_back('\\');
            rtf_.push_back(static_cast<char>(byte));
            return;
        case ByteClass::Brace:
            rtf_.push_back('\\');
            rtf_.push_back(static_cast<char>(byte));
            return;
        case ByteClass::Plain:
            rtf_.push_back(static_cast<char>(byte));
            return;
        }
    }

    void endLine() { rtf_.append("\\par\r\n"); }

    std::string finish() {
        rtf_.append("}\r\n");
        return std::move(rtf_);
    }

  private:
    std::string rtf_;
};

// The runs the control's RTF reader makes of the view: text before the first switch is in
// the default font (set 0, no size), every switch opens a run of its set at 10 points.
// The bytes hold no NUL (readTexView refuses them), which the reader would skip.
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
    static constexpr int kRunHalfPoints = 20; // the "\fs20" of the run switches

    // The last run, or a new one when a switch changed the look since it was opened.
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

std::string buildRtfView(std::string_view tex) {
    RtfViewWriter writer(tex.size());
    walkView(tex, false, writer);
    return writer.finish();
}

std::vector<platform::TextRun> readTexView(std::string_view tex) {
    checkNothingDropped(tex);
    ViewRunsWriter writer;
    walkView(tex, true, writer);
    return writer.finish();
}

std::vector<platform::TextRun> readCp1251View(std::string_view text) {
    ViewRunsWriter writer(false);
    walkView(text, true, writer, kCp1251Classes);
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

void BuildRtfView(const std::string& texPath, const std::string& rtfPath) {
    std::string rtf = buildRtfView(platform::readFileBytes(texPath));
    platform::writeFileAtomically(rtfPath, rtf);
}

} // namespace document
