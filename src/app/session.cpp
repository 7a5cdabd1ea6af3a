// The session: the documents open at a normal exit, in their tab order and each at its
// caret, open again at the next start (tabs/session_file.h holds the file's form).
#include <QFileInfo>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/richedit.h"
#include "platform/textfile.h"
#include "state/document_files.h"
#include "tabs/session_file.h"

namespace {

const char16_t kSessionFilesGone[] =
    u"Файлы, открытые в прошлый раз, больше не найдены и не открыты:\n%1";

} // namespace

void TForm1::WriteSession() {
    tabs::Session session;
    for (int i = 0; i < Tabs->Count(); ++i) {
        const state::DocumentState& document = Tabs->DocumentAt(i);
        if (document.DocName.isEmpty()) continue; // an untitled text has no file to reopen
        if (i == Tabs->CurrentIndex()) session.current = static_cast<int>(session.documents.size());
        session.documents.push_back(
            {state::documentFilePath(document), Tabs->ControlAt(i).SelStart()});
    }
    WriteSettingsFile(tabs::kSessionFile, tabs::sessionFileText(session));
}

void TForm1::RestoreSession() {
    sessionRestored_ = true;
    const QString place = platform::joinPath(SettingsDir, QLatin1String(tabs::kSessionFile));
    if (!QFileInfo::exists(place)) return;
    tabs::Session session;
    Guarded([&] { session = tabs::parseSessionFile(platform::readFileBytes(place)); });
    QStringList gone;
    int current = -1;
    for (size_t i = 0; i < session.documents.size(); ++i) {
        const tabs::SessionDocument& document = session.documents[i];
        if (!QFileInfo(document.path).isFile()) {
            gone << document.path;
            continue;
        }
        bool opened = false;
        Guarded([&] {
            // A document restored from its journal is open already, at its own caret.
            const bool open = Tabs->IndexOfFile(document.path) >= 0;
            OpenAnotherDocument(document.path);
            if (!open) RichEdit1->SetSel(std::min(document.caret, RichEdit1->TextLength()), 0);
            opened = true;
        });
        if (opened && static_cast<int>(i) == session.current) current = Tabs->CurrentIndex();
    }
    if (current >= 0) Tabs->Show(current);
    if (!gone.isEmpty())
        prompts().unicodeInformation(QString::fromUtf16(kSessionFilesGone).arg(gone.join(u'\n')));
}
