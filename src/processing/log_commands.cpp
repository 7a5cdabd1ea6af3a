// The next and previous error commands of the Processing menu, the jump to a LOG entry and
// the counts shown after a compile.
#include "processing/log_commands.h"

#include <QFileInfo>
#include <QPointer>

#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/textfile.h"
#include "processing/command_line.h"
#include "processing/log_navigation.h"
#include "processing/process_start.h"
#include "state/editor.h"

namespace processing {
namespace {

QString documentPath(const state::EditorState& editor) {
    if (editor.DocName.isEmpty()) return {};
    return platform::joinPath(editor.DocDir, editor.DocName + editor.DocExt);
}

// The last compile's LOG. Before any compile, the one "Просмотр файла LOG" shows; when the
// document in the editor has none (the steps have opened a file in a folder below), the
// LOG stepped through so far.
QString steppedLog(const state::EditorState& editor, const ErrorSteps& steps) {
    if (!steps.compiledLog.isEmpty()) return steps.compiledLog;
    const QString own = editor.DocName.isEmpty() ? QString() : documentLogPath(editor);
    if (!own.isEmpty() && QFileInfo(own).isFile()) return own;
    return steps.followedLog().isEmpty() ? own : steps.followedLog();
}

void stepToError(state::Editor& editor, ErrorSteps& steps, bool forward) {
    const QString log = steppedLog(editor, steps);
    const std::optional<LogEntry> entry = forward ? steps.next(log) : steps.previous(log);
    if (!entry) {
        editor.prompts().beep();
        return;
    }
    goToLogEntry(editor, *entry, QFileInfo(log).absolutePath());
}

// before: the LOG as the compile found it. A compile that wrote none (its program was no
// TeX, or stopped at once) must not show the counts of an earlier one. True when it wrote one.
bool showCompileCounts(state::Editor& editor, const QString& log, const FileStamp& before) {
    const FileStamp after(log);
    if (!after.exists || after == before) return false;
    editor.ShowIndicatorNotice(countsText(countLogEntries(parseLog(platform::readFileBytes(log)))));
    return true;
}

} // namespace

QString documentLogPath(const state::EditorState& editor) {
    return targetOf(editor.DocDir, editor.DocName, editor.MainFile).file(QStringLiteral(".log"));
}

bool goToLogEntry(state::Editor& editor, const LogEntry& entry, const QString& logFolder) {
    const LogJump jump = jumpFor(entry, logFolder, documentPath(editor));
    if (jump.action == LogJump::Action::None) {
        editor.prompts().beep();
        return false;
    }
    if (jump.action == LogJump::Action::OpenDocument && !editor.OpenAnotherDocument(jump.path))
        return false;
    if (jump.line) editor.CaretToLine(*jump.line);
    return true;
}

void nextError(state::Editor& editor, ErrorSteps& steps) {
    stepToError(editor, steps, true);
}
void previousError(state::Editor& editor, ErrorSteps& steps) {
    stepToError(editor, steps, false);
}

void watchCompile(state::Editor& editor, ErrorSteps& steps, pid_t pid,
                  std::function<void(int status, bool logWritten)> afterward) {
    const QString log = documentLogPath(editor);
    steps.compiledLog = log;
    // The editor lives as long as its window: a compile that ends after the editor has
    // gone shows nothing.
    QPointer<QObject> control(editor.RichEdit1->window());
    ChildProcesses::instance().onExit(
        pid, [&editor, control, log, before = FileStamp(log), afterward](int status) {
            if (!control) return;
            bool written = false;
            editor.Guarded([&] { written = showCompileCounts(editor, log, before); });
            if (afterward) afterward(status, written);
        });
}

} // namespace processing
