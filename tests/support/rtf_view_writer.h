#pragma once
// The RTF a TeX file used to be shown through: the CP866 text as CP1251 RTF in which
// Russian words and Latin TeX markup are separate runs (font 1, character set 204, and
// font 0, character set 0). The editor now builds its runs straight from the file's bytes;
// what the editing control's RTF reader makes of this view is what those runs must be,
// which the tests and the fuzz target check against each other.
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_run.h"

namespace support {

// The view of a TeX file's bytes, read by the text-file rules: a line ends at CR (an LF
// right after it belongs to the line end; a lone LF stays inside its line), 0x1A ends the
// file.
std::string rtfViewOf(std::string_view texBytes);

// What the editor must load for a TeX file's bytes: the control's RTF reader on the view,
// with a lone LF (which the view keeps inside its line and the reader would drop) taken
// as the line end the editor makes of it.
std::vector<platform::TextRun> runsThroughRtfView(std::string_view texBytes);

} // namespace support
