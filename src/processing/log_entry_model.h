#pragma once
// The LOG viewer's list: the entries of a LOG, errors first, then warnings, then bad boxes,
// one row each with its kind, file, line and message.
#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/text_encoding.h"
#include "processing/log_parser.h"

namespace processing {

class LogEntryModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { KindColumn, FileColumn, LineColumn, MessageColumn, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // eightBit: the code page of a LOG that is not UTF-8 (logEightBitEncoding).
    void setEntries(std::vector<LogEntry> entries,
                    platform::TextEncoding eightBit = platform::TextEncoding::Cp866);
    const std::vector<LogEntry>& entries() const { return entries_; }
    const LogEntry& entryAt(int row) const { return entries_[order_[static_cast<size_t>(row)]]; }
    // The row of the entry whose LOG lines include logLine; none between entries.
    std::optional<int> rowAtLogLine(size_t logLine) const;
    // The packages and classes the LOG says are missing (missing_files.h), each once.
    QStringList missingTexLiveFiles() const;
    // The Debian package that holds a missing file: its rows name it from now on.
    void setPackageOf(const QString& file, const QString& package);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::vector<LogEntry> entries_; // in LOG order
    std::vector<size_t> order_;     // row -> entry
    std::vector<int> rowOf_;        // entry -> row
    platform::TextEncoding eightBit_ = platform::TextEncoding::Cp866;
    QHash<QString, QString> packages_; // missing file -> Debian package
};

} // namespace processing
