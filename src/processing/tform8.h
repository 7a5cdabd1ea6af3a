#pragma once
// The settings of the three processing command lines, and below them the output: DVI
// through those three lines, or PDF through an engine (alone or through latexmk) with
// lines of its own. Neither button is a default or cancel button: Enter and Escape leave
// the dialog open.
#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TForm8 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm8(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr; // compile
    QLineEdit* Edit2 = nullptr; // view DVI
    QLineEdit* Edit3 = nullptr; // print DVI
    // The output: DVI (Edit1 to Edit3) or PDF (Edit4 to Edit6).
    QRadioButton* RadioButton1 = nullptr; // DVI
    QRadioButton* RadioButton2 = nullptr; // PDF
    QComboBox* ComboBox1 = nullptr;       // the PDF engine, in state::PdfEngine's order
    QCheckBox* CheckBox1 = nullptr;       // through latexmk
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* Edit4 = nullptr; // compile to PDF
    QLineEdit* Edit5 = nullptr; // view PDF
    QLineEdit* Edit6 = nullptr; // print PDF
    // Fills Edit4 with the engine's own line when the engine or latexmk is chosen.
    std::function<QString(int engine, bool latexmk)> EngineCommand;
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
