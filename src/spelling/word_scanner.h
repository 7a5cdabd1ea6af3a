#pragma once
// The words a Russian spell checker reads in a line of a TeX document. A word is a run of
// Cyrillic letters standing in Cyrillic runs: TeX markup is typed and shown in Latin runs
// and is never read. Where a line's TeX would put Russian letters outside its prose, the
// line's TeX is followed too:
//  - a comment, from an unescaped "%" to the end of the line;
//  - mathematics between unescaped "$" ("$$", "\(" "\)", "\[" "\]") within the line;
//  - the arguments of commands that name rather than say (\label, \ref, \cite, \begin, ...).
// Inside a word a hyphenation hint ("\-", "\"-", "\"\"", a soft hyphen) is left out of the
// word checked, and a hyphen between letters joins ("кто-то" is one word, checked as the
// dictionary allows such words); babel's "\"~" and "\"=" are hyphens. A word glued to a
// digit or a Latin letter ("5-й", "n-мерный") is no Russian word by itself and is skipped.
#include <QString>
#include <vector>

#include "platform/text_line.h"

namespace spelling {

struct Word {
    platform::LineRange range; // where it stands in the line, hints included
    QString text;              // the word as checked: hints left out, hyphens as "-"
    bool beforePeriod = false; // a "." follows it, as one follows an abbreviation
};

std::vector<Word> wordsOf(const platform::TextLine& line);

// A letter Russian words are made of (the Cyrillic block's letters).
bool isCyrillicLetter(QChar c);

} // namespace spelling
