#include "processing/log_text.h"

#include "document/cyrillic.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace processing {

std::vector<std::string_view> splitLogLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\x1A'));
    std::vector<std::string_view> lines;
    lines.reserve(bytes.size() / 48 + 1);
    const char* const end = bytes.data() + bytes.size();
    const char* start = bytes.data();
    for (const char* p = start; p != end; ++p) {
        if (*p != '\n' && *p != '\r') continue;
        lines.emplace_back(start, static_cast<size_t>(p - start));
        if (*p == '\r' && p + 1 != end && p[1] == '\n') ++p;
        start = p + 1;
    }
    if (start != end) lines.emplace_back(start, static_cast<size_t>(end - start));
    return lines;
}

void readLogLines(const std::string& path, std::vector<std::string>& lines) {
    const std::string bytes = platform::readFileBytes(path);
    for (std::string_view view : splitLogLines(bytes)) {
        if (view.size() > kMaxLogLine) throw platform::RangeCheckError();
        std::string line(view);
        for (char& c : line)
            c = static_cast<char>(document::cp866ToCp1251(static_cast<unsigned char>(c)));
        lines.push_back(std::move(line));
    }
}

} // namespace processing
