#pragma once
// The menu bar shows each menu's picture in front of its caption (Qt's own menu bar shows
// a picture instead of the caption).
#include <QProxyStyle>

class QMenuBar;

namespace app {

class MenuBarStyle : public QProxyStyle {
  public:
    static void install(QMenuBar* menuBar);

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

} // namespace app
