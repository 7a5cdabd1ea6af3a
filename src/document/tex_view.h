#pragma once
// The view of a document: its text in runs in which Russian words and Latin TeX markup are
// apart (character set 204 and 0, 10 points), which the editing control loads in one
// operation.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_run.h"

namespace document {

// The runs the editing control shows for a document's text ("\n" ends a line). A letter of
// Cyrillic script opens a Cyrillic run; a character of TeX markup, or a letter of any other
// script (Greek, accented Latin, CJK), a Latin one; anything else (digits, blanks,
// punctuation, symbols) goes on in the run left open, in the default look (character set 0,
// no size) before the first.
std::vector<platform::TextRun> viewRuns(QStringView text);

// viewRuns of a CP866 file's bytes, read as a CP866 document is (CR, CR LF and a lone LF
// end a line, 0x1A ends the text). Bytes that cannot be shown are never loaded, since the
// next save would lose them for good: a NUL byte anywhere, or anything but 0x1A padding
// after the first 0x1A, refuses the file with a message for the user (RuntimeError).
std::vector<platform::TextRun> readTexView(std::string_view cp866Bytes);

// The bytes of a file the editor opens as a document or a template. Anything but a regular
// file (a folder, a FIFO, a device) is refused with a message for the user (RuntimeError)
// before a byte is read; other failures throw InOutError.
std::string readDocumentBytes(const QString& path);

} // namespace document
