#pragma once
// The view of a TeX file: its text in CP1251, in runs in which Russian words and Latin TeX
// markup are apart (character set 204 and 0, 10 points), which the editing control loads
// in one operation.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_run.h"

namespace document {

// The runs the editing control shows for a TeX file's bytes. A line ends at CR (an LF right
// after it belongs to the line end) and at a lone LF, so that files with LF line ends keep
// their lines; 0x1A ends the file. A Russian letter opens a Cyrillic run, a character of
// TeX markup a Latin one; anything else goes on in the run left open, in the default look
// (character set 0, no size) before the first. Bytes that cannot be shown are never loaded,
// since the next save would lose them for good: a NUL byte anywhere, or anything but 0x1A
// padding after the first 0x1A, refuses the file with a message for the user
// (RuntimeError). A file that ends in 0x1A padding loads without it.
std::vector<platform::TextRun> readTexView(std::string_view texBytes);

// The runs of a text already in CP1251 in which "\n" ends a line (a UTF-8 document's text),
// split into Russian and Latin runs exactly as readTexView splits the same text in CP866.
// The text holds no NUL, CR or 0x1A.
std::vector<platform::TextRun> readCp1251View(std::string_view cp1251Text);

// The bytes of a file the editor opens as a document or a template. Anything but a regular
// file (a folder, a FIFO, a device) is refused with a message for the user (RuntimeError)
// before a byte is read; other failures throw InOutError.
std::string readDocumentBytes(const QString& path);

// readTexView of readDocumentBytes.
std::vector<platform::TextRun> readTexFile(const QString& path);

} // namespace document
