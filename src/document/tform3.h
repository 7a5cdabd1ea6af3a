#pragma once
// The file-parameters dialog: the project status and the Smart Keyboard of an opened
// document that has no status file. OK writes them straight into the editor state.
#include <QDialog>

class QCheckBox;
class QPushButton;
class TForm1;
class TRadioGroup;

class TForm3 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm3(QWidget* parent = nullptr);

    TRadioGroup* RadioGroup1 = nullptr; // 0 main file, 1 attached file
    QCheckBox* CheckBox1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr; // also the Esc key

    void Button1Click();
    void Button2Click();

  private:
    TForm1* form1_ = nullptr;
};

// The project link chosen in a project dialog: "*" for a main file; for an attached file
// the name of the main file picked in the open dialog. False when that dialog was
// cancelled or the name refused (nothing changes then).
bool ChooseProjectLink(TForm1& form1, int statusIndex);

// A file picked in a project dialog is one the editor can name exactly; otherwise the
// user is told why and false comes back.
bool AcceptablePick(TForm1& form1, const QString& path);
