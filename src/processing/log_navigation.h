#pragma once
// From a LOG entry to the place in the project it speaks of: what the main window does
// when the user picks an entry in the LOG viewer or steps to the next or previous error.
//
// The project's files are the TeX files (".tex") that exist in the folder the compile ran
// in (where the LOG lies) or below it; an entry in a package or class of the TeX
// installation, or in a file that is gone, leads nowhere.
#include <QDateTime>
#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"
#include "processing/log_parser.h"

namespace processing {

struct LogJump {
    enum class Action {
        None,         // the entry names no file of the project
        SameDocument, // the file is the document in the editor
        OpenDocument, // another file of the project: open it first
    };
    Action action = Action::None;
    QString path;            // the file, absolute (as DocDir + DocName + DocExt)
    std::optional<int> line; // the line to put the caret on, from 1; none: leave the caret
};

// The project file an entry names, or empty. logFolder: the folder of the LOG (absolute).
QString projectFileOf(const LogEntry& entry, const QString& logFolder);

// What picking entry does while currentDocument (absolute path; empty when untitled) is in
// the editor.
LogJump jumpFor(const LogEntry& entry, const QString& logFolder, const QString& currentDocument);

// A message or file name of a LOG as the user reads it: UTF-8 when the bytes are UTF-8
// (a LOG of a UTF-8 document, file names), otherwise Russian letters in CP866.
QString logTextForDisplay(std::string_view bytes,
                          platform::TextEncoding eightBit = platform::TextEncoding::Cp866);

// A file as it stands: there or not, its size and time. Another stamp means another file.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    FileStamp() = default;
    explicit FileStamp(const QString& path);
    bool operator==(const FileStamp&) const = default;
};

// The errors of a compile's LOG that lead into the project, stepped through one at a time
// from the main window. The LOG is read again whenever it has changed on disk (a new
// compile), and the steps then start again before its first error.
class ErrorSteps {
  public:
    // The LOG of the last compile started from this editor; empty before the first one.
    QString compiledLog;

    // The next or previous error of the LOG at logPath; none when there is none in that
    // direction (or no LOG, or no error in it): the position then stays where it was.
    std::optional<LogEntry> next(const QString& logPath);
    std::optional<LogEntry> previous(const QString& logPath);

    // The LOG stepped through last; empty before the first step.
    const QString& followedLog() const { return path_; }

  private:
    void refresh(const QString& logPath);

    QString path_;
    FileStamp stamp_;
    std::vector<LogEntry> errors_;
    long position_ = -1; // the error gone to last; -1 before the first
};

} // namespace processing
