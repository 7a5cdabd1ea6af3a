#pragma once
// What belongs to one open document: its names, project link, place mark, encoding and file
// layout, and the file as the editor last saw it on disk. The editor state holds the
// current document's; the main window keeps one of these for each other open document and
// swaps them when another becomes current, so the subsystems only ever see "the document".
#include <QString>
#include <cstdint>

#include "platform/file_stamp.h"
#include "platform/text_encoding.h"

namespace state {

struct DocumentState {
    // The document's names are held as the file system names them (QString, lossless);
    // DocDir is absolute once a document is named.
    QString DocName;
    QString DocDir;
    QString DocExt;
    QString MainFile;
    int32_t MarkedPosition = -1;

    // The document's encoding on disk, recognised from the file at every open and kept by
    // "Сохранить как"; DocLayout is how its file lays out its text (line ends, byte-order
    // mark, padding), so that a save writes an unchanged text back as the same bytes.
    platform::TextEncoding DocEncoding = platform::TextEncoding::Cp866;
    platform::FileLayout DocLayout;
    // The document's file as last read or written; a save over a file that has changed
    // since asks first.
    platform::FileStamp DiskStamp;
};

} // namespace state
