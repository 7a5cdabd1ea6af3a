#pragma once
// Where the thing under the caret is defined, and where a label or key is used: the
// answers of "Перейти к определению" and "Найти ссылки", from a snapshot of the project.
#include <QString>
#include <optional>
#include <vector>

#include "project/project_model.h"
#include "project/source_context.h"

namespace project {

// A place to open: a file and a line and column in it (from 0), with the length to select.
struct Destination {
    QString path;
    int line = 0;
    int column = 0;
    int length = 0;
};

// The definition of the target: a \ref's \label, a \cite key's .bib entry, an \input's
// file (relative to the root's folder, ".tex" added as TeX adds it), a command's or an
// environment's definition in the project. nullopt when the project has none.
std::optional<Destination> definitionOf(const Snapshot& snapshot, const PositionTarget& target);

// The file an \input, \include or \bibliography names, as TeX would find it from the
// root's folder; empty when there is none.
QString fileNamed(const Snapshot& snapshot, const QString& name, ArgumentKind kind);

// Every use of the label or citation key, and its definitions, in the order of the files,
// then of their lines.
std::vector<Destination> referencesOf(const Snapshot& snapshot, const QString& key);

} // namespace project
