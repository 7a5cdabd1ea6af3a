#include "tabs/document_tab_bar.h"

#include <QMouseEvent>

namespace tabs {

DocumentTabBar::DocumentTabBar(QWidget* parent) : QTabBar(parent) {
    setObjectName(QStringLiteral("TabBar1"));
    setMovable(true);
    setTabsClosable(true);
    setDocumentMode(true);
    setExpanding(false);
    setUsesScrollButtons(true);
    // A name is shown whole: with many tabs the bar scrolls rather than squeeze them to "...".
    setElideMode(Qt::ElideNone);
    setFocusPolicy(Qt::NoFocus); // the text keeps the keyboard
}

QString DocumentTabBar::captionFor(const QString& fileName, bool modified) {
    QString caption = fileName.isEmpty() ? QStringLiteral("(без имени)") : fileName;
    // "&" would otherwise underline the next letter as a mnemonic.
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return modified ? caption + QLatin1Char('*') : caption;
}

void DocumentTabBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        const int index = tabAt(event->position().toPoint());
        if (index >= 0) {
            emit tabCloseRequested(index);
            return;
        }
    }
    QTabBar::mouseReleaseEvent(event);
}

} // namespace tabs
