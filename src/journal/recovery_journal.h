#pragma once
// The recovery journal of unsaved edits: what the main window uses.
//
// While a document has unsaved changes its text is kept in a journal file in the state
// folder (journal_store.h), so that after an abrupt end the next start can offer it back.
// Writing happens on a background thread; handing a snapshot over only moves it into a
// queue that keeps the newest snapshot of each journal.
//
// How the window uses it:
//   RecoveryJournal journal(defaultJournalFolder(), onError);
//   At start-up, for each journal.orphans() (newest first):
//     takeOver() it before asking, so that a second editor starting now does not offer it
//     too (nullopt: another editor took it; skip it). Ask restoreQuestion(), naming
//     documentNewerThanJournal(). Yes: open the record's text as a modified document
//     with its caret, and keep the id as that document's journal. No: ask deleteQuestion();
//     Yes: remove(id); No: release(id), and it is offered again at the next start.
//   A new or opened document: newJournal().
//   On a change: when no journal timer is running, start a 2-second single-shot timer (do
//     not restart it on every key, or steady typing would postpone the journal without
//     end); when it fires and the document is still modified: submit(id, snapshot).
//   Saved, answered No to the save question, or replaced by another document: remove(id).
//   A normal exit, after the save question: endSession().
//   An abrupt end leaves the journals and the lock is freed by the system with the
//   process, so the next start offers them.
//
// Errors (an unwritable or full folder): onError is called once per run at most, with the
// first failure, on the thread that met it (the writer thread for writes): post it to the
// window's thread, e.g. QMetaObject::invokeMethod(form, ..., Qt::QueuedConnection), and show
// journalErrorMessage(). It may be called until endSession() or the destructor returns.
// Typing and saving go on regardless; nothing here throws.
#include <QString>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "journal/journal_format.h"
#include "journal/journal_store.h"
#include "journal/journal_texts.h"

namespace journal {

// What the window hands over for a journal: copies, so that the editor may change on.
struct JournalSnapshot {
    QString path; // the document's full path; empty: untitled
    platform::TextEncoding encoding = platform::TextEncoding::Cp866;
    platform::FileLayout layout;
    int caret = 0;
    QString text; // the editor's text, "\n" ending a line; made UTF-8 by the writer
};

class RecoveryJournal {
  public:
    using ErrorHandler = std::function<void(const JournalError&)>;

    explicit RecoveryJournal(std::string folder = defaultJournalFolder(),
                             ErrorHandler onError = {});
    // Writes what is still pending and keeps the journals (as after an abrupt end);
    // endSession() is the normal exit.
    ~RecoveryJournal();
    RecoveryJournal(const RecoveryJournal&) = delete;
    RecoveryJournal& operator=(const RecoveryJournal&) = delete;

    const std::string& folder() const { return store_.folder(); }

    // --- start-up
    std::vector<OrphanJournal> orphans() { return store_.listOrphans(); }
    std::optional<JournalId> takeOver(const OrphanJournal& orphan);
    void release(JournalId id);

    // --- while editing
    JournalId newJournal() { return store_.newId(); }
    // Queues the snapshot, replacing one still queued for the same journal; never waits
    // for a write.
    void submit(JournalId id, JournalSnapshot snapshot);
    // Drops the queued snapshot, waits for a write of this journal in progress, then
    // deletes the file, so no late write brings the journal back.
    void remove(JournalId id);
    // Waits until everything queued is written.
    void flush();

    // --- normal exit: drops what is queued, stops the writer, deletes this process's
    // journals and lock.
    void endSession();

  private:
    // Drops the queued snapshot of a journal and waits for its write in progress.
    void settle(std::unique_lock<std::mutex>& lock, JournalId id);
    void stopWriter(bool writePending);
    void writeLoop();
    void report(int errorNumber);

    JournalStore store_;
    ErrorHandler onError_;
    std::atomic<bool> reported_{false};

    std::mutex mutex_;
    std::condition_variable wake_;    // the writer: something queued, or stop
    std::condition_variable settled_; // the callers: a write has ended
    std::vector<std::pair<JournalId, JournalSnapshot>> queue_;
    std::optional<JournalId> writing_;
    bool stop_ = false;
    std::thread writer_;
};

} // namespace journal
