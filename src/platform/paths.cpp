#include "platform/paths.h"

#include <QCoreApplication>

#include "platform/codepage.h"

namespace platform {

PathParts splitPath(const std::string& path) {
    PathParts parts;
    size_t slash = path.rfind('/');
    parts.fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = parts.fileName.rfind('.');
    if (dot != std::string::npos) parts.extension = parts.fileName.substr(dot);
    parts.nameWithoutExtension = parts.fileName.substr(0, parts.fileName.size() - parts.extension.size());
    if (slash != std::string::npos) {
        // The final "/" goes unless it is the first character or follows another "/".
        size_t length = slash + 1;
        if (slash > 0 && path[slash - 1] != '/') length = slash;
        parts.folder = path.substr(0, length);
    }
    return parts;
}

std::string programFolder() {
    return splitPath(fromFsPath(QCoreApplication::applicationFilePath())).folder;
}

} // namespace platform
