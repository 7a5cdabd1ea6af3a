#pragma once
// The structure of a project as a tree: its files in the order TeX reads them and, inside
// each, its sections nested by level, with the labels, figures and tables under the section
// that holds them. Each node has a key that stays the same while its file, kind and title
// do, so that a view can be brought up to date in place.
#include <QString>
#include <vector>

#include "project/project_model.h"

namespace project {

enum class OutlineKind { File, Heading, Figure, Table, Label };

struct OutlineNode {
    OutlineKind kind = OutlineKind::File;
    QString key;  // unique among its siblings
    QString text; // what the tree shows
    int file = -1;
    int line = 0;
    int level = 0; // of a heading
    QString note;  // of a file: why it could not be read
    std::vector<OutlineNode> children;
};

std::vector<OutlineNode> outlineOf(const Snapshot& snapshot);

// The keys from the top down to the deepest heading of the file (at index `file` in the
// snapshot) that starts on or before line: the section holding that line. Empty when the
// file is not in the outline; only the file's key when no heading stands before line.
std::vector<QString> sectionPathAt(const std::vector<OutlineNode>& outline, int file, int line);

} // namespace project
