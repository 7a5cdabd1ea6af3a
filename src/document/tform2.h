#pragma once
// The new-file dialog: the project status, the template, the encoding and the Smart
// Keyboard of a new document. OK writes them into the editor state it was given; the
// choices stay from one showing to the next.
#include <QDialog>

class QCheckBox;
class QKeyEvent;
class QPushButton;
class TRadioGroup;
namespace platform {
class Prompts;
}
namespace state {
struct EditorState;
}

class TForm2 : public QDialog {
    Q_OBJECT

  public:
    TForm2(state::EditorState& state, platform::Prompts& prompts, QWidget* parent = nullptr);

    // Status: 0 main file, 1 attached file.
    TRadioGroup* RadioGroup1 = nullptr;
    // Template: 0 none, 1 the standard template, 2 the user's template.
    TRadioGroup* RadioGroup2 = nullptr;
    // Encoding of the new document, in the order of platform::TextEncoding: 0 CP866 (the
    // default), 1 UTF-8, 2 CP1251, 3 KOI8-R.
    TRadioGroup* RadioGroup3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    void RadioGroup1Click();
    void Button1Click();
    void Button2Click();

  protected:
    // The dialog has no cancel key: Esc does nothing.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    state::EditorState& state_;
    platform::Prompts& prompts_;
};
