#pragma once
// What the main window's pieces share: the toolbar's start-up hints, the fixed geometry of
// the client area, and the texts the window shows.
#include <QString>
#include <string>

#include "document/texts.h"

class QAction;

namespace app {

// The toolbar buttons bound to a menu item, with the hint FormCreate gives each of them.
struct ToolbarHint {
    const char* button;
    QString hint;
};
const ToolbarHint* toolbarHints(int& count);

// The client area as designed (ArrangeControls keeps the distances when it is resized).
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 456;
constexpr int kWindowLeft = 119;
constexpr int kWindowTop = 55;
constexpr int kToolBarHeight = 26;
constexpr int kEditorBorderWidth = 2;
constexpr int kEditorMinimumWidth = 600;
constexpr int kLabel1Top = 430;
constexpr int kLabel1Height = 17;
constexpr int kLabel2Left = 346;
constexpr int kLabel2Top = 423;
constexpr int kLabel2Width = 233;
constexpr int kLabel2Height = 33;
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
constexpr int kServiceButtonWidth = 36;
constexpr int kDividerWidth = 8;

// The face the window uses where the design names "MS Sans Serif".
inline QString uiFontFamily() {
    return QStringLiteral("DejaVu Sans");
}

// Shows a recent-file menu item with a caption; "&" stays a plain character.
void showRecentFileItem(QAction& item, const QString& caption);

inline QString mainCaption() {
    return document::text(document::kProgramCaption);
}

} // namespace app
