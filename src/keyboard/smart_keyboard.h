#pragma once
// The Smart Keyboard: the editing control's key filter. The control hands it each key-down,
// key-press and key-up directly; it runs the typing rules on the editor's flags and the
// control, and signals what the layout indicator follows. The switch and the typing flags
// stay in state::EditorState (the document's dialogs and the status file set the switch
// there too); this object is the one that works on them while the user types.
#include <QObject>

#include "keyboard/typing_rules.h"
#include "platform/richedit.h"

namespace state {
class Editor;
}

namespace keyboard {

class SmartKeyboard final : public QObject, public platform::KeyFilter, private TypingControl {
    Q_OBJECT

  public:
    // Installs itself as editor.RichEdit1's key filter and lives as the control's child.
    // It works on whichever control is editor.RichEdit1 at the time: another document's
    // control takes it as its key filter too.
    explicit SmartKeyboard(state::Editor& editor);

    // The switch (ToolButton24): wakes the Smart Keyboard or puts it to sleep.
    void Toggle();

    // The key events, each run through the editor's guard.
    void KeyDown(int virtualKey, Qt::KeyboardModifiers modifiers) override;
    void KeyPress(char& key) override;
    void KeyUp(int virtualKey, Qt::KeyboardModifiers modifiers) override;

  signals:
    // A key went down: whatever notice stands in the indicator's place ends.
    void keyArrived();
    // A key went up: the rules, the user's own switch or a caret move may have changed the
    // layout at the caret.
    void layoutMayHaveChanged();
    // The switch was turned.
    void switched();

  private:
    // The control as the typing rules see it.
    int InsertCharset() const override;
    void SetInsertCharset(int charset) override;
    int CharBeforeCaret() const override;

    state::Editor& editor_;
    TypingRules rules_;
};

} // namespace keyboard
