// The next and previous error commands of the Processing menu, the jump to a LOG entry and
// the counts shown after a compile.
#include "processing/log_commands.h"

#include <QFileInfo>
#include <QPointer>

#include "app/tform1.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "processing/command_line.h"
#include "processing/log_navigation.h"
#include "processing/process_start.h"

namespace processing {
namespace {

ErrorSteps& errorSteps(TForm1& form) {
    if (!form.LogErrorSteps) form.LogErrorSteps = std::make_shared<ErrorSteps>();
    return *form.LogErrorSteps;
}

QString documentPath(const TForm1& form) {
    if (form.DocName.isEmpty()) return {};
    return platform::joinPath(form.DocDir, form.DocName + form.DocExt);
}

// The last compile's LOG. Before any compile, the one "Просмотр файла LOG" shows; when the
// document in the editor has none (the steps have opened a file in a folder below), the
// LOG stepped through so far.
QString steppedLog(TForm1& form) {
    const ErrorSteps& steps = errorSteps(form);
    if (!steps.compiledLog.isEmpty()) return steps.compiledLog;
    const QString own = form.DocName.isEmpty() ? QString() : documentLogPath(form);
    if (!own.isEmpty() && QFileInfo(own).isFile()) return own;
    return steps.followedLog().isEmpty() ? own : steps.followedLog();
}

void stepToError(TForm1& form, bool forward) {
    const QString log = steppedLog(form);
    ErrorSteps& steps = errorSteps(form);
    const std::optional<LogEntry> entry = forward ? steps.next(log) : steps.previous(log);
    if (!entry) {
        form.prompts().beep();
        return;
    }
    goToLogEntry(form, *entry, QFileInfo(log).absolutePath());
}

// before: the LOG as the compile found it. A compile that wrote none (its program was no
// TeX, or stopped at once) must not show the counts of an earlier one.
void showCompileCounts(TForm1& form, const QString& log, const FileStamp& before) {
    const FileStamp after(log);
    if (!after.exists || after == before) return;
    form.ShowIndicatorNotice(countsText(countLogEntries(parseLog(platform::readFileBytes(log)))));
}

} // namespace

QString documentLogPath(const TForm1& form) {
    return platform::joinPath(form.DocDir,
                              targetName(form.DocName, form.MainFile) + QStringLiteral(".log"));
}

bool goToLogEntry(TForm1& form, const LogEntry& entry, const QString& logFolder) {
    const LogJump jump = jumpFor(entry, logFolder, documentPath(form));
    if (jump.action == LogJump::Action::None) {
        form.prompts().beep();
        return false;
    }
    if (jump.action == LogJump::Action::OpenDocument && !form.OpenAnotherDocument(jump.path))
        return false;
    if (jump.line) form.CaretToLine(*jump.line);
    return true;
}

void watchCompile(TForm1& form, pid_t pid) {
    const QString log = documentLogPath(form);
    errorSteps(form).compiledLog = log;
    QPointer<TForm1> window(&form);
    ChildProcesses::instance().onEnded(pid, [window, log, before = FileStamp(log)] {
        if (window) window->Guarded([&] { showCompileCounts(*window, log, before); });
    });
}

} // namespace processing

void TForm1::NextError1Click() {
    processing::stepToError(*this, true);
}
void TForm1::PreviousError1Click() {
    processing::stepToError(*this, false);
}
