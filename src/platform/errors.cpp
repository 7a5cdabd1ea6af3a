#include "platform/errors.h"

#include <cerrno>

#include "platform/codepage.h"

namespace platform {

UnicodeRuntimeError::UnicodeRuntimeError(const QString& message)
    : RuntimeError(toCp1251(message)), message_(message) {}

FileOpenError::FileOpenError(const std::string& path) : RuntimeError("Cannot open file " + path) {}

std::string inOutMessage(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(errorNumber);
    }
}

InOutError::InOutError(int errorNumber)
    : RuntimeError(inOutMessage(errorNumber)), errorNumber_(errorNumber) {}

} // namespace platform
