#include "project/project_files.h"

#include <QDir>
#include <QFileInfo>

#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/recognition.h"
#include "platform/text_encoding.h"
#include "platform/textfile.h"
#include "project/tex_scanner.h"

namespace project {
namespace {

bool hasExtension(const QString& name) {
    const qsizetype slash = name.lastIndexOf(u'/');
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > slash + 1;
}

QString inFolder(const QString& folder, const QString& name) {
    return QDir::cleanPath(QDir::isAbsolutePath(name) ? name : platform::joinPath(folder, name));
}

} // namespace

QString missingNote() {
    return QStringLiteral("Нет такого файла");
}
QString tooLargeNote() {
    return QStringLiteral("Файл больше 64 МБ: не читается");
}
QString unreadableNote(const QString& why) {
    return QStringLiteral("Файл не читается: ") + why;
}

QString normalPath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString rootOf(const QString& documentPath, const QString& mainFile, QStringView text) {
    const QString folder = QFileInfo(documentPath).absolutePath();
    if (!mainFile.isEmpty() && mainFile != QLatin1String("*"))
        return normalPath(inFolder(folder, mainFile + QStringLiteral(".tex")));
    if (const auto magic = magicRoot(text)) return normalPath(texFileOf(folder, *magic, false));
    return normalPath(documentPath);
}

QString texFileOf(const QString& folder, const QString& name, bool include) {
    const QString path = inFolder(folder, name);
    if (include || !hasExtension(name)) return path + QStringLiteral(".tex");
    if (QFileInfo::exists(path)) return path;
    const QString withTex = path + QStringLiteral(".tex");
    return QFileInfo::exists(withTex) ? withTex : path;
}

QString bibFileOf(const QString& folder, const QString& name, bool addExtension) {
    const QString path = inFolder(folder, name);
    if (addExtension && !path.endsWith(QLatin1String(".bib"), Qt::CaseInsensitive))
        return path + QStringLiteral(".bib");
    return path;
}

QString folderOf(const QString& base, const QString& name) {
    return inFolder(base, name);
}

SourceText readSource(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {{}, missingNote()};
    if (info.size() > kMaxFileBytes) return {{}, tooLargeNote()};
    std::string bytes;
    try {
        bytes = platform::readFileBytes(path);
    } catch (const platform::NotRegularFileError&) {
        return {{}, unreadableNote(QStringLiteral("это не обычный файл"))};
    } catch (const platform::RuntimeError&) {
        return {{}, unreadableNote(QStringLiteral("нет доступа или ошибка чтения"))};
    }
    const platform::Recognition recognised = platform::recogniseEncoding(bytes);
    if (recognised.utf16) return {{}, unreadableNote(QStringLiteral("он в UTF-16"))};
    platform::Decoding decoding = platform::decodeText(bytes, recognised.encoding);
    switch (decoding.refusal) {
    case platform::DecodeRefusal::None:
        return {std::move(decoding.decoded.text), {}};
    case platform::DecodeRefusal::NulByte:
        return {{}, unreadableNote(QStringLiteral("это двоичный файл"))};
    default:
        return {{}, unreadableNote(QStringLiteral("в нём текст после знака конца файла"))};
    }
}

} // namespace project
