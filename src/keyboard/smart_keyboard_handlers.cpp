// The key handlers of the editing control: they hand each keystroke to the Smart Keyboard's
// typing rules, which work on the main window's flags and on RichEdit1.
#include "app/tform1.h"
#include "keyboard/typing_rules.h"
#include "platform/own_layout_fields.h"

namespace {

// RichEdit1 as the typing rules see it.
class EditorControl final : public keyboard::TypingControl {
  public:
    explicit EditorControl(platform::TRichEdit& editor) : editor_(editor) {}
    int InsertCharset() const override { return editor_.InsertCharset(); }
    void SetInsertCharset(int charset) override { editor_.SetInsertCharset(charset); }
    int CharBeforeCaret() const override { return editor_.CharBeforeCaret(); }

  private:
    platform::TRichEdit& editor_;
};

// The rules on the main window's own flags, which stay the one record of the layout state.
keyboard::TypingRules rulesOf(TForm1& form, EditorControl& control) {
    return {control,
            {form.SmartKeyboardOn, form.InCommandWord, form.DollarSeen, form.RestoreAfterShift}};
}

} // namespace

void TForm1::ConnectEditorEvents() {
    RichEdit1->OnKeyDown = [this](int virtualKey, Qt::KeyboardModifiers shift) {
        Guarded([&] { RichEdit1KeyDown(virtualKey, shift); });
    };
    RichEdit1->OnKeyPress = [this](char& key) { Guarded([&] { RichEdit1KeyPress(key); }); };
    RichEdit1->OnKeyUp = [this](int virtualKey, Qt::KeyboardModifiers shift) {
        Guarded([&] { RichEdit1KeyUp(virtualKey, shift); });
    };
    RichEdit1->OnMouseDown = [this] { Guarded([this] { RichEdit1MouseDown(); }); };
    RichEdit1->OnMouseUp = [this] { Guarded([this] { RichEdit1MouseUp(); }); };
    RichEdit1->OnBeep = [this] { prompts().beep(); };
    // A notice in the indicator's place (the paste guard's) lasts until the caret moves.
    connect(RichEdit1, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (IndicatorNoticeShown) Guarded([this] { EndIndicatorNotice(); });
    });
    new platform::OwnLayoutFields(
        *this, [this] { return RichEdit1->InsertCharset() == platform::kCyrillicCharset; },
        [this] { Guarded([this] { SwitchLayoutInField(); }); });
}

void TForm1::RichEdit1KeyDown(int virtualKey, Qt::KeyboardModifiers shift) {
    EndIndicatorNotice();
    EditorControl control(*RichEdit1);
    rulesOf(*this, control).KeyDown(virtualKey, shift.testFlag(Qt::ShiftModifier));
}

void TForm1::RichEdit1KeyPress(char& key) {
    EditorControl control(*RichEdit1);
    rulesOf(*this, control).KeyPress(key);
}

void TForm1::RichEdit1KeyUp(int virtualKey, Qt::KeyboardModifiers) {
    EditorControl control(*RichEdit1);
    rulesOf(*this, control).KeyUp(virtualKey);
    RefreshLayoutIndicator();
}
