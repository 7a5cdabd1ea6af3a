#pragma once
// The main window's side of the LOG: where the LOG of the document lies, going to the place
// of a LOG entry, and the counts shown when a compile has ended.
#include <QString>
#include <sys/types.h>

class TForm1;

namespace processing {

struct LogEntry;

// The LOG of the document in the editor (its main file's, when it is attached to one).
QString documentLogPath(const TForm1& form);

// Shows the place of entry in the main window: the caret goes to the start of its line,
// in the document in the editor or in another file of the project, opened as "Открыть"
// opens one. A beep when the entry names no file of the project. logFolder: the LOG's.
// False when nothing was shown (a beep, or the user cancelled leaving the document).
bool goToLogEntry(TForm1& form, const LogEntry& entry, const QString& logFolder);

// The compile pid has started on the document: its LOG becomes the one the next and
// previous error commands follow, and when it ends having written that LOG, the layout
// indicator shows the counts of its errors and warnings until the next key or caret move.
void watchCompile(TForm1& form, pid_t pid);

} // namespace processing
