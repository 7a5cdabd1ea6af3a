#include "app/menu_bar_style.h"

#include <QApplication>
#include <QMenuBar>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace app {
namespace {

constexpr int kIconTextGap = 4;

const QStyleOptionMenuItem* itemWithIcon(const QStyleOption* option) {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    return item && !item->icon.isNull() ? item : nullptr;
}

} // namespace

void MenuBarStyle::install(QMenuBar* menuBar) {
    auto* style = new MenuBarStyle;
    style->setBaseStyle(QStyleFactory::create(QApplication::style()->name()));
    style->setParent(menuBar);
    menuBar->setStyle(style);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    if (type == CT_MenuBarItem) {
        if (const auto* item = itemWithIcon(option)) {
            int icon = pixelMetric(PM_SmallIconSize, option, widget);
            QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
            QSize content(icon + kIconTextGap + text.width(), std::max(icon, text.height()));
            return QProxyStyle::sizeFromContents(type, option, content, widget);
        }
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const QStyleOptionMenuItem* item = element == CE_MenuBarItem ? itemWithIcon(option) : nullptr;
    if (!item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The base style draws the item's background and highlight; the picture and the
    // caption follow side by side.
    QStyleOptionMenuItem background = *item;
    background.icon = QIcon();
    background.text.clear();
    QProxyStyle::drawControl(element, &background, painter, widget);

    int iconSize = pixelMetric(PM_SmallIconSize, option, widget);
    QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
    int width = iconSize + kIconTextGap + text.width();
    QRect area = item->rect;
    int left = area.left() + (area.width() - width) / 2;
    bool enabled = item->state & State_Enabled;
    QPixmap pixmap =
        item->icon.pixmap(QSize(iconSize, iconSize), painter->device()->devicePixelRatio(),
                          enabled ? QIcon::Normal : QIcon::Disabled);
    painter->drawPixmap(left, area.top() + (area.height() - iconSize) / 2, pixmap);
    QRect textRect(left + iconSize + kIconTextGap, area.top(), text.width(), area.height());
    bool highlighted = (item->state & State_Selected) && (item->state & State_Sunken);
    drawItemText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                 item->palette, enabled, item->text,
                 highlighted ? QPalette::HighlightedText : QPalette::ButtonText);
}

} // namespace app
