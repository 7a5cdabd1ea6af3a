#pragma once
// Qt's own texts (the buttons of message boxes, the file dialogs, the context menus of text
// fields) in Russian, whatever the desktop's locale: the editor speaks Russian only.

namespace app {

// Installs Qt's Russian catalog into the running application. False when the catalog is
// not installed (Debian package qt6-translations-l10n): Qt's texts then stay English.
bool installQtRussian();

} // namespace app
