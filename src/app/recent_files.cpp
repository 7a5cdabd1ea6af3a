// The recent-files list: the four entries of RecentFiles and their menu items.
#include <QAction>

#include "app/main_window.h"
#include "app/settings_files.h"
#include "app/tform1.h"

namespace app {

void showRecentFileItem(QAction& item, const QString& caption) {
    QString text = caption;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    item.setText(text);
    item.setVisible(true);
}

} // namespace app

void TForm1::RememberRecentFile() {
    RememberRecentFileOf(*this);
}

void TForm1::RememberRecentFileOf(const state::DocumentState& document) {
    if (document.DocName.isEmpty()) return;
    const QString path = app::recentFilePath(document.DocDir, document.DocName, document.DocExt);
    if (!app::enterRecentFile(RecentFiles, path)) return;
    // The items move down with their entries; the new one comes on top.
    QAction* items[] = {File11, File21, File31, File41};
    for (size_t i = std::size(items) - 1; i > 0; --i) {
        items[i]->setText(items[i - 1]->text());
        items[i]->setVisible(items[i - 1]->isVisible());
    }
    app::showRecentFileItem(*File11, document.DocName + document.DocExt);
    N10->setVisible(true);
}
