#pragma once
// Text files as the editor reads them: a line ends at CR, an LF right after that CR belongs
// to the line end, a lone LF stays inside the line, byte 0x1A ends the file, and reading
// past the end yields empty lines and numbers that read as 0.
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace platform {

class TextFileReader {
  public:
    // Reads the whole file; throws InOutError when it cannot be opened or read, or is no
    // regular file (readFileBytes).
    explicit TextFileReader(const std::string& path);
    // Reads from bytes already in memory (the same rules apply).
    static TextFileReader fromBytes(std::string bytes);

    bool eof() const { return pos_ >= data_.size(); }
    // The next line without its line end; an empty string past the end.
    std::string readLine();
    // Skips bytes up to 0x20 (across lines), then reads up to 32 bytes above 0x20 as an
    // integer. Throws InvalidNumericInput when they are not one; 0 at the end of the file.
    int32_t readInteger();
    // Skips the rest of the current line, its line end included.
    void skipLine();

  private:
    TextFileReader() = default;
    void cutAtEndOfFileMark();

    std::string data_;
    size_t pos_ = 0;
};

// The runtime's whole-number conversion: leading blanks, an optional sign, decimal digits
// or a hexadecimal number after "$", "x", "X", "0x" or "0X"; nothing may follow the
// digits. False when the text is not such a number or leaves the 32-bit range.
bool parseInteger(std::string_view text, int32_t& value);

// A path that names no regular file: a folder, a FIFO, a device or a socket. Reading one
// could block for ever (a FIFO without a writer) or never end (a device), so it is
// refused before a byte is read. Its message is the runtime's "File access denied".
class NotRegularFileError : public InOutError {
  public:
    NotRegularFileError();
};

// Reads a whole regular file as bytes; throws NotRegularFileError for anything else and
// InOutError when the file cannot be opened or read. Never blocks on a FIFO or device.
// The path as the file system names it, or held in CP1251 (as the data files are named).
std::string readFileBytes(const QString& path);
std::string readFileBytes(const std::string& path);

} // namespace platform
