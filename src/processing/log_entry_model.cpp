#include "processing/log_entry_model.h"

#include "processing/log_navigation.h"
#include "processing/missing_files.h"

namespace processing {

void LogEntryModel::setEntries(std::vector<LogEntry> entries, platform::TextEncoding eightBit) {
    beginResetModel();
    entries_ = std::move(entries);
    eightBit_ = eightBit;
    packages_.clear();
    order_ = errorsFirst(entries_);
    rowOf_.assign(entries_.size(), 0);
    for (size_t row = 0; row < order_.size(); ++row)
        rowOf_[order_[row]] = static_cast<int>(row);
    endResetModel();
}

std::optional<int> LogEntryModel::rowAtLogLine(size_t logLine) const {
    const std::optional<size_t> entry = entryAtLogLine(entries_, logLine);
    if (!entry) return std::nullopt;
    return rowOf_[*entry];
}

QStringList LogEntryModel::missingTexLiveFiles() const {
    QStringList files;
    for (const LogEntry& entry : entries_) {
        const std::optional<std::string> file = missingFileOf(entry);
        if (!file) continue;
        const QString name = QString::fromUtf8(file->data(), qsizetype(file->size()));
        if (isTexLiveFile(name) && !files.contains(name)) files << name;
    }
    return files;
}

void LogEntryModel::setPackageOf(const QString& file, const QString& package) {
    packages_.insert(file, package);
    if (rowCount() > 0)
        emit dataChanged(index(0, MessageColumn), index(rowCount() - 1, MessageColumn));
}

int LogEntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

int LogEntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogEntryModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const LogEntry& entry = entryAt(index.row());
    switch (index.column()) {
    case KindColumn:
        switch (entry.kind) {
        case LogEntryKind::Error:
            return QStringLiteral("Ошибка");
        case LogEntryKind::Warning:
            return QStringLiteral("Предупреждение");
        case LogEntryKind::BadBox:
            return QStringLiteral("Бокс");
        }
        return {};
    case FileColumn: {
        std::string_view file = entry.file;
        if (file.starts_with("./")) file.remove_prefix(2);
        return logTextForDisplay(file, eightBit_);
    }
    case LineColumn:
        return entry.line ? QVariant(*entry.line) : QVariant();
    case MessageColumn:
        // A missing file is said plainly in the list; its tip keeps TeX's own words.
        if (const std::optional<std::string> file = missingFileOf(entry);
            file && role == Qt::DisplayRole) {
            const QString name = QString::fromUtf8(file->data(), qsizetype(file->size()));
            return missingFileMessage(name, packages_.value(name));
        }
        return logTextForDisplay(entry.message, eightBit_);
    default:
        return {};
    }
}

QVariant LogEntryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case KindColumn:
        return QStringLiteral("Вид");
    case FileColumn:
        return QStringLiteral("Файл");
    case LineColumn:
        return QStringLiteral("Строка");
    case MessageColumn:
        return QStringLiteral("Сообщение");
    default:
        return {};
    }
}

} // namespace processing
