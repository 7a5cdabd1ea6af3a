#include "processing/log_text.h"

#include "document/cyrillic.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace processing {

void readLogLines(const QString& path, std::vector<std::string>& lines) {
    auto reader = platform::TextFileReader::fromBytes(platform::readFileBytes(path));
    while (!reader.eof()) {
        std::string line = reader.readLine();
        if (line.size() > kMaxLogLine) throw platform::RangeCheckError();
        for (char& c : line)
            c = static_cast<char>(document::cp866ToCp1251(static_cast<unsigned char>(c)));
        lines.push_back(std::move(line));
    }
}

} // namespace processing
