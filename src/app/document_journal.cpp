#include "app/document_journal.h"

#include <QMetaObject>

#include "app/tform1.h"
#include "document/file_commands.h"
#include "document/tex_view.h"
#include "platform/codepage.h"
#include "platform/guard.h"
#include "state/document_files.h"

namespace app {
namespace {

std::string questionCaption() {
    return platform::toCp1251(u"Восстановление");
}

// The full path of the document's file; empty for an untitled document.
QString documentPath(const TForm1& form) {
    if (form.DocName.isEmpty()) return {};
    return state::documentFilePath(form);
}

// An empty untitled document in the journal's encoding and layout, as "Создать" leaves it
// before its dialog and template.
void startUntitled(TForm1& form, const JournalRecord& record) {
    form.LayoutBeep = true;
    form.RichEdit1->Clear();
    form.DocName.clear();
    form.MainFile.clear();
    document::setDocumentEncoding(form, record.encoding, record.layout);
    document::setCaption(form, true);
    form.setEnabled(true);
    form.RichEdit1->setEnabled(true);
    form.RichEdit1->setFocus();
    form.RichEdit1->SetInsertCharset(platform::kCyrillicCharset);
    form.ShownCharset = -1;
}

} // namespace

DocumentJournal::DocumentJournal(TForm1& form, std::string folder)
    : form_(form),
      journal_(std::move(folder),
               [this](const JournalError& error) {
                   // From the writer thread: shown on the window's thread.
                   QMetaObject::invokeMethod(
                       &timer_, [this, error] { showError(error); }, Qt::QueuedConnection);
               }),
      id_(journal_.newJournal()) {
    timer_.setSingleShot(true);
    timer_.setInterval(kDelayMs);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { writeSnapshot(); });
    QObject::connect(form.RichEdit1, &QPlainTextEdit::textChanged, &timer_,
                     [this] { documentChanged(); });
    QObject::connect(form.RichEdit1, &QPlainTextEdit::modificationChanged, &timer_,
                     [this](bool modified) { modificationChanged(modified); });
}

DocumentJournal::~DocumentJournal() = default;

void DocumentJournal::documentChanged() {
    if (!timer_.isActive()) timer_.start();
}

void DocumentJournal::modificationChanged(bool modified) {
    if (modified) return;
    // Saved, or replaced by a document loaded from its file: the text is safe on disk.
    timer_.stop();
    journal_.remove(id_);
}

void DocumentJournal::writeSnapshot() {
    timer_.stop();
    platform::TRichEdit& edit = *form_.RichEdit1;
    if (!edit.Modified()) return;
    journal_.submit(id_,
                    journal::JournalSnapshot{documentPath(form_), form_.DocEncoding,
                                             form_.DocLayout, edit.SelStart(), edit.PlainText()});
}

void DocumentJournal::endSession() {
    timer_.stop();
    journal_.endSession();
}

void DocumentJournal::showError(const JournalError& error) {
    form_.prompts().unicodeError(platform::applicationTitle(), journalErrorMessage(error));
}

bool DocumentJournal::offerOrphans() {
    platform::Prompts& prompts = form_.prompts();
    for (const OrphanJournal& orphan : journal_.orphans()) {
        // Taken before asking, so that an editor starting meanwhile does not offer it too.
        std::optional<JournalId> id = journal_.takeOver(orphan);
        if (!id) continue;
        const JournalRecord& record = orphan.record;
        if (prompts.unicodeQuestion(questionCaption(),
                                    restoreQuestion(record, documentNewerThanJournal(record)))) {
            restore(*id, record);
            return true;
        }
        if (prompts.unicodeQuestion(questionCaption(), deleteQuestion(record)))
            journal_.remove(*id);
        else
            journal_.release(*id);
    }
    return false;
}

// The document opens as the user left it: the journal's text, modified, the caret where it
// was. The file on disk is read as opening it does, and written only by a save.
void DocumentJournal::restore(JournalId id, const JournalRecord& record) {
    bool named = false;
    if (!record.path.isEmpty()) {
        form_.Guarded([&] { form_.OpenDocument(record.path); });
        named = !form_.DocName.isEmpty() && state::documentFilePath(form_) == record.path;
    }
    // An untitled document, or one whose folder or file cannot be opened now: the text
    // comes back untitled and the user saves it under a name.
    if (!named) startUntitled(form_, record);
    // The text comes back in the encoding and with the line ends it was typed in, whatever
    // the file on disk holds now.
    document::setDocumentEncoding(form_, record.encoding, record.layout);
    document::setCaption(form_, !named);

    platform::TRichEdit& edit = *form_.RichEdit1;
    edit.LoadRuns(document::viewRuns(QString::fromStdString(record.text)));
    edit.SetSel(record.caret, 0);
    edit.SetModified(true);
    journal_.remove(id_); // the journal the editor started with holds nothing
    id_ = id;
    form_.RefreshLayoutIndicator();
    form_.RefreshSmartKeyboardControls();
}

} // namespace app
