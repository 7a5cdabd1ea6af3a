#pragma once
// The help window: a fixed text in place of a proper help.
#include <QDialog>

class QPlainTextEdit;

class TForm9 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm9(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;

    // The help text, one entry a paragraph (an empty entry is an empty line between
    // them); the window wraps each paragraph to its own width.
    static QStringList helpParagraphs();
};
