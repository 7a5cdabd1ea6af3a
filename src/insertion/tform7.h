#pragma once
// The list chooser of environments and commands: a list kept sorted ignoring letter case,
// OK and cancel, the star-variant and label check boxes, and the result flag Accepted.
// The opener sets the caption, the list and the check boxes; Esc is not bound.
#include <QDialog>
#include <optional>
#include <string>

#include "platform/string_list.h"

class QCheckBox;
class QListWidget;
class QPushButton;

class TForm7 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm7(QWidget* parent = nullptr);

    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr; // "ОК"
    QPushButton* Button2 = nullptr; // "ОТМЕНИТЬ"
    QCheckBox* CheckBox1 = nullptr; // "*-вариант"
    QCheckBox* CheckBox2 = nullptr; // "\label{...}"
    bool Accepted = false;

    // Replaces the list's entries (CP1251), shows them sorted ignoring letter case, and
    // selects none.
    void SetItems(const platform::StringList& entries);
    // The entries in the order shown.
    std::vector<std::string> Items() const;
    // The selected entry; none when nothing is selected.
    std::optional<std::string> SelectedEntry() const;

    void FormShow();
    void Button1Click();
    void Button2Click();
    void ListBox1DblClick();
    void ListBox1KeyPress(char key);
    void CheckBox1Click();

    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};
