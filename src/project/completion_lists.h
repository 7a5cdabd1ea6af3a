#pragma once
// The entries a completion offers for each kind of context, made from a snapshot of the
// project, the editor's own command and environment lists and the names of the packages
// the project loads. Each list is made on first use and sorted; narrowing it to what was
// typed is cheap enough to run on every key.
#include <QString>
#include <QStringList>
#include <array>
#include <mutex>
#include <optional>
#include <vector>

#include "project/project_model.h"
#include "project/source_context.h"

namespace project {

struct Candidate {
    QString text;   // what goes into the text
    QString detail; // shown beside it: a label's context, an entry's author, year and title
};

struct NameSources {
    QStringList editorCommands; // "\\section{}" or "\\item": the name is taken from each
    QStringList editorEnvironments;
    QStringList packageCommands; // "\\foo"
    QStringList packageEnvironments;
};

class CompletionLists {
  public:
    CompletionLists(SnapshotPtr snapshot, NameSources names);

    // Made once, then never changed: a list may be made on a worker thread ahead of the
    // first key that needs it (Prepare), and read from any thread once made.
    const std::vector<Candidate>& Of(CompletionKind kind);
    // Makes the lists of labels, keys, commands and environments.
    void Prepare();
    const Snapshot& snapshot() const { return *snapshot_; }

  private:
    std::vector<Candidate> make(CompletionKind kind) const;
    SnapshotPtr snapshot_;
    NameSources names_;
    std::array<std::mutex, 8> mutexes_; // one a list: a key waits only for the list it needs
    std::array<std::optional<std::vector<Candidate>>, 8> lists_;
};

// The candidates that fit what was typed, as indices into the list: those that begin with
// it first, then those that hold it elsewhere, each in list order; case is ignored (Latin
// and Cyrillic alike). A command's backslash is not needed for the second kind.
std::vector<int> narrowCandidates(const std::vector<Candidate>& candidates, QStringView typed);

// The files under folder (its subfolders too, hidden ones left out, at most limit) whose
// suffix is one of suffixes, as paths relative to it with "/"; dropSuffix leaves the suffix
// out of the name (an \input names a .tex file without it).
QStringList filesUnder(const QString& folder, const QStringList& suffixes, bool dropSuffix,
                       int limit = 5000);

} // namespace project
