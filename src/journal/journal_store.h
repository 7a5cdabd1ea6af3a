#pragma once
// The folder of recovery journals and which running editor owns which journal.
//
// Every running editor is a session named "<pid>-<16 hex digits>" (random, so a reused pid
// never inherits an old session). It holds an flock on "<session>.lock" for as long as it
// runs; the lock file comes into place already locked (made under a temporary name, locked,
// then renamed) and its descriptor is close-on-exec, so a program the editor starts does not
// keep the lock alive after the editor has ended. A session's journals are
// "<session>-<n>.journal". A journal whose lock file is missing or can be locked belongs to
// an ended session: it is offered at start-up and may be taken over, which renames it into
// the taking session (a rename succeeds for one process only). Another live session's
// journals are never listed, taken or deleted. Files of any other name, and journals that do
// not read whole, are left alone.
//
// Journals are written whole to ".<name>.XXXXXX" in the same folder, flushed to disk and
// renamed over the old one, so a crash at any point leaves the previous journal readable.
//
// Paths of the folder and of its files are file-system bytes. The methods never throw for a
// file-system failure: they return 0 or the errno. Safe to call from several threads.
#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "journal/journal_format.h"

namespace journal {

// $XDG_STATE_HOME/kolbax when XDG_STATE_HOME is an absolute path, else
// ~/.local/state/kolbax ($HOME, or the user's home in the password database).
std::string defaultJournalFolder();

// One journal of this session, for one document. Valid for the whole run: a removed
// journal is written again by the next write with the same id.
struct JournalId {
    int number = 0;
    auto operator<=>(const JournalId&) const = default;
};

// A journal left by an ended session, as found at start-up.
struct OrphanJournal {
    std::string fileName; // within the folder
    JournalRecord record;
};

// True when the document of a record was modified on disk after the journal was written
// (false for an untitled document and for a document that is no longer there).
bool documentNewerThanJournal(const JournalRecord& record);

class JournalStore {
  public:
    explicit JournalStore(std::string folder);
    // Releases this session's lock and keeps its journals (they are offered at the next
    // start); endSession() removes them.
    ~JournalStore();
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    const std::string& folder() const { return folder_; }

    // The valid journals of ended sessions, newest first. Also deletes the leftover
    // temporary files of ended sessions and the lock files of ended sessions without
    // journals. A missing or unreadable folder gives none.
    std::vector<OrphanJournal> listOrphans();

    // Takes over a listed journal: it becomes this session's journal `id`. ENOENT when it is
    // gone (another editor took it first).
    int takeOver(const OrphanJournal& orphan, JournalId& id);
    // Gives a taken-over journal back under its old name, to be offered at the next start.
    int release(JournalId id);

    // A new id for a document's journal; no file is made until the first write.
    JournalId newId();
    // Replaces the journal atomically. Without sync nothing is flushed (for measurements).
    // The first call makes the folder (mode 0700) and this session's lock.
    int write(JournalId id, const JournalRecord& record, bool sync = true);
    // Deletes the journal; a journal that is not there counts as deleted.
    int remove(JournalId id);
    // At a normal exit: deletes this session's journals, temporary files and lock file.
    int endSession();

    // The full path of a journal of this session; empty before the session has started.
    std::string filePath(JournalId id) const;

  private:
    int startSession(); // under mutex_
    std::string journalName(JournalId id) const;

    std::string folder_;
    mutable std::mutex mutex_;
    std::string session_; // empty until started
    int lockFd_ = -1;
    int nextNumber_ = 1;
    std::map<int, std::string> takenFrom_; // id number -> the orphan's file name
    std::set<int> durable_;                // ids whose name is flushed to the folder
};

} // namespace journal
