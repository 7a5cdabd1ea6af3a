// The RTF reader on any bytes, and the RTF view of any TeX file read back: the view must
// give the file's lines, converted to CP1251, in runs whose character set is that of the
// script they belong to; for a file of ASCII and Russian letters the runs the editor loads
// directly must be the same (its lines ended), and the editor refuses exactly the files it
// would drop bytes from (NUL, anything but 0x1A after the first 0x1A).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/tex_view.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/rtf_reader.h"
#include "support/rtf_view_writer.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

std::string expectedText(std::string_view tex) {
    size_t mark = tex.find('\x1A');
    if (mark != std::string_view::npos) tex = tex.substr(0, mark);
    std::string text;
    for (size_t i = 0; i < tex.size(); ++i) {
        char c = tex[i];
        if (c == '\r') {
            text += '\n';
            if (i + 1 < tex.size() && tex[i + 1] == '\n') ++i;
        } else if (c != '\n' && c != '\0') {
            text += static_cast<char>(platform::cp866ToCp1251(static_cast<unsigned char>(c)));
        }
    }
    if (!tex.empty() && tex.back() != '\r' &&
        !(tex.size() >= 2 && tex.substr(tex.size() - 2) == "\r\n"))
        text += '\n';
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);

    auto runs = platform::readRtf(bytes);
    int64_t length = platform::rtfTextLength(runs);
    check(length >= 0);
    for (const auto& run : runs)
        check(!run.text.isEmpty());

    std::string text;
    for (const auto& run : platform::readRtf(support::rtfViewOf(bytes))) {
        const std::string runText = platform::toCp1251(run.text);
        for (char c : runText) {
            // CP1251 letters that only a CP866 letter can have become (other bytes pass
            // unchanged and may look like CP1251 letters in any run).
            auto byte = static_cast<unsigned char>(c);
            if ((byte >= 0xE0 && byte <= 0xEF) || byte == 0xA8) check(run.charset == 204);
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\\' || c == '$')
                check(run.charset == 0);
        }
        text += runText;
    }
    check(text == expectedText(bytes));

    // What the editor loads: the same runs, with a lone LF ending its line as a CR does.
    const size_t mark = bytes.find('\x1A');
    const bool dropsBytes = bytes.find('\0') != std::string_view::npos ||
                            (mark != std::string_view::npos &&
                             bytes.find_first_not_of('\x1A', mark) != std::string_view::npos);
    std::vector<platform::TextRun> loaded;
    try {
        loaded = document::readTexView(bytes);
    } catch (const platform::RuntimeError&) {
        check(dropsBytes);
        return 0;
    }
    check(!dropsBytes);
    // The view ends every line, the last one too, and knows only CP866's Russian letters
    // above ASCII.
    std::string ended(bytes);
    const size_t end = std::min(ended.find('\x1A'), ended.size());
    if (end > 0 && ended[end - 1] != '\r' && ended[end - 1] != '\n') ended.insert(end, "\r\n");
    for (char c : ended)
        if (static_cast<unsigned char>(c) >= 0x80 &&
            !platform::isCp866Letter(static_cast<unsigned char>(c)))
            return 0;
    loaded = document::readTexView(ended);
    const auto viaView = support::runsThroughRtfView(ended);
    check(loaded.size() == viaView.size());
    for (size_t i = 0; i < loaded.size(); ++i)
        check(loaded[i].text == viaView[i].text && loaded[i].charset == viaView[i].charset &&
              loaded[i].halfPoints == viaView[i].halfPoints);
    return 0;
}
