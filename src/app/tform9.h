#pragma once
// The help window: a fixed text in place of a proper help.
#include <QDialog>

class QPlainTextEdit;

class TForm9 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm9(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;

    // The help text, one entry a line.
    static QStringList helpLines();
};
