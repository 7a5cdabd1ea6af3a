// The Processing menu: compile, view DVI, print, the command settings and the LOG viewer.
#include <QLineEdit>

#include "app/tform1.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "processing/command_line.h"
#include "processing/log_commands.h"
#include "processing/process_start.h"
#include "processing/tform6.h"
#include "processing/tform8.h"

namespace {

const char* const kUntitled = "Не могу обрабатывать безымянный файл!";
const char* const kViewerOpen = "Сначала надо закрыть окно просмотра файда DVI";

enum class Processing { Compile, View, Print };

// Compile, view DVI and print: the same steps, with the differences marked.
void runProcessing(TForm1& form, Processing kind) {
    if (form.DocName.isEmpty()) {
        form.prompts().information(platform::toCp1251(QString::fromUtf8(kUntitled)));
        return;
    }
    if (kind == Processing::Compile && form.Form6 != nullptr && form.Form6->LogShown)
        form.Form6->close();

    // Wait, without a way out, until the DVI viewer started last has been closed.
    processing::ChildProcesses& children = processing::ChildProcesses::instance();
    while (form.ViewerProcess != 0 && children.running(form.ViewerProcess))
        form.prompts().information(platform::toCp1251(QString::fromUtf8(kViewerOpen)));
    if (kind == Processing::Compile) form.ViewerProcess = 0;

    // A titled document is saved without a dialog; a failed save throws and ends the command.
    if (form.RichEdit1->Modified() && !form.SaveDocument()) return;
    form.RichEdit1->SetModified(false);

    // The configured command's words, then the target file as one argument, started in the
    // document's folder, where the target lies.
    const QString target = processing::targetName(form.DocName, form.MainFile);
    const bool compile = kind == Processing::Compile;
    const std::string& command = compile                    ? form.CompileCommand
                                 : kind == Processing::View ? form.ViewCommand
                                                            : form.PrintCommand;
    const QString argument = processing::targetArgument(target, compile ? QStringLiteral(".tex")
                                                                        : QStringLiteral(".dvi"));
    if (!compile) form.ViewerProcess = 0;

    processing::StartResult started = children.start(command, form.AppDir, argument, form.DocDir);
    if (started.error != 0) {
        form.prompts().information(platform::toCp1251(
            QStringLiteral("Процесс не пошел! (код ошибки %1)").arg(started.error)));
        return;
    }
    if (kind == Processing::View) form.ViewerProcess = started.pid;
    if (compile) processing::watchCompile(form, started.pid);
}

} // namespace

void TForm1::TEXDVI1Click() {
    runProcessing(*this, Processing::Compile);
}
void TForm1::DVI1Click() {
    runProcessing(*this, Processing::View);
}
void TForm1::N22Click() {
    runProcessing(*this, Processing::Print);
}

void TForm1::N39Click() {
    Form8->Edit1->setText(platform::fromCp1251(CompileCommand));
    Form8->Edit2->setText(platform::fromCp1251(ViewCommand));
    Form8->Edit3->setText(platform::fromCp1251(PrintCommand));
    Form8->Accepted = false;
    prompts().showModal(*Form8);
    if (!Form8->Accepted) return;
    CompileCommand = platform::toCp1251(Form8->Edit1->text());
    ViewCommand = platform::toCp1251(Form8->Edit2->text());
    PrintCommand = platform::toCp1251(Form8->Edit3->text());
    WriteSettingsFile("commands.set",
                      platform::joinLinesCrLf({CompileCommand, ViewCommand, PrintCommand}));
}

void TForm1::LOG1Click() {
    if (DocName.isEmpty()) {
        prompts().information(platform::toCp1251(QString::fromUtf8(kUntitled)));
        return;
    }
    Form6->LogFileName = processing::documentLogPath(*this);
    Form6->Open();
}
