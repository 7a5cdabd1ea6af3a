#pragma once
// A window's caption shown whole: the window manager cuts a title longer than the window
// ("Выбери окру... для формулы"), so the window is made at least as wide as its title needs.
#include <QString>

class QWidget;

namespace platform {

// Sets the title and widens the window's least width to show it with the title bar's
// buttons beside it (measured in a bold form of the window's font, as title bars use).
void setWholeTitle(QWidget& window, const QString& title);

} // namespace platform
