#pragma once
// Renaming a label or a citation key in every file of a project: where the old name stands
// (its \label or .bib entry, and every use), file by file. Only a plan: the caller edits.
#include <QString>
#include <vector>

#include "project/project_model.h"

namespace project {

struct FileEdits {
    QString path;
    std::vector<Place> places; // each the old name, in the order of the text
};

struct RenamePlan {
    QString refusal;       // why the name cannot be changed; empty when the plan holds
    bool citation = false; // a citation key, else a label
    std::vector<FileEdits> files;
};

RenamePlan planRename(const Snapshot& snapshot, const QString& oldName, const QString& newName);

// The key under a place of a line of a file of the snapshot: the label, reference or
// citation key that covers column (the caret) of line; empty when none.
QString keyAt(const Snapshot& snapshot, int file, int line, int column);

} // namespace project
