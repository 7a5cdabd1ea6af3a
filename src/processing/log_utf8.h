#pragma once
// A LOG that latex wrote for a UTF-8 source: its Russian letters are UTF-8, and TeX cuts
// its lines after a fixed count of bytes, sometimes inside a character.
#include <string>
#include <string_view>

namespace processing {

// True when the LOG's bytes above 0x7F are mostly whole UTF-8 sequences. CP866 Russian text
// is not: its lower-case letters а..п are UTF-8 continuation bytes, met without a lead.
bool isUtf8Log(std::string_view bytes);

// The bytes with every line break that TeX put inside a character moved to after it, so
// that no line holds part of a character; the count of lines stays.
std::string withWholeCharacters(std::string_view bytes);

// A line of a UTF-8 LOG in CP1251; a character CP1251 lacks, or a byte that is not part of
// a whole UTF-8 sequence, becomes "?".
std::string utf8LogLineToCp1251(std::string_view line);

} // namespace processing
