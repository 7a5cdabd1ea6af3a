#include "keyboard/smart_keyboard.h"

#include "state/editor.h"

namespace keyboard {

SmartKeyboard::SmartKeyboard(state::Editor& editor)
    : QObject(editor.RichEdit1), editor_(editor),
      rules_(*this, {editor.SmartKeyboardOn, editor.InCommandWord, editor.DollarSeen,
                     editor.RestoreAfterShift}) {
    editor.RichEdit1->SetKeyFilter(this);
}

void SmartKeyboard::Toggle() {
    editor_.SmartKeyboardOn = !editor_.SmartKeyboardOn;
    emit switched();
}

void SmartKeyboard::KeyDown(int virtualKey, Qt::KeyboardModifiers modifiers) {
    editor_.Guarded([&] {
        emit keyArrived();
        rules_.KeyDown(virtualKey, modifiers.testFlag(Qt::ShiftModifier));
    });
}

void SmartKeyboard::KeyPress(char& key) {
    editor_.Guarded([&] { rules_.KeyPress(key); });
}

void SmartKeyboard::KeyUp(int virtualKey, Qt::KeyboardModifiers) {
    editor_.Guarded([&] {
        rules_.KeyUp(virtualKey);
        emit layoutMayHaveChanged();
    });
}

int SmartKeyboard::InsertCharset() const {
    return editor_.RichEdit1->InsertCharset();
}

void SmartKeyboard::SetInsertCharset(int charset) {
    editor_.RichEdit1->SetInsertCharset(charset);
}

int SmartKeyboard::CharBeforeCaret() const {
    return editor_.RichEdit1->CharBeforeCaret();
}

} // namespace keyboard
