#pragma once
// The Processing menu's commands over the editor: compile, view DVI, print, the command
// settings and the LOG viewer. The menu's handlers in the main window forward to these.
// In PDF mode (state::PdfOutput) compile, view and print act on the PDF.
#include <QString>
#include <string>

namespace state {
class Editor;
struct EditorState;
} // namespace state
class TForm6;
class TForm8;

namespace processing {

class ErrorSteps;
class PdfCompile;

// The message of a program that did not start: the program the command names, why (not
// found, not runnable) and the error code.
QString startFailure(const std::string& command, int error);

// The main file's DVI or, in PDF mode, its PDF.
QString outputPath(const state::EditorState& editor);

// "Компиляция (TEX -> DVI)": saves a modified document, closes the LOG viewer (null when
// there is none) and compiles the main file; its LOG becomes the one steps follows. In PDF
// mode the compile runs beside the editor under pdfRun (a second compile replaces the
// running one).
void compile(state::Editor& editor, TForm6* logViewer, ErrorSteps& steps,
             PdfCompile* pdfRun = nullptr);
// "Остановить компиляцию": ends a running PDF compile.
void stopCompile(PdfCompile& pdfRun);
// "Просмотр файла DVI" and "Печать": the main file's DVI, through the configured command.
void viewDvi(state::Editor& editor);
void printDvi(state::Editor& editor);
// "Настройка команд обработки": the three command lines and the PDF output, edited in
// dialog and written to commands.set and pdf.set when it closes with OK (then true).
bool editCommands(state::Editor& editor, TForm8& dialog);
// "Просмотр файла LOG": the document's LOG in logViewer.
void showLog(state::Editor& editor, TForm6& logViewer);

} // namespace processing
