#pragma once
// Paths of documents: the parts the editor keeps, the form in which its own files store a
// path, and which paths it can work with. Paths are QStrings, which name every file whose
// name is valid UTF-8 exactly; "/" is the folder delimiter.
#include <QString>
#include <string>
#include <string_view>

namespace platform {

struct PathParts {
    QString fileName;             // text after the last "/" (the whole path without one)
    QString extension;            // from the file name's last "." on, dot included
    QString nameWithoutExtension; // the file name less its extension
    QString folder;               // up to the last "/", without it unless it is the root
};

PathParts splitPath(const QString& path);

// folder + "/" + name, without doubling a "/" the folder ends in (the root).
QString joinPath(const QString& folder, const QString& name);

// The path made absolute against the current folder (an absolute path stays as it is).
QString absolutePath(const QString& path);

// False for a path the editor cannot keep exactly: a name that is not valid UTF-8 on disk
// (Qt shows its bytes as U+FFFD) or one with a control character, which would break the
// line-based files that store paths.
bool isWorkablePath(const QString& path);

// The form in which filelist.ini and the status file hold a path or name: its CP1251 bytes
// when CP1251 holds it exactly (as these files always held it), otherwise a UTF-8
// byte-order mark followed by its UTF-8 bytes. A value whose CP1251 bytes would start with
// the mark takes the UTF-8 form too, so reading is never ambiguous.
std::string storedPath(const QString& path);
// Reads that form: UTF-8 after the mark, CP1251 otherwise (so every older file reads as
// it always did).
QString pathFromStored(std::string_view bytes);

// The folder of the running program, in the same form as PathParts::folder, as the
// editor state holds names (CP1251).
std::string programFolder();

} // namespace platform
