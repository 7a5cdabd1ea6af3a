// The shutdown and the exit command.
#include "app/settings_files.h"
#include "app/tform1.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"

void TForm1::N9Click() {
    close();
}

bool TForm1::FormDestroy() {
    // A filelist.ini that cannot be written is reported; the save question still comes.
    // A list that start-up could not read is not written back: it would replace the
    // user's list with the entries of this run.
    Guarded([this] {
        RememberRecentFile();
        if (recentFilesRead_)
            platform::writeFileAtomically(AppDir + "/filelist.ini",
                                          app::fileListBytes(RecentFiles));
    });
    if (!RichEdit1->Modified()) return true;
    if (!prompts().question("Warning", platform::toCp1251(u"Файл изменен. Сохранить?")))
        return true;
    // A save that was cancelled or failed keeps the editor open with the document.
    bool saved = false;
    Guarded([this, &saved] { saved = N6Click(); });
    return saved;
}
