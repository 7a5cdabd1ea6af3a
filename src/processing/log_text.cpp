#include "processing/log_text.h"

#include <array>
#include <cstring>

#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/recognition.h"
#include "platform/textfile.h"
#include "processing/log_utf8.h"

namespace processing {

std::vector<std::string_view> splitLogLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string_view> lines;
    // TeX's lines are short; room that is never written costs no memory.
    lines.reserve(bytes.size() / 16 + 1);
    const char* const end = bytes.data() + bytes.size();
    const char* lf = nullptr; // the first LF at or after the line's start, or end
    for (const char* start = bytes.data(); start != end;) {
        if (lf == nullptr || lf < start) {
            lf = static_cast<const char*>(
                std::memchr(start, '\n', static_cast<size_t>(end - start)));
            if (lf == nullptr) lf = end;
        }
        auto cr =
            static_cast<const char*>(std::memchr(start, '\r', static_cast<size_t>(lf - start)));
        const char* stop = cr != nullptr ? cr : lf;
        lines.emplace_back(start, static_cast<size_t>(stop - start));
        if (stop == end) break;
        start = stop + 1;
        if (cr != nullptr && start == lf && lf != end) start = lf + 1; // CR LF
    }
    return lines;
}

platform::TextEncoding logEightBitEncoding(std::string_view bytes,
                                           platform::TextEncoding sourceEncoding) {
    if (const auto recognised = platform::eightBitEncodingOf(bytes)) return *recognised;
    return sourceEncoding == platform::TextEncoding::Utf8 ? platform::TextEncoding::Cp866
                                                          : sourceEncoding;
}

std::string logLineToCp1251(std::string_view bytes, platform::TextEncoding encoding) {
    std::string line(bytes);
    if (encoding == platform::TextEncoding::Cp866) {
        for (char& c : line)
            c = static_cast<char>(platform::cp866ToCp1251(static_cast<unsigned char>(c)));
        return line;
    }
    const std::array<char16_t, 256>& characters = *platform::encodingOf(encoding).characters;
    for (char& c : line) {
        unsigned char byte = '?';
        platform::unicodeToCp1251(characters[static_cast<unsigned char>(c)], byte);
        c = static_cast<char>(byte);
    }
    return line;
}

void readLogLines(const QString& path, std::vector<std::string>& lines,
                  platform::TextEncoding sourceEncoding) {
    appendLogLines(platform::readFileBytes(path), lines, sourceEncoding);
}

void appendLogLines(std::string_view raw, std::vector<std::string>& lines,
                    platform::TextEncoding sourceEncoding) {
    const bool utf8 = isUtf8Log(raw);
    const platform::TextEncoding eightBit =
        utf8 ? platform::TextEncoding::Cp866 : logEightBitEncoding(raw, sourceEncoding);
    std::string whole;
    std::string_view bytes = raw;
    if (utf8) {
        whole = withWholeCharacters(raw);
        bytes = whole;
    }
    for (std::string_view view : splitLogLines(bytes)) {
        if (view.size() > kMaxLogLine) throw platform::RangeCheckError();
        lines.push_back(utf8 ? utf8LogLineToCp1251(view) : logLineToCp1251(view, eightBit));
    }
}

} // namespace processing
