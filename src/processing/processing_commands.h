#pragma once
// The Processing menu's commands over the editor: compile, view DVI, print, the command
// settings and the LOG viewer. The menu's handlers in the main window forward to these.
namespace state {
class Editor;
}
class TForm6;
class TForm8;

namespace processing {

class ErrorSteps;

// "Компиляция (TEX -> DVI)": saves a modified document, closes the LOG viewer (null when
// there is none) and compiles the main file; its LOG becomes the one steps follows.
void compile(state::Editor& editor, TForm6* logViewer, ErrorSteps& steps);
// "Просмотр файла DVI" and "Печать": the main file's DVI, through the configured command.
void viewDvi(state::Editor& editor);
void printDvi(state::Editor& editor);
// "Настройка команд обработки": the three command lines, edited in dialog and written to
// commands.set when it closes with OK.
void editCommands(state::Editor& editor, TForm8& dialog);
// "Просмотр файла LOG": the document's LOG in logViewer.
void showLog(state::Editor& editor, TForm6& logViewer);

} // namespace processing
