#pragma once
// Reads one TeX file's text for the project index: its sections, floats, labels, uses of
// labels, citation keys and files, definitions and packages. One pass over the text; comments
// and verbatim-like environments are skipped. Nothing is expanded: a label made of macros is
// kept as written.
#include <QString>
#include <QStringView>
#include <optional>

#include "project/project_model.h"

namespace project {

// The index of a file's text; every place carries file -1 (the snapshot sets it).
FileIndex scanTex(QStringView text);

// The file a "% !TeX root = FILE" comment in the first lines names, as written.
std::optional<QString> magicRoot(QStringView text);

} // namespace project
