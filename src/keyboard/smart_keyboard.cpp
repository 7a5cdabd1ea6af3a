#include "keyboard/smart_keyboard.h"

#include "state/editor.h"

namespace keyboard {

SmartKeyboard::SmartKeyboard(state::Editor& editor)
    : QObject(editor.RichEdit1), editor_(editor), control_(*editor.RichEdit1),
      rules_(*this, {editor.SmartKeyboardOn, editor.InCommandWord, editor.DollarSeen,
                     editor.RestoreAfterShift}) {
    control_.SetKeyFilter(this);
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
    return control_.InsertCharset();
}

void SmartKeyboard::SetInsertCharset(int charset) {
    control_.SetInsertCharset(charset);
}

int SmartKeyboard::CharBeforeCaret() const {
    return control_.CharBeforeCaret();
}

} // namespace keyboard
