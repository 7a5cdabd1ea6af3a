#include "app/document_journal.h"

#include <QMetaObject>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "document/file_commands.h"
#include "document/tex_view.h"
#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "platform/guard.h"
#include "state/document_files.h"

namespace app {
namespace {

std::string questionCaption() {
    return platform::toCp1251(u"Восстановление");
}

// The full path of a document's file; empty for an untitled document.
QString documentPath(const state::DocumentState& document) {
    if (document.DocName.isEmpty()) return {};
    return state::documentFilePath(document);
}

// An empty untitled document in the journal's encoding and layout, as "Создать" leaves it
// before its dialog and template.
void startUntitled(TForm1& form, const JournalRecord& record) {
    form.LayoutBeep = true;
    form.RichEdit1->Clear();
    form.DocName.clear();
    form.MainFile.clear();
    form.DiskStamp = {};
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
    : form_(form), journal_(std::move(folder), [this](const JournalError& error) {
          // From the writer thread: shown on the window's thread.
          QMetaObject::invokeMethod(
              &errors_, [this, error] { showError(error); }, Qt::QueuedConnection);
      }) {
    Track(*form.RichEdit1);
}

// The timers belong to the controls, which may outlive this journal: they go first, and
// with them every connection that would reach it.
DocumentJournal::~DocumentJournal() {
    for (auto& [control, entry] : entries_)
        delete entry.timer;
}

void DocumentJournal::Track(platform::TRichEdit& control) {
    auto* timer = new QTimer(&control);
    timer->setSingleShot(true);
    timer->setInterval(kDelayMs);
    entries_[&control] = {journal_.newJournal(), timer};
    QObject::connect(timer, &QTimer::timeout, timer, [this, &control] { writeSnapshot(control); });
    QObject::connect(&control, &QPlainTextEdit::textChanged, timer, [timer] {
        if (!timer->isActive()) timer->start();
    });
    QObject::connect(&control, &QPlainTextEdit::modificationChanged, timer,
                     [this, &control](bool modified) { modificationChanged(control, modified); });
}

void DocumentJournal::Forget(platform::TRichEdit& control) {
    const auto entry = entries_.find(&control);
    if (entry == entries_.end()) return;
    entry->second.timer->stop();
    journal_.remove(entry->second.id);
    entries_.erase(entry);
}

void DocumentJournal::modificationChanged(platform::TRichEdit& control, bool modified) {
    if (modified) return;
    // Saved, or replaced by a document loaded from its file: the text is safe on disk.
    const Entry& entry = entries_.at(&control);
    entry.timer->stop();
    journal_.remove(entry.id);
}

void DocumentJournal::writeSnapshot() {
    writeSnapshot(*form_.RichEdit1);
}

void DocumentJournal::writeSnapshot(platform::TRichEdit& edit) {
    const Entry& entry = entries_.at(&edit);
    entry.timer->stop();
    if (!edit.Modified()) return;
    // The document may no longer be the one shown: its own names, encoding and layout.
    const state::DocumentState& document = form_.Tabs->DocumentOf(edit);
    journal_.submit(entry.id, journal::JournalSnapshot{documentPath(document), document.DocEncoding,
                                                       document.DocLayout, edit.SelStart(),
                                                       edit.PlainText()});
}

void DocumentJournal::endSession() {
    for (auto& [control, entry] : entries_)
        entry.timer->stop();
    journal_.endSession();
}

void DocumentJournal::showError(const JournalError& error) {
    form_.prompts().unicodeError(platform::applicationTitle(), journalErrorMessage(error));
}

bool DocumentJournal::offerOrphans() {
    platform::Prompts& prompts = form_.prompts();
    bool restored = false;
    for (const OrphanJournal& orphan : journal_.orphans()) {
        // Taken before asking, so that an editor starting meanwhile does not offer it too.
        std::optional<JournalId> id = journal_.takeOver(orphan);
        if (!id) continue;
        const JournalRecord& record = orphan.record;
        if (prompts.unicodeQuestion(questionCaption(),
                                    restoreQuestion(record, documentNewerThanJournal(record)))) {
            restore(*id, record);
            restored = true;
            continue;
        }
        if (prompts.unicodeQuestion(questionCaption(), deleteQuestion(record)))
            journal_.remove(*id);
        else
            journal_.release(*id);
    }
    return restored;
}

// The document opens in a tab of its own as the user left it: the journal's text, modified,
// the caret where it was. The file on disk is read as opening it does, and written only by
// a save.
void DocumentJournal::restore(JournalId id, const JournalRecord& record) {
    bool named = false;
    if (!record.path.isEmpty()) {
        form_.Guarded([&] { form_.OpenAnotherDocument(record.path); });
        named = !form_.DocName.isEmpty() &&
                platform::sameFile(state::documentFilePath(form_), record.path);
    }
    // An untitled document, or one whose folder or file cannot be opened now: the text
    // comes back untitled and the user saves it under a name.
    if (!named) {
        form_.MakeRoomForDocument();
        startUntitled(form_, record);
    }
    // The text comes back in the encoding and with the line ends it was typed in, whatever
    // the file on disk holds now.
    document::setDocumentEncoding(form_, record.encoding, record.layout);
    document::setCaption(form_, !named);

    platform::TRichEdit& edit = *form_.RichEdit1;
    edit.LoadRuns(document::viewRuns(QString::fromStdString(record.text)));
    edit.SetSel(record.caret, 0);
    edit.SetModified(true);
    // The journal the document's control started with holds nothing: the restored one is
    // its journal from now on.
    Entry& entry = entries_.at(&edit);
    if (entry.id != id) journal_.remove(entry.id);
    entry.id = id;
    form_.RefreshLayoutIndicator();
    form_.RefreshSmartKeyboardControls();
}

} // namespace app
