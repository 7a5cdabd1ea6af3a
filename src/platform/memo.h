#pragma once
// TMemo: a read-only text view for the program's own texts (the LOG, the help), with the
// few line operations their windows need, so that they never reach past it into the text.
#include <QPlainTextEdit>

namespace platform {

class TMemo : public QPlainTextEdit {
  public:
    explicit TMemo(QWidget* parent = nullptr);

    // Puts the caret at the start of line (from 0) and scrolls it to the middle of the
    // view; false, and nothing changed, when the text has no such line.
    bool ShowLine(int line);
    // Aligns the last line (a paragraph, when lines wrap) as alignment says.
    void AlignLastLine(Qt::Alignment alignment);
};

} // namespace platform
