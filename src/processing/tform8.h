#pragma once
// The settings of the three processing command lines. Neither button is a default or
// cancel button: Enter and Escape leave the dialog open.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TForm8 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm8(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;     // compile
    QLineEdit* Edit2 = nullptr;     // view DVI
    QLineEdit* Edit3 = nullptr;     // print DVI
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* Button2 = nullptr; // "ОТМЕНИТЬ"

    // True only when the dialog was closed with OK.
    bool Accepted = false;

    void FormShow();
    void Button1Click();
    void Button2Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
