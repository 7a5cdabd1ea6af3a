#pragma once
// Which files belong to a project, for the jumps from the PDF: a SyncTeX file is only a file
// on disk, and the names it holds are not taken on trust. A file of the project lies in the
// main file's folder or below it, or is one the main file reaches through \input, \include
// and the like (a shared preamble in "../common").
#include <QString>
#include <QStringList>

namespace pdf {

// The files the main file reaches, each as an absolute clean path (".tex" added to a name
// without an extension), followed through the files it reaches in turn. Names are taken
// from the folder of the main file, as TeX takes them; commented-out lines are skipped.
QStringList reachedFiles(const QString& mainFile);

// Whether path, an existing file, belongs to the project of mainFile. Both are compared as
// the file system resolves them, so a symbolic link inside the folder that leads outside it
// does not count as inside.
bool inProject(const QString& mainFile, const QString& path);

} // namespace pdf
