// The main window's keyboard handlers: each forwards to the Smart Keyboard or the layout
// indicator (src/keyboard).
#include "app/tform1.h"
#include "keyboard/layout_indicator.h"
#include "keyboard/smart_keyboard.h"
#include "platform/own_layout_fields.h"

void TForm1::ConnectEditorEvents() {
    SmartKeyboard1 = new keyboard::SmartKeyboard(*this);
    LayoutIndicator1 =
        new keyboard::LayoutIndicator(*this, *SmartKeyboard1, *Label2, *ToolButton24);
    RichEdit1->OnMouseDown = [this] { Guarded([this] { RichEdit1MouseDown(); }); };
    RichEdit1->OnMouseUp = [this] { Guarded([this] { RichEdit1MouseUp(); }); };
    RichEdit1->OnBeep = [this] { prompts().beep(); };
    new platform::OwnLayoutFields(
        *this, [this] { return RichEdit1->InsertCharset() == platform::kCyrillicCharset; },
        [this] { Guarded([this] { SwitchLayoutInField(); }); });
}

void TForm1::RefreshLayoutIndicator() {
    LayoutIndicator1->Refresh();
}
void TForm1::ShowIndicatorNotice(const QString& text) {
    LayoutIndicator1->ShowNotice(text);
}
void TForm1::EndIndicatorNotice() {
    LayoutIndicator1->EndNotice();
}
void TForm1::RefreshSmartKeyboardControls() {
    LayoutIndicator1->RefreshSwitch();
}
void TForm1::ToolButton24Click() {
    SmartKeyboard1->Toggle();
}
void TForm1::RichEdit1MouseDown() {
    LayoutIndicator1->CaretClicked();
}
void TForm1::RichEdit1MouseUp() {}
void TForm1::Label1Click() {
    LayoutIndicator1->SwitchByClick();
}
void TForm1::SwitchLayoutInField() {
    LayoutIndicator1->SwitchInField();
}
void TForm1::RichEdit1KeyDown(int virtualKey, Qt::KeyboardModifiers shift) {
    SmartKeyboard1->KeyDown(virtualKey, shift);
}
void TForm1::RichEdit1KeyPress(char& key) {
    SmartKeyboard1->KeyPress(key);
}
void TForm1::RichEdit1KeyUp(int virtualKey, Qt::KeyboardModifiers shift) {
    SmartKeyboard1->KeyUp(virtualKey, shift);
}
