#include "pdf/project_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace pdf {
namespace {

// How many files and how many bytes of each are read at most: a project is never larger,
// and a file that reaches itself or a huge one never keeps a jump waiting.
constexpr qsizetype kMaxFiles = 500;
constexpr qint64 kMaxBytes = 4 * 1024 * 1024;

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : resolved;
}

// The names a TeX file reads other files by: \input{a} (or \input a), \include{a},
// \subfile{a}, and \import{dir/}{a} with its kin, the folder taken as TeX takes it.
QStringList namesIn(const QByteArray& bytes) {
    static const QRegularExpression single(QStringLiteral(
        R"(\\(?:input|include|subfile|includeonly)(?![A-Za-z])\s*(?:\{([^}]*)\}|([^\s{}\\%]+)))"));
    static const QRegularExpression twoPart(QStringLiteral(
        R"(\\(?:sub)?(?:import|inputfrom|includefrom)\*?\s*\{([^}]*)\}\s*\{([^}]*)\})"));
    QStringList names;
    for (const QByteArray& rawLine : bytes.split('\n')) {
        // The part of the line before a comment.
        QByteArray line = rawLine;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == '\\') {
                ++i;
            } else if (line[i] == '%') {
                line.truncate(i);
                break;
            }
        }
        const QString text = QFile::decodeName(line);
        for (auto matches = single.globalMatch(text); matches.hasNext();) {
            const QRegularExpressionMatch match = matches.next();
            const QString list = match.hasCaptured(1) ? match.captured(1) : match.captured(2);
            for (const QString& name : list.split(u','))
                if (!name.trimmed().isEmpty()) names << name.trimmed();
        }
        for (auto matches = twoPart.globalMatch(text); matches.hasNext();) {
            const QRegularExpressionMatch match = matches.next();
            const QString name = match.captured(2).trimmed();
            if (!name.isEmpty()) names << QDir(match.captured(1).trimmed()).filePath(name);
        }
    }
    return names;
}

} // namespace

QStringList reachedFiles(const QString& mainFile) {
    const QDir base = QFileInfo(mainFile).absoluteDir();
    QStringList found;
    QSet<QString> seen{canonical(mainFile)};
    QStringList pending{mainFile};
    while (!pending.isEmpty() && found.size() < kMaxFiles) {
        QFile file(pending.takeFirst());
        if (!file.open(QIODevice::ReadOnly)) continue;
        for (const QString& name : namesIn(file.read(kMaxBytes))) {
            QString path = QDir::cleanPath(base.filePath(name));
            if (QFileInfo(path).suffix().isEmpty() || !QFileInfo(path).isFile())
                if (QFileInfo(path + QStringLiteral(".tex")).isFile())
                    path += QStringLiteral(".tex");
            if (!QFileInfo(path).isFile()) continue;
            const QString key = canonical(path);
            if (seen.contains(key)) continue;
            seen.insert(key);
            found << path;
            pending << path;
        }
    }
    return found;
}

bool inProject(const QString& mainFile, const QString& path) {
    const QString target = canonical(path);
    QString folder = QFileInfo(canonical(mainFile)).absolutePath();
    if (!folder.endsWith(u'/')) folder += u'/';
    if (target.startsWith(folder)) return true;
    for (const QString& reached : reachedFiles(mainFile))
        if (canonical(reached) == target) return true;
    return false;
}

} // namespace pdf
