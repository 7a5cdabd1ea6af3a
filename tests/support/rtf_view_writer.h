#pragma once
// The RTF a TeX file used to be shown through: the CP866 text as CP1251 RTF in which
// Russian words and Latin TeX markup are separate runs (font 1, character set 204, and
// font 0, character set 0). The editor now builds its runs straight from the file's bytes;
// what the editing control's RTF reader makes of this view is what those runs must be,
// which the tests and the fuzz target check against each other.
#include <string>
#include <string_view>

namespace support {

// The switch written in front of the character that opens a Cyrillic or a Latin run.
inline constexpr std::string_view kCyrillicRunSwitch = "\\plain\\f1\\fs20\\cf0 ";
inline constexpr std::string_view kLatinRunSwitch = "\\plain\\lang1033\\f0\\fs20\\cf0 ";
// The two header lines, each followed by CR LF in the view.
inline constexpr std::string_view kRtfViewHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fswiss"
    "\\fcharset204{\\*\\fname MS Sans Serif;}MS Shell Dlg;}}";
inline constexpr std::string_view kRtfViewDefaults = "\\deflang1049\\pard";

// The view of a TeX file's bytes, read by the text-file rules: a line ends at CR (an LF
// right after it belongs to the line end; a lone LF stays inside its line), 0x1A ends the
// file.
std::string rtfViewOf(std::string_view texBytes);

} // namespace support
