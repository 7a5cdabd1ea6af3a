#pragma once
// The lookups of a snapshot and the problems of its references: a \ref whose label is
// nowhere, a \label defined more than once, a \cite key in no .bib file and an \input of a
// missing file.
#include <QString>
#include <vector>

#include "project/project_model.h"

namespace project {

// An \input or \bibliography whose file is not there.
struct MissingTarget {
    Place at;
    QString name;
};

// Fills the lookups and the problems (sorted by file, line and column) of a snapshot whose
// files and .bib files are read.
void completeSnapshot(Snapshot& snapshot, const std::vector<MissingTarget>& missing);

// Whether a key can be checked: one made of macros or of a macro's parameters is taken as
// right, as TeX alone can tell.
bool checkableKey(const QString& key);

} // namespace project
