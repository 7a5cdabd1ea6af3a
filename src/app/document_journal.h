#pragma once
// The recovery journal of the main window's document: it keeps the unsaved text in the
// state folder while the document is modified, drops it once the text is safe, and offers
// the journals of an abrupt end at start-up.
//
// A change starts a two-second timer (a running timer is left alone, so steady typing does
// not postpone the journal); when it fires the text is taken out of the control and handed
// to the background writer. Nothing is taken on a key press. The journal goes as soon as
// the document is unmodified again: a successful save, a document loaded in its place (the
// editor saves a modified document before leaving it), or an undo back to the saved text.
// A failed or cancelled save leaves the document modified and the journal in place.
#include <QTimer>
#include <string>

#include "journal/recovery_journal.h"

class TForm1;

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

    // Asks about each journal left by an ended editor, newest first, until one is restored;
    // the rest stay for the next start. True when a document was restored.
    bool offerOrphans();
    // The normal exit: this editor's journals go.
    void endSession();

    // Takes the snapshot now, as the timer does (when the document is modified).
    void writeSnapshot();
    RecoveryJournal& journal() { return journal_; }

  private:
    void documentChanged();
    void modificationChanged(bool modified);
    void restore(JournalId id, const JournalRecord& record);
    void showError(const JournalError& error);

    TForm1& form_;
    QTimer timer_;            // declared before journal_: it receives the posted errors
    RecoveryJournal journal_; // and so must outlive the writer thread
    JournalId id_;
};

} // namespace app
