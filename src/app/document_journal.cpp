#include "app/document_journal.h"

#include <QMetaObject>

#include "app/tform1.h"
#include "document/file_commands.h"
#include "document/tex_view.h"
#include "document/texts.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/guard.h"
#include "platform/paths.h"

namespace app {
namespace {

std::string questionCaption() {
    return platform::toCp1251(u"Восстановление");
}

// The encoding the document is saved in.
JournalEncoding documentEncoding(const TForm1& form) {
    return form.DocEncoding == platform::TextEncoding::Utf8 ? JournalEncoding::Utf8
                                                            : JournalEncoding::Cp866;
}

// The full path of the document's file as the journal keeps it; empty for an untitled
// document, and for a path the journal cannot hold exactly (the text is then restored as
// an untitled document rather than under a wrong name).
std::string documentPath(const TForm1& form) {
    if (form.DocName.isEmpty()) return {};
    const QString path = platform::joinPath(form.DocDir, form.DocName + QStringLiteral(".tex"));
    std::string cp1251 = platform::fromFsPath(path);
    return platform::fsPath(cp1251) == path ? cp1251 : std::string();
}

// The runs a journal's text is shown in: those the saved file would load as.
std::vector<platform::TextRun> runsOf(const std::string& text) {
    std::string cp866 = text;
    for (char& c : cp866)
        c = static_cast<char>(platform::cp1251ToCp866(static_cast<unsigned char>(c)));
    std::vector<platform::TextRun> runs;
    try {
        runs = document::readTexView(cp866);
    } catch (const platform::RuntimeError&) {
        // A text the file view refuses (a NUL byte) is still given back, as it was typed.
        runs.assign(1, platform::TextRun{});
        runs[0].text = text;
        runs[0].charset = platform::kCyrillicCharset;
    }
    return runs;
}

// An empty untitled document in the journal's encoding, as "Создать" leaves it before its
// dialog and template.
void startUntitled(TForm1& form, JournalEncoding encoding) {
    form.LayoutBeep = true;
    form.RichEdit1->Clear();
    form.DocName.clear();
    form.MainFile.clear();
    const bool utf8 = encoding == JournalEncoding::Utf8;
    form.DocEncoding = utf8 ? platform::TextEncoding::Utf8 : platform::TextEncoding::Cp866;
    form.DocLayout = platform::Utf8Layout{};
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
    journal_.submit(id_, JournalSnapshot{documentPath(form_), documentEncoding(form_),
                                         edit.SelStart(), edit.Text()});
}

void DocumentJournal::endSession() {
    timer_.stop();
    journal_.endSession();
}

void DocumentJournal::showError(const JournalError& error) {
    form_.prompts().error(platform::applicationTitle(), journalErrorMessage(error));
}

bool DocumentJournal::offerOrphans() {
    platform::Prompts& prompts = form_.prompts();
    for (const OrphanJournal& orphan : journal_.orphans()) {
        // Taken before asking, so that an editor starting meanwhile does not offer it too.
        std::optional<JournalId> id = journal_.takeOver(orphan);
        if (!id) continue;
        const JournalRecord& record = orphan.record;
        if (prompts.question(questionCaption(),
                             restoreQuestion(record, documentNewerThanJournal(record)))) {
            restore(*id, record);
            return true;
        }
        if (prompts.question(questionCaption(), deleteQuestion(record)))
            journal_.remove(*id);
        else
            journal_.release(*id);
    }
    return false;
}

// The document opens as the user left it: the journal's text, modified, the caret where it
// was. The file on disk is read as opening it does, and written only by a save.
void DocumentJournal::restore(JournalId id, const JournalRecord& record) {
    const QString path = platform::fsPath(record.path);
    bool named = false;
    if (!record.path.empty()) {
        form_.Guarded([&] { form_.OpenDocument(path); });
        named = !form_.DocName.isEmpty() &&
                platform::joinPath(form_.DocDir, form_.DocName + QStringLiteral(".tex")) == path;
    }
    // An untitled document, or one whose folder or file cannot be opened now: the text
    // comes back untitled and the user saves it under a name.
    if (!named) startUntitled(form_, record.encoding);

    platform::TRichEdit& edit = *form_.RichEdit1;
    edit.LoadRuns(runsOf(record.text));
    edit.SetSel(record.caret, 0);
    edit.SetModified(true);
    journal_.remove(id_); // the journal the editor started with holds nothing
    id_ = id;
    form_.RefreshLayoutIndicator();
    form_.RefreshSmartKeyboardControls();
}

} // namespace app
