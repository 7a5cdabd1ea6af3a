#pragma once
// The recovery journals of the main window's documents: each open document keeps its
// unsaved text in the state folder while it is modified, drops it once the text is safe,
// and the journals of an abrupt end are offered at start-up, each restored in a tab.
//
// A change starts the document's two-second timer (a running timer is left alone, so
// steady typing does not postpone the journal); when it fires the text is taken out of the
// document's control and handed to the background writer. Nothing is taken on a key press.
// A journal goes as soon as its document is unmodified again: a successful save, a
// document loaded in its place, or an undo back to the saved text; and when its tab is
// closed (saved, or declined). A failed or cancelled save leaves the document modified and
// the journal in place.
#include <QTimer>
#include <string>
#include <unordered_map>

#include "journal/recovery_journal.h"

class TForm1;
namespace platform {
class TRichEdit;
}

namespace app {

using journal::JournalError;
using journal::JournalId;
using journal::JournalRecord;
using journal::OrphanJournal;
using journal::RecoveryJournal;

class DocumentJournal {
  public:
    static constexpr int kDelayMs = 2000;

    DocumentJournal(TForm1& form, std::string folder = journal::defaultJournalFolder());
    // Keeps the journals (as an abrupt end does); endSession() is the normal exit.
    ~DocumentJournal();
    DocumentJournal(const DocumentJournal&) = delete;
    DocumentJournal& operator=(const DocumentJournal&) = delete;

    // Asks about each journal left by an ended editor, newest first; each one restored opens
    // in a tab of its own, the others stay for the next start. True when one was restored.
    bool offerOrphans();
    // The normal exit: this editor's journals go.
    void endSession();

    // Keeps a journal for the document of a control (the window's first control from the
    // start; the controls of later tabs when they are made).
    void Track(platform::TRichEdit& control);
    // The control's tab is closing: its text was saved or given up, its journal goes.
    void Forget(platform::TRichEdit& control);

    // Takes the current document's snapshot now, as its timer does (when it is modified).
    void writeSnapshot();
    RecoveryJournal& journal() { return journal_; }

  private:
    struct Entry {
        JournalId id;
        QTimer* timer; // the control's child
    };

    void writeSnapshot(platform::TRichEdit& control);
    void modificationChanged(platform::TRichEdit& control, bool modified);
    void restore(JournalId id, const JournalRecord& record);
    void showError(const JournalError& error);

    TForm1& form_;
    QTimer errors_;           // declared before journal_: it receives the posted errors
    RecoveryJournal journal_; // and so must outlive the writer thread
    std::unordered_map<const platform::TRichEdit*, Entry> entries_;
};

} // namespace app
