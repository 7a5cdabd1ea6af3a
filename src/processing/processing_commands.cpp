// The Processing menu: compile, view DVI, print, the command settings and the LOG viewer.
#include "processing/processing_commands.h"

#include <QLineEdit>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "processing/command_line.h"
#include "processing/log_commands.h"
#include "processing/process_start.h"
#include "processing/tform6.h"
#include "processing/tform8.h"
#include "state/document_files.h"
#include "state/editor.h"

namespace processing {
namespace {

const char* const kUntitled = "Не могу обрабатывать безымянный файл!";
const char* const kViewerOpen = "Сначала надо закрыть окно просмотра файда DVI";
const char* const kNotTexFile =
    "Этот файл не обрабатывается: TeX запускается на файле с расширением .tex. Присоедини "
    "этот файл к главному файлу проекта, и обработан будет главный файл.";

enum class Processing { Compile, View, Print };

// Compile, view DVI and print: the same steps, with the differences marked. Returns the
// started program, 0 when none was started.
pid_t runProcessing(state::Editor& editor, Processing kind, TForm6* logViewer = nullptr) {
    if (editor.DocName.isEmpty()) {
        editor.prompts().information(platform::toCp1251(QString::fromUtf8(kUntitled)));
        return 0;
    }
    // A file that is not a ".tex" one (a .bib, a .sty) runs its main file, if it has one.
    const bool attached = !editor.MainFile.isEmpty() && editor.MainFile != QLatin1String("*");
    if (!state::isTexDocument(editor) && !attached) {
        editor.prompts().information(platform::toCp1251(QString::fromUtf8(kNotTexFile)));
        return 0;
    }
    if (kind == Processing::Compile && logViewer != nullptr && logViewer->LogShown)
        logViewer->close();

    // Wait, without a way out, until the DVI viewer started last has been closed.
    ChildProcesses& children = ChildProcesses::instance();
    while (editor.ViewerProcess != 0 && children.running(editor.ViewerProcess))
        editor.prompts().information(platform::toCp1251(QString::fromUtf8(kViewerOpen)));
    if (kind == Processing::Compile) editor.ViewerProcess = 0;

    // A titled document is saved without a dialog; a failed save throws and ends the command.
    if (editor.RichEdit1->Modified() && !editor.SaveDocument()) return 0;
    editor.RichEdit1->SetModified(false);

    // The configured command's words, then the target file as one argument, started in the
    // document's folder, where the target lies.
    const QString target = targetName(editor.DocName, editor.MainFile);
    const bool compile = kind == Processing::Compile;
    const std::string& command = compile                    ? editor.CompileCommand
                                 : kind == Processing::View ? editor.ViewCommand
                                                            : editor.PrintCommand;
    const QString argument =
        targetArgument(target, compile ? QStringLiteral(".tex") : QStringLiteral(".dvi"));
    if (!compile) editor.ViewerProcess = 0;

    StartResult started = children.start(command, editor.AppDir, argument, editor.DocDir);
    if (started.error != 0) {
        editor.prompts().information(platform::toCp1251(
            QStringLiteral("Процесс не пошел! (код ошибки %1)").arg(started.error)));
        return 0;
    }
    if (kind == Processing::View) editor.ViewerProcess = started.pid;
    return started.pid;
}

} // namespace

void compile(state::Editor& editor, TForm6* logViewer, ErrorSteps& steps) {
    const pid_t started = runProcessing(editor, Processing::Compile, logViewer);
    if (started != 0) watchCompile(editor, steps, started);
}
void viewDvi(state::Editor& editor) {
    runProcessing(editor, Processing::View);
}
void printDvi(state::Editor& editor) {
    runProcessing(editor, Processing::Print);
}

void editCommands(state::Editor& editor, TForm8& dialog) {
    dialog.Edit1->setText(platform::fromCp1251(editor.CompileCommand));
    dialog.Edit2->setText(platform::fromCp1251(editor.ViewCommand));
    dialog.Edit3->setText(platform::fromCp1251(editor.PrintCommand));
    dialog.Accepted = false;
    editor.prompts().showModal(dialog);
    if (!dialog.Accepted) return;
    editor.CompileCommand = platform::toCp1251(dialog.Edit1->text());
    editor.ViewCommand = platform::toCp1251(dialog.Edit2->text());
    editor.PrintCommand = platform::toCp1251(dialog.Edit3->text());
    editor.WriteSettingsFile(
        "commands.set",
        platform::joinLinesCrLf({editor.CompileCommand, editor.ViewCommand, editor.PrintCommand}));
}

void showLog(state::Editor& editor, TForm6& logViewer) {
    if (editor.DocName.isEmpty()) {
        editor.prompts().information(platform::toCp1251(QString::fromUtf8(kUntitled)));
        return;
    }
    logViewer.LogFileName = documentLogPath(editor);
    logViewer.Open();
}

} // namespace processing
