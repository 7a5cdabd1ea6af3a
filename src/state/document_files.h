#pragma once
// The files of a document, named from its DocDir, DocName and DocExt.
#include <QDir>
#include <QString>

#include "platform/paths.h"
#include "state/document_state.h"

namespace state {

// The extension of the TeX documents that the processing commands compile.
inline const QString& texExtension() {
    static const QString extension = QStringLiteral(".tex");
    return extension;
}

// Whether the document is a ".tex" file, the kind the processing commands run on.
inline bool isTexDocument(const DocumentState& state) {
    return state.DocExt == texExtension();
}

inline QString inDocumentFolder(const DocumentState& state, const QString& name) {
    return platform::joinPath(state.DocDir, name);
}

// The document's own file, under the name it was opened with (any extension kept).
inline QString documentFilePath(const DocumentState& state) {
    return inDocumentFolder(state, state.DocName + state.DocExt);
}

// The status file: DocName + ".sts" for a ".tex" document. Any other file adds ".sts" to its
// whole name ("refs.bib.sts"), and one without an extension to its name and a dot
// ("notes..sts"), so that none shares the status file of the ".tex" document of its base
// name in the same folder.
inline QString statusFilePath(const DocumentState& state) {
    if (isTexDocument(state))
        return inDocumentFolder(state, state.DocName + QStringLiteral(".sts"));
    const QString extension = state.DocExt.isEmpty() ? QStringLiteral(".") : state.DocExt;
    return inDocumentFolder(state, state.DocName + extension + QStringLiteral(".sts"));
}

// The project link that names mainFile (a path with its extension) from the document's
// folder: its bare name when it lies in that folder (as every status file has held it), else
// its path relative to that folder without the extension ("../thesis"), so that the link
// still holds when the project's folder is moved or copied whole.
inline QString projectLink(const QString& documentFolder, const QString& mainFile) {
    const platform::PathParts parts = platform::splitPath(platform::absolutePath(mainFile));
    const QDir folder(documentFolder);
    if (QDir::cleanPath(parts.folder) == QDir::cleanPath(folder.absolutePath()))
        return parts.nameWithoutExtension;
    return folder.relativeFilePath(platform::joinPath(parts.folder, parts.nameWithoutExtension));
}

} // namespace state
