#include "processing/log_navigation.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/textfile.h"
#include "processing/log_text.h"

namespace processing {

QString projectFileOf(const LogEntry& entry, const QString& logFolder) {
    const QString path = resolveLogFile(entry.file, logFolder);
    if (path.isEmpty() || !path.endsWith(QLatin1String(".tex"), Qt::CaseInsensitive)) return {};
    const QString folder = QDir::cleanPath(logFolder);
    if (!path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/')) return {};
    if (!QFileInfo(path).isFile()) return {};
    return path;
}

LogJump jumpFor(const LogEntry& entry, const QString& logFolder, const QString& currentDocument) {
    LogJump jump;
    jump.path = projectFileOf(entry, logFolder);
    if (jump.path.isEmpty()) return jump;
    jump.line = entry.line;
    const bool same = !currentDocument.isEmpty() && QDir::cleanPath(currentDocument) == jump.path;
    jump.action = same ? LogJump::Action::SameDocument : LogJump::Action::OpenDocument;
    return jump;
}

QString logTextForDisplay(std::string_view bytes, platform::TextEncoding eightBit) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    return platform::fromCp1251(logLineToCp1251(bytes, eightBit));
}

FileStamp::FileStamp(const QString& path) {
    const QFileInfo info(path);
    exists = info.isFile();
    if (!exists) return;
    size = info.size();
    modified = info.lastModified();
}

void ErrorSteps::refresh(const QString& logPath) {
    const FileStamp stamp(logPath);
    if (logPath == path_ && stamp == stamp_) return;
    path_ = logPath;
    stamp_ = stamp;
    errors_.clear();
    position_ = -1;
    if (!stamp.exists) return;
    std::string bytes;
    try {
        bytes = platform::readFileBytes(logPath);
    } catch (const platform::RuntimeError&) {
        return; // an unreadable LOG has no errors to step through
    }
    const QString folder = QFileInfo(logPath).absolutePath();
    for (LogEntry& entry : parseLog(bytes))
        if (entry.kind == LogEntryKind::Error && !projectFileOf(entry, folder).isEmpty())
            errors_.push_back(std::move(entry));
}

std::optional<LogEntry> ErrorSteps::next(const QString& logPath) {
    refresh(logPath);
    if (position_ + 1 >= static_cast<long>(errors_.size())) return std::nullopt;
    return errors_[static_cast<size_t>(++position_)];
}

std::optional<LogEntry> ErrorSteps::previous(const QString& logPath) {
    refresh(logPath);
    if (position_ <= 0) return std::nullopt;
    return errors_[static_cast<size_t>(--position_)];
}

} // namespace processing
