#pragma once
// The Edit menu's commands over the editor: find and replace through the two dialogs, the
// remembered place, go to line, the clipboard. The main window's handlers forward here.
#include <cstdint>
#include <string>

class QWidget;
class TFindDialog;
class TReplaceDialog;
namespace state {
class Editor;
}

namespace editing {

struct FindDialogs {
    TFindDialog* find = nullptr;
    TReplaceDialog* replace = nullptr;
};

// Creates the Find and Replace dialogs as children of window, runs their buttons through
// the runtime-error guard into the commands below, and installs the paste guard on the
// editing control.
FindDialogs createFindDialogs(state::Editor& editor, QWidget& window);

// A search of the editing control: length > 0 searches [start, start + length) forwards,
// otherwise upwards from start (see findInEditor in find_replace.h).
int findInControl(state::Editor& editor, const std::string& text, int start, int length,
                  bool wholeWord, bool matchCase);

// "Найти": shows the Find dialog at the main window's top-left corner.
void showFindDialog(state::Editor& editor, TFindDialog& find);
// "Найти повторно": the Find dialog's Find Next again, when it has a text.
void findAgain(state::Editor& editor, const TFindDialog& find);
// "Заменить": shows the Replace dialog, taking the Find dialog's text when it has none.
void showReplaceDialog(state::Editor& editor, TReplaceDialog& replace, const TFindDialog& find);

// The dialogs' buttons: Find Next of each, and Replace or Replace All.
void findFromFindDialog(state::Editor& editor, const TFindDialog& find);
void findFromReplaceDialog(state::Editor& editor, const TReplaceDialog& replace);
void replaceFromDialog(state::Editor& editor, const TReplaceDialog& replace);

// "Запомнить место" and "Вернуться".
void rememberPlace(state::Editor& editor);
void returnToPlace(state::Editor& editor);
// "Перейти к строке...": asks for a line number and puts the caret there.
void goToLine(state::Editor& editor);
// Puts the caret at the start of a line (from 1).
void caretToLine(state::Editor& editor, int32_t lineNumber);

void cut(state::Editor& editor);
void copy(state::Editor& editor);
void paste(state::Editor& editor);

} // namespace editing
