#include "app/accessible_names.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QWidget>

namespace app {

void nameNamelessControls(QWidget& window) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->isWindow() || !widget->accessibleName().isEmpty()) continue;
        const bool interactive =
            widget->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton*>(widget);
        if (!interactive) continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (accessible && !accessible->text(QAccessible::Name).trimmed().isEmpty()) continue;
        const QString hint = widget->toolTip();
        widget->setAccessibleName(hint.isEmpty() ? widget->window()->windowTitle() : hint);
    }
}

} // namespace app
