#pragma once
// The files of a project as TeX finds them: the root of a document, the file an \input or a
// \bibliography names, and a file's text read in its own encoding. Only reading: nothing
// here writes a file.
#include <QString>
#include <QStringView>

namespace project {

// The root of a document's project: its status file's main file (mainFile: "" or "*" for
// none, else a name without its extension, from the document's folder, as the status file
// holds it), else the file its "% !TeX root = FILE" comment names, else the document itself.
QString rootOf(const QString& documentPath, const QString& mainFile, QStringView text);

// The path the index knows a file by: the file system's own name of it (links followed)
// when it exists, else its absolute, cleaned path.
QString normalPath(const QString& path);

// The file a name in an \input, \include, \subfile or \import stands for, from folder:
// ".tex" added to a name without an extension (always for \include), a name with one
// taken as written when that file exists.
QString texFileOf(const QString& folder, const QString& name, bool include);
// The file of one name of \bibliography (".bib" added) or \addbibresource (as written).
QString bibFileOf(const QString& folder, const QString& name, bool addExtension);
// The folder a relative name is taken from (an absolute one stays).
QString folderOf(const QString& base, const QString& name);

// A file's text, or why it could not be read (note).
struct SourceText {
    QString text;
    QString note;
};
// Reads a TeX file in the encoding it is in; a missing, unreadable, binary or too large
// file gives a note instead.
SourceText readSource(const QString& path);

// Files larger than this are not read (a note says so): a TeX source or .bib of this size is
// no one's document, and reading it would only hold memory and time.
inline constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

// The notes, shared with the .bib reader.
QString missingNote();
QString tooLargeNote();
QString unreadableNote(const QString& why);

} // namespace project
