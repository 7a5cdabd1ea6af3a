#pragma once
// The RTF view of a TeX file: the CP866 text as CP1251 RTF in which Russian words and Latin
// TeX markup are separate runs (font 1, character set 204, and font 0, character set 0),
// which the editing control loads in one operation.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtf_reader.h"

namespace document {

// The switch written in front of the character that opens a Cyrillic or a Latin run.
inline constexpr std::string_view kCyrillicRunSwitch = "\\plain\\f1\\fs20\\cf0 ";
inline constexpr std::string_view kLatinRunSwitch = "\\plain\\lang1033\\f0\\fs20\\cf0 ";
// The two header lines, each followed by CR LF in the view.
inline constexpr std::string_view kRtfViewHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fswiss"
    "\\fcharset204{\\*\\fname MS Sans Serif;}MS Shell Dlg;}}";
inline constexpr std::string_view kRtfViewDefaults = "\\deflang1049\\pard";

// The view of a TeX file's bytes. The bytes are read by the text-file rules: a line ends
// at CR (an LF right after it belongs to the line end), 0x1A ends the file.
std::string buildRtfView(std::string_view texBytes);

// The runs the editing control shows for a TeX file's bytes: what its RTF reader makes of
// the view, got without writing the view out. A lone LF, which the view keeps inside its
// line and the reader would drop, breaks the line instead, so that files with LF line ends
// keep their lines. Bytes the view would drop are never loaded, since the next save would
// lose them for good: a NUL byte anywhere, or anything but 0x1A padding after the first
// 0x1A, refuses the file with a message for the user (RuntimeError). A file that ends in
// 0x1A padding loads without it.
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

// Reads the TeX file and writes its view (through the atomic writer). Throws InOutError.
void BuildRtfView(const std::string& texPath, const std::string& rtfPath);

} // namespace document
