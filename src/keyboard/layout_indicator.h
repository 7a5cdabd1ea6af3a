#pragma once
// The layout indicator (Label1) and the Smart Keyboard's switch (ToolButton24 and Label2).
// The indicator shows the insertion character set of the editing control: 0 Latin, every
// other set Cyrillic. It follows the Smart Keyboard's signals and the caret; a notice (the
// paste guard's, the LOG's counts) may stand in its place until the next key, click or
// caret move, taking the whole row or a message box when it is wider.
#include <QObject>
#include <QString>
#include <optional>

class QLabel;
class QToolButton;

namespace state {
class Editor;
}

namespace platform {
class TRichEdit;
}

namespace keyboard {

class SmartKeyboard;

// Where a notice is read whole: in the indicator's place, in the whole row under the text
// (over the Smart Keyboard's label), or, wider still, in a message box; in the indicator
// while its window is not on the screen.
enum class NoticePlace { Indicator, Row, Box };
NoticePlace noticePlace(const QLabel& indicator, const QString& text);

class LayoutIndicator final : public QObject {
    Q_OBJECT

  public:
    // Lives as the editing control's child; editor.Label1 is the indicator.
    LayoutIndicator(state::Editor& editor, SmartKeyboard& keyboard, QLabel& switchLabel,
                    QToolButton& switchButton);

    // Shows the layout at the caret when it differs from the one shown (with a beep once
    // LayoutBeep is set).
    void Refresh();
    // Shows a notice where it fits (noticePlace).
    void ShowNotice(const QString& text);
    void EndNotice();
    // The switch's button and label follow SmartKeyboardOn.
    void RefreshSwitch();

    // The user's own switch by a click on the indicator, while a document is open; the
    // typing goes on in the editor.
    void SwitchByClick();
    // The user's own switch (Ctrl+Shift or Alt+Shift) in one of the program's text fields.
    void SwitchInField();
    // After the control has put the caret at a click.
    void CaretClicked();
    // A notice also ends when the caret of this control moves (the first control is watched
    // from the start; the controls of other documents are given here).
    void Watch(platform::TRichEdit& control);

  private:
    void flipLayout();
    // The indicator back in its own place after a notice that took the row.
    void narrow();

    state::Editor& editor_;
    QLabel& label_;
    QLabel& switchLabel_;
    QToolButton& switchButton_;
    std::optional<int> widened_; // the indicator's own width while a notice takes the row
};

} // namespace keyboard
