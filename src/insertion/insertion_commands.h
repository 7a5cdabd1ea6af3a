#pragma once
// The insertion aids' commands over the editor: the letter and symbol pictures, and the
// environments and commands chosen from lists. The main window's handlers forward here.
class TForm4;
class TForm5;
class TForm7;
namespace state {
class Editor;
}

namespace insertion {

// "Буквы" and "Символы": shows the picture window and inserts the text of the cell clicked
// on, in Latin, keeping the character set in force before.
void insertLetter(state::Editor& editor, TForm4& letters);
void insertSymbol(state::Editor& editor, TForm5& symbols);

// "Окружения": shows the chooser with one kind of environment and inserts the block chosen.
void chooseFormulaEnvironment(state::Editor& editor, TForm7& chooser);
void chooseStatementEnvironment(state::Editor& editor, TForm7& chooser);
void chooseOtherEnvironment(state::Editor& editor, TForm7& chooser);
// "Команды": shows the chooser with the command list and inserts the command chosen.
void chooseCommand(state::Editor& editor, TForm7& chooser);

// Insert the chooser's selected entry as an environment block of editor.EnvironmentKind,
// or as a command; nothing without a document or without a selected entry.
void insertEnvironment(state::Editor& editor, const TForm7& chooser);
void insertCommand(state::Editor& editor, const TForm7& chooser);

} // namespace insertion
