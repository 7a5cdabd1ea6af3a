#pragma once
// The editor's side of the LOG: where the LOG of the document lies, going to the place of a
// LOG entry, stepping through the errors of the last compile, and the counts shown when a
// compile has ended.
#include <QString>
#include <functional>
#include <sys/types.h>

namespace state {
class Editor;
struct EditorState;
} // namespace state

namespace processing {

struct LogEntry;
class ErrorSteps;

// The LOG of the document in the editor (its main file's, when it is attached to one).
QString documentLogPath(const state::EditorState& editor);

// Shows the place of entry in the editor: the caret goes to the start of its line, in the
// document in the editor or in another file of the project, opened as "Открыть" opens one.
// A beep when the entry names no file of the project. logFolder: the LOG's.
// False when nothing was shown (a beep, or the user cancelled leaving the document).
bool goToLogEntry(state::Editor& editor, const LogEntry& entry, const QString& logFolder);

// "Следующая ошибка" and "Предыдущая ошибка": the place of the next or previous error of the
// last compile's LOG (before any compile, of the LOG "Просмотр файла LOG" shows); a beep
// when there is none in that direction.
void nextError(state::Editor& editor, ErrorSteps& steps);
void previousError(state::Editor& editor, ErrorSteps& steps);

// The compile pid has started on the document: its LOG becomes the one steps follows, and
// when it ends having written that LOG, the layout indicator shows the counts of its errors
// and warnings until the next key or caret move. Then afterward, when given, runs with the
// compile's wait status and whether it wrote the LOG (not once the editor has gone).
void watchCompile(state::Editor& editor, ErrorSteps& steps, pid_t pid,
                  std::function<void(int status, bool logWritten)> afterward = {});

} // namespace processing
