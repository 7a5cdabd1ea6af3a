#include "platform/window_title.h"

#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

namespace platform {
namespace {

// Room for the title bar's icon and buttons and the window manager's margins.
constexpr int kTitleBarButtons = 140;

} // namespace

void setWholeTitle(QWidget& window, const QString& title) {
    window.setWindowTitle(title);
    QFont bold = window.font();
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(title) * 6 / 5 + kTitleBarButtons;
    window.setMinimumWidth(std::max(window.minimumWidth(), needed));
    if (window.width() < needed) window.resize(needed, window.height());
}

} // namespace platform
