#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringDecoder>

#include "platform/codepage.h"
#include "platform/text_encoding.h"

namespace platform {

PathParts splitPath(const QString& path) {
    PathParts parts;
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    parts.fileName = slash < 0 ? path : path.mid(slash + 1);
    const qsizetype dot = parts.fileName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) parts.extension = parts.fileName.mid(dot);
    parts.nameWithoutExtension =
        parts.fileName.left(parts.fileName.size() - parts.extension.size());
    if (slash >= 0) {
        // The final "/" goes unless it is the first character or follows another "/".
        qsizetype length = slash + 1;
        if (slash > 0 && path[slash - 1] != QLatin1Char('/')) length = slash;
        parts.folder = path.left(length);
    }
    return parts;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty()) return name;
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

QString absolutePath(const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path)) return path;
    return joinPath(QDir::currentPath(), path);
}

bool isWorkablePath(const QString& path) {
    for (QChar ch : path)
        if (ch.unicode() < 0x20 || ch == QChar::ReplacementCharacter) return false;
    return true;
}

std::string storedPath(const QString& path) {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(path.size()));
    bool exact = true;
    for (QChar ch : path) {
        unsigned char byte = 0;
        if (!unicodeToCp1251(ch.unicode(), byte)) {
            exact = false;
            break;
        }
        bytes.push_back(static_cast<char>(byte));
    }
    if (exact && !bytes.starts_with(kUtf8ByteOrderMark)) return bytes;
    return std::string(kUtf8ByteOrderMark) + path.toUtf8().toStdString();
}

QString pathFromStored(std::string_view bytes) {
    if (!bytes.starts_with(kUtf8ByteOrderMark)) return fromCp1251(bytes);
    bytes.remove_prefix(kUtf8ByteOrderMark.size());
    // A second mark is the name's own first character (U+FEFF), not to be skipped.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string programFolder() {
    return toCp1251(splitPath(QCoreApplication::applicationFilePath()).folder);
}

} // namespace platform
