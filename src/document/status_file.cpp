#include "document/status_file.h"

#include "platform/paths.h"
#include "platform/textfile.h"

namespace document {

void parseStatusFile(std::string_view bytes, StatusRecord& record) {
    auto reader = platform::TextFileReader::fromBytes(std::string(bytes));
    record.mainFile = platform::pathFromStored(reader.readLine());
    // The Smart Keyboard value is read as a byte: 257 is on, 2 is off.
    int32_t smart = reader.readInteger();
    reader.skipLine();
    record.smartKeyboardOn = (static_cast<uint32_t>(smart) & 0xFFu) == 1;
    record.caret = reader.readInteger();
    reader.skipLine();
}

void readStatusFile(const QString& path, StatusRecord& record) {
    parseStatusFile(platform::readFileBytes(path), record);
}

std::string statusFileText(const QString& mainFile, bool smartKeyboardOn, int32_t caret) {
    return platform::storedPath(mainFile) + "\r\n" + (smartKeyboardOn ? "1" : "0") + "\r\n" +
           std::to_string(caret) + "\r\n";
}

} // namespace document
