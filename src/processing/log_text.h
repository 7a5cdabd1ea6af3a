#pragma once
// The text of a compiler's LOG file as the LOG viewer shows it.
#include <QString>
#include <string>
#include <vector>

namespace processing {

// The longest line the viewer takes.
constexpr size_t kMaxLogLine = 65535;

// Reads a LOG file as a text file, line by line, and appends each line to lines with its
// CP866 letters turned into the same CP1251 letters (every other byte unchanged). Throws
// InOutError when the file cannot be opened or read, and RangeCheckError at a line longer
// than kMaxLogLine; the lines appended before it stay.
void readLogLines(const QString& path, std::vector<std::string>& lines);

} // namespace processing
