#pragma once
// The file-parameters dialog: the project status and the Smart Keyboard of an opened
// document that has no status file. OK writes them into the editor state it was given.
#include <QDialog>

class QCheckBox;
class QPushButton;
class QString;
class TRadioGroup;
namespace platform {
class Prompts;
}
namespace state {
struct EditorState;
}

class TForm3 : public QDialog {
    Q_OBJECT

  public:
    TForm3(state::EditorState& state, platform::Prompts& prompts, QWidget* parent = nullptr);

    TRadioGroup* RadioGroup1 = nullptr; // 0 main file, 1 attached file
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr; // also the Esc key

    void Button1Click();
    void Button2Click();

  private:
    state::EditorState& state_;
    platform::Prompts& prompts_;
};

// The project link chosen in a project dialog: "*" for a main file; for an attached file
// the main file picked in the open dialog, as state::projectLink names it. False when that dialog
// was cancelled or the name refused (nothing changes then).
bool ChooseProjectLink(state::EditorState& state, platform::Prompts& prompts, int statusIndex);

// A file picked in a project dialog is one the editor can name exactly; otherwise the
// user is told why and false comes back.
bool AcceptablePick(platform::Prompts& prompts, const QString& path);
