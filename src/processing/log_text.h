#pragma once
// The text of a compiler's LOG file as the LOG viewer shows it.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace processing {

// The longest line the viewer takes.
constexpr size_t kMaxLogLine = 65535;

// The lines of a LOG's bytes as the viewer shows them, without their line ends: a line ends
// at CR LF, at CR or at LF (TeX ends its lines with LF on this platform, with CR LF on DOS),
// and byte 0x1A ends the text. A last line without a line end counts; an empty text has no
// lines. The LOG parser numbers its lines the same way.
std::vector<std::string_view> splitLogLines(std::string_view bytes);

// The 8-bit code page a LOG that is not UTF-8 is written in: TeX copies the source's bytes
// into it, so it is the source's. Recognised from its Russian letters; when they are too few
// to tell, the source document's encoding (sourceEncoding) if it is an 8-bit one, else CP866.
platform::TextEncoding logEightBitEncoding(std::string_view bytes,
                                           platform::TextEncoding sourceEncoding);

// Reads a LOG file line by line (lines as splitLogLines cuts them) and appends each line to
// lines in CP1251: a CP866 LOG with its CP866 letters turned into the same CP1251 letters
// (every other byte unchanged), a CP1251 or KOI8-R one (logEightBitEncoding) or one in UTF-8
// (isUtf8Log) with its characters in CP1251 ("?" for those CP1251 lacks). Throws InOutError
// when the file cannot be opened or read, and RangeCheckError at a line longer than
// kMaxLogLine; the lines appended before it stay.
void readLogLines(const QString& path, std::vector<std::string>& lines,
                  platform::TextEncoding sourceEncoding = platform::TextEncoding::Cp866);

// readLogLines of a LOG's bytes already read.
void appendLogLines(std::string_view bytes, std::vector<std::string>& lines,
                    platform::TextEncoding sourceEncoding = platform::TextEncoding::Cp866);

// A piece of a LOG in an 8-bit code page, as CP1251.
std::string logLineToCp1251(std::string_view bytes, platform::TextEncoding encoding);

} // namespace processing
