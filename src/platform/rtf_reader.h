#pragma once
// The RTF reader of the editing control: turns RTF bytes into runs of text (the characters
// CP1251 holds), each with its character set and character formatting. It reads the RTF
// written by word processors for user templates. The reader never fails: malformed
// input gives the text read up to the fault.
//
// Understood: the font table with \fcharset, \plain, \f, \fs, \b, \i, \ul, \cf with the
// colour table, \par, \line, \tab, \'hh (decoded through the current font's character
// set), \uN with \ucN and the common typographic symbols. Ignorable destinations ({\*...})
// and the stylesheet, info, pictures, objects, headers, footers and similar destinations
// are skipped; \binN data is skipped within the input. Groups nest up to a depth cap,
// control words have at most 32 letters, parameters are clamped to 32 bits, the end of the
// input inside a group closes every group, and nothing after the closing brace is read.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/text_run.h"

namespace platform {

// Groups deeper than this share the formatting of the deepest kept group.
inline constexpr int kRtfMaxGroupDepth = 256;

// True when the bytes begin with "{\rtf".
bool isRtf(std::string_view bytes);

// Reads RTF. Bytes that are not RTF are plain CP1251 text: one run with plainCharset, its
// line ends (CR LF, CR, LF) made "\n". NUL bytes are dropped in both cases.
std::vector<TextRun> readRtf(std::string_view bytes, int plainCharset = 0);

// The length of the runs' text as the editing control counts it (a line break counts as
// the two characters CR LF).
int64_t rtfTextLength(const std::vector<TextRun>& runs);

} // namespace platform
