#include "platform/textfile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace platform {

NotRegularFileError::NotRegularFileError() : InOutError(EACCES) {}

std::string readFileBytes(const std::string& path) {
    return readFileBytes(fsPath(path));
}

std::string readFileBytes(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    // What the name shows is checked before opening, so that no device is ever opened; the
    // open itself does not wait for a FIFO's writer, and what was opened is checked again.
    struct stat info {};
    if (::stat(native.constData(), &info) == 0 && !S_ISREG(info.st_mode))
        throw NotRegularFileError();
    int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENXIO) throw NotRegularFileError(); // a socket
        throw InOutError(errno);
    }
    const bool described = ::fstat(fd, &info) == 0;
    if (!described || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (!described) throw InOutError(error);
        throw NotRegularFileError();
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::string bytes;
    if (info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            int error = errno;
            ::close(fd);
            throw InOutError(error);
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

TextFileReader::TextFileReader(const std::string& path) : data_(readFileBytes(path)) {
    cutAtEndOfFileMark();
}

TextFileReader TextFileReader::fromBytes(std::string bytes) {
    TextFileReader reader;
    reader.data_ = std::move(bytes);
    reader.cutAtEndOfFileMark();
    return reader;
}

void TextFileReader::cutAtEndOfFileMark() {
    size_t mark = data_.find('\x1A');
    if (mark != std::string::npos) data_.resize(mark);
}

std::string TextFileReader::readLine() {
    size_t end = data_.find('\r', pos_);
    if (end == std::string::npos) end = data_.size();
    std::string line = data_.substr(pos_, end - pos_);
    pos_ = end;
    skipLine();
    return line;
}

void TextFileReader::skipLine() {
    size_t end = data_.find('\r', pos_);
    if (end == std::string::npos) {
        pos_ = data_.size();
        return;
    }
    pos_ = end + 1;
    if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
}

int32_t TextFileReader::readInteger() {
    while (pos_ < data_.size() && static_cast<unsigned char>(data_[pos_]) <= 0x20)
        ++pos_;
    if (eof()) return 0;
    size_t start = pos_;
    while (pos_ < data_.size() && pos_ - start < 32 &&
           static_cast<unsigned char>(data_[pos_]) > 0x20)
        ++pos_;
    int32_t value = 0;
    if (!parseInteger(std::string_view(data_).substr(start, pos_ - start), value))
        throw InvalidNumericInput();
    return value;
}

bool parseInteger(std::string_view text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return false;
    int64_t magnitude = 0;
    const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return false;
    }
    value = static_cast<int32_t>(negative ? -magnitude : magnitude);
    return true;
}

} // namespace platform
