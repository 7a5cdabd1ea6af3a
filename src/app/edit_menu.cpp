// The Edit menu's handlers: each forwards to its command in src/editing.
#include "app/tform1.h"
#include "editing/editing_commands.h"

void TForm1::CreateFindDialogs() {
    const editing::FindDialogs dialogs = editing::createFindDialogs(*this, *this);
    FindDialog1 = dialogs.find;
    ReplaceDialog1 = dialogs.replace;
}

int TForm1::FindInEditor(const std::string& text, int start, int length, bool wholeWord,
                         bool matchCase) {
    return editing::findInControl(*this, text, start, length, wholeWord, matchCase);
}

void TForm1::N15Click() {
    editing::showFindDialog(*this, *FindDialog1);
}
void TForm1::N17Click() {
    editing::findAgain(*this, *FindDialog1);
}
void TForm1::N16Click() {
    editing::showReplaceDialog(*this, *ReplaceDialog1, *FindDialog1);
}
void TForm1::FindDialog1Find() {
    editing::findFromFindDialog(*this, *FindDialog1);
}
void TForm1::ReplaceDialog1Find() {
    editing::findFromReplaceDialog(*this, *ReplaceDialog1);
}
void TForm1::ReplaceDialog1Replace() {
    editing::replaceFromDialog(*this, *ReplaceDialog1);
}

void TForm1::N21Click() {
    editing::rememberPlace(*this);
}
void TForm1::N18Click() {
    editing::returnToPlace(*this);
}
void TForm1::N20Click() {
    editing::goToLine(*this);
}
void TForm1::CaretToLine(int32_t lineNumber) {
    editing::caretToLine(*this, lineNumber);
}

void TForm1::N11Click() {
    editing::cut(*this);
}
void TForm1::N12Click() {
    editing::copy(*this);
}
void TForm1::N13Click() {
    editing::paste(*this);
}
