#pragma once
// The text of a compiler's LOG file as the LOG viewer shows it.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace processing {

// The longest line the viewer takes.
constexpr size_t kMaxLogLine = 65535;

// The lines of a LOG's bytes as the viewer shows them, without their line ends: a line ends
// at CR LF, at CR or at LF (TeX ends its lines with LF on this platform, with CR LF on DOS),
// and byte 0x1A ends the text. A last line without a line end counts; an empty text has no
// lines. The LOG parser numbers its lines the same way.
std::vector<std::string_view> splitLogLines(std::string_view bytes);

// Reads a LOG file line by line (lines as splitLogLines cuts them) and appends each line to
// lines with its CP866 letters turned into the same CP1251 letters (every other byte
// unchanged), or, for a LOG in UTF-8 (isUtf8Log), its characters in CP1251. Throws
// InOutError when the file cannot be opened or read, and RangeCheckError at a line longer
// than kMaxLogLine; the lines appended before it stay.
void readLogLines(const QString& path, std::vector<std::string>& lines);

// readLogLines of a LOG's bytes already read.
void appendLogLines(std::string_view bytes, std::vector<std::string>& lines);

} // namespace processing
