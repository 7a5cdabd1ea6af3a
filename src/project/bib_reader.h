#pragma once
// Reads a .bib file's entries with btparse: each entry's key, type, author, year and title,
// and the line of its key. An entry btparse cannot read is reported with its line; what can
// be read is still listed. btparse keeps its state in globals: its use is serialised here.
#include <QString>
#include <atomic>
#include <string_view>

#include "project/project_model.h"

namespace project {

// The entries of a .bib file's bytes (decoded in the encoding they are in). Places carry
// file -1. Reading stops early, with what was read, once *cancel is set.
BibFile parseBib(std::string_view bytes, const std::atomic<bool>* cancel = nullptr);

// Reads the file at path; a missing, unreadable or too large file gives a note.
BibFile readBib(const QString& path, const std::atomic<bool>* cancel = nullptr);

} // namespace project
