#include "platform/memo.h"

#include <QTextBlock>
#include <QTextCursor>

namespace platform {

TMemo::TMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
}

bool TMemo::ShowLine(int line) {
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid()) return false;
    setTextCursor(QTextCursor(block));
    centerCursor();
    return true;
}

void TMemo::AlignLastLine(Qt::Alignment alignment) {
    QTextBlockFormat format;
    format.setAlignment(alignment);
    QTextCursor(document()->lastBlock()).setBlockFormat(format);
}

} // namespace platform
