// The Processing menu: compile, view DVI, print, the command settings and the LOG viewer.
#include "processing/processing_commands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <algorithm>
#include <cerrno>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "processing/command_line.h"
#include "processing/log_commands.h"
#include "processing/pdf_compile.h"
#include "processing/pdf_settings.h"
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

bool pdfOutput(const state::EditorState& editor) {
    return editor.Pdf.kind == state::OutputKind::Pdf;
}

// Compile, view DVI and print: the same steps, with the differences marked. In PDF mode
// the commands are the PDF's, act on the PDF, and no viewer is waited for: nothing the PDF
// viewers do stops the engine from writing the file. Returns the started program, 0 when
// none was started.
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
    const bool pdf = pdfOutput(editor);
    ChildProcesses& children = ChildProcesses::instance();
    while (!pdf && editor.ViewerProcess != 0 && children.running(editor.ViewerProcess))
        editor.prompts().information(platform::toCp1251(QString::fromUtf8(kViewerOpen)));
    if (!pdf && kind == Processing::Compile) editor.ViewerProcess = 0;

    // A titled document is saved without a dialog; a failed save throws and ends the command.
    if (editor.RichEdit1->Modified() && !editor.SaveDocument()) return 0;
    editor.RichEdit1->SetModified(false);

    // The configured command's words, then the target file as one argument, started in the
    // folder where the target lies (the document's own, or its main file's).
    const Target target = targetOf(editor.DocDir, editor.DocName, editor.MainFile);
    const bool compile = kind == Processing::Compile;
    const state::PdfOutput& output = editor.Pdf;
    const std::string& command = compile ? (pdf ? output.compileCommand : editor.CompileCommand)
                                 : kind == Processing::View
                                     ? (pdf ? output.viewCommand : editor.ViewCommand)
                                     : (pdf ? output.printCommand : editor.PrintCommand);
    const QString extension = compile ? QStringLiteral(".tex")
                              : pdf   ? QStringLiteral(".pdf")
                                      : QStringLiteral(".dvi");
    const QString argument = targetArgument(target.name, extension);
    if (!pdf && !compile) editor.ViewerProcess = 0;

    // A PDF compile leads a process group, so that stopping it ends latexmk's runs too.
    StartResult started =
        children.start(command, editor.AppDir, argument, target.folder, pdf && compile);
    if (started.error != 0) {
        editor.prompts().information(platform::toCp1251(startFailure(command, started.error)));
        return 0;
    }
    if (!pdf && kind == Processing::View) editor.ViewerProcess = started.pid;
    return started.pid;
}

} // namespace

QString startFailure(const std::string& command, int error) {
    const std::vector<std::string> words = splitCommandLine(command);
    const QString program = words.empty() ? QString() : platform::fromCp1251(words.front());
    const QString reason =
        program.isEmpty() ? QStringLiteral("Команда не задана")
        : error == ENOENT ? QStringLiteral("Программа «%1» не найдена").arg(program)
        : error == EACCES ? QStringLiteral("Программу «%1» нельзя запустить").arg(program)
                          : QStringLiteral("Программа «%1» не запустилась").arg(program);
    return QStringLiteral("Процесс не пошел! %1 (код ошибки %2)").arg(reason).arg(error);
}

QString outputPath(const state::EditorState& editor) {
    return targetOf(editor.DocDir, editor.DocName, editor.MainFile)
        .file(pdfOutput(editor) ? QStringLiteral(".pdf") : QStringLiteral(".dvi"));
}

void compile(state::Editor& editor, TForm6* logViewer, ErrorSteps& steps, PdfCompile* pdfRun) {
    const bool pdf = pdfOutput(editor) && pdfRun != nullptr;
    if (pdf && pdfRun->running()) {
        // The newer compile replaces the running one: its text is the one wanted.
        pdfRun->whenEnded([&editor, logViewer, &steps, pdfRun] {
            editor.Guarded([&] { compile(editor, logViewer, steps, pdfRun); });
        });
        pdfRun->stop();
        return;
    }
    const pid_t started = runProcessing(editor, Processing::Compile, logViewer);
    if (started == 0) return;
    if (pdf)
        pdfRun->begin(editor, steps, started, outputPath(editor));
    else
        watchCompile(editor, steps, started);
}

void stopCompile(PdfCompile& pdfRun) {
    pdfRun.stop();
}
void viewDvi(state::Editor& editor) {
    runProcessing(editor, Processing::View);
}
void printDvi(state::Editor& editor) {
    runProcessing(editor, Processing::Print);
}

bool editCommands(state::Editor& editor, TForm8& dialog) {
    dialog.Edit1->setText(platform::fromCp1251(editor.CompileCommand));
    dialog.Edit2->setText(platform::fromCp1251(editor.ViewCommand));
    dialog.Edit3->setText(platform::fromCp1251(editor.PrintCommand));
    const state::PdfOutput& pdf = editor.Pdf;
    (pdf.kind == state::OutputKind::Pdf ? dialog.RadioButton2 : dialog.RadioButton1)
        ->setChecked(true);
    dialog.ComboBox1->setCurrentIndex(static_cast<int>(pdf.engine));
    dialog.CheckBox1->setChecked(pdf.latexmk);
    dialog.Edit4->setText(platform::fromCp1251(pdf.compileCommand));
    dialog.Edit5->setText(platform::fromCp1251(pdf.viewCommand));
    dialog.Edit6->setText(platform::fromCp1251(pdf.printCommand));
    dialog.EngineCommand = [](int engine, bool latexmk) {
        return QString::fromStdString(
            defaultPdfCompileCommand(static_cast<state::PdfEngine>(engine), latexmk));
    };
    dialog.Accepted = false;
    editor.prompts().showModal(dialog);
    if (!dialog.Accepted) return false;
    editor.CompileCommand = platform::toCp1251(dialog.Edit1->text());
    editor.ViewCommand = platform::toCp1251(dialog.Edit2->text());
    editor.PrintCommand = platform::toCp1251(dialog.Edit3->text());
    state::PdfOutput chosen;
    chosen.kind =
        dialog.RadioButton2->isChecked() ? state::OutputKind::Pdf : state::OutputKind::Dvi;
    chosen.engine = static_cast<state::PdfEngine>(std::max(0, dialog.ComboBox1->currentIndex()));
    chosen.latexmk = dialog.CheckBox1->isChecked();
    chosen.compileCommand = platform::toCp1251(dialog.Edit4->text());
    chosen.viewCommand = platform::toCp1251(dialog.Edit5->text());
    chosen.printCommand = platform::toCp1251(dialog.Edit6->text());
    editor.Pdf = chosen;
    editor.WriteSettingsFile(
        "commands.set",
        platform::joinLinesCrLf({editor.CompileCommand, editor.ViewCommand, editor.PrintCommand}));
    editor.WriteSettingsFile(kPdfSettingsFile, pdfSettingsBytes(chosen));
    return true;
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
