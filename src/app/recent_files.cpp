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
    if (DocName.isEmpty()) return;
    if (!app::enterRecentFile(RecentFiles, app::recentFilePath(DocDir, DocName, DocExt))) return;
    // The items move down with their entries; the new one comes on top.
    QAction* items[] = {File11, File21, File31, File41};
    for (size_t i = std::size(items) - 1; i > 0; --i) {
        items[i]->setText(items[i - 1]->text());
        items[i]->setVisible(items[i - 1]->isVisible());
    }
    app::showRecentFileItem(*File11, DocName + DocExt);
    N10->setVisible(true);
}
