// The status-file reader on any bytes; what it reads whole is written and read back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document/status_file.h"
#include "platform/errors.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    document::StatusRecord record;
    try {
        document::parseStatusFile(bytes, record);
    } catch (const platform::InvalidNumericInput&) {
        check(record.mainFile.has_value() && !record.caret.has_value());
        return 0;
    }
    check(record.mainFile && record.smartKeyboardOn && record.caret);
    const QString& mainFile = *record.mainFile;
    check(!mainFile.contains(QLatin1Char('\r')) && !mainFile.contains(QLatin1Char('\x1A')));

    document::StatusRecord again;
    document::parseStatusFile(
        document::statusFileText(mainFile, *record.smartKeyboardOn, *record.caret), again);
    check(again.mainFile == record.mainFile && again.smartKeyboardOn == record.smartKeyboardOn &&
          again.caret == record.caret);
    return 0;
}
