#pragma once
// The words a Russian spell checker reads in a line of a TeX document. A word is a run of
// Cyrillic letters standing in Cyrillic runs: TeX markup is typed and shown in Latin runs
// and is never read. Where a line's TeX would put Russian letters outside its prose, the
// TeX is followed too:
//  - a comment, from an unescaped "%" to the end of the line;
//  - mathematics: "$...$", "$$...$$", "\(...\)", "\[...\]" and the math environments
//    (equation, align, gather, multline, ...), over as many lines as they take until a
//    blank line, where TeX itself would end them;
//  - verbatim text: "\verb|...|", "\lstinline", and the verbatim, lstlisting and like
//    environments to their "\end";
//  - the arguments of commands that name rather than say (\label, \ref, \cite, \begin,
//    \hyphenation, \lstset, \formbytotal, ...), over several lines as well;
//  - a group of one or two Russian letters alone ("{ы}", "{б}") that is no argument of a
//    command of prose (\textbf, \emph, \section, ...): a letter given to a macro or a table
//    ("\plural{лист}{ов}{а}", "literate={б}{...}1"), never a word.
// Inside a word a hyphenation hint ("\-", "\"-", "\"\"", a soft hyphen) or a stress mark
// (U+0301, "\'") is left out of the word checked, and a hyphen between letters joins
// ("кто-то" is one word, checked as the dictionary allows such words); babel's "\"~" and
// "\"=" are hyphens. A word glued to a digit or a Latin letter ("5-й", "n-мерный") is no
// Russian word by itself and is skipped.
#include <QString>
#include <cstdint>
#include <vector>

#include "platform/text_line.h"

namespace spelling {

struct Word {
    platform::LineRange range; // where it stands in the line, hints included
    QString text;              // the word as checked: hints left out, hyphens as "-"
    bool beforePeriod = false; // a "." follows it, as one follows an abbreviation
};

// What a line leaves open for the lines after it. A document is read line by line, each
// from the state the line before it ended in (the first from the empty state).
struct ScanState {
    enum class Math : std::uint8_t { None, Dollar, Dollars, Paren, Bracket, Environment };
    Math math = Math::None;
    std::uint8_t environment = 0; // the math environment open (Environment), by number
    std::uint8_t verbatim = 0;    // the verbatim environment open, by number; 0 none
    std::uint8_t skipDepth = 0;   // braces open in the arguments of a naming command
    // Text inside mathematics: a tabular or minipage open in it, by number, and the
    // mathematics it returns to.
    std::uint8_t textEnvironment = 0;
    Math outerMath = Math::None;
    std::uint8_t outerEnvironment = 0;

    bool operator==(const ScanState&) const = default;
    // As one non-negative number, and back.
    int pack() const;
    static ScanState unpack(int packed);
};

std::vector<Word> wordsOf(const platform::TextLine& line, ScanState& state);
// A line read by itself.
std::vector<Word> wordsOf(const platform::TextLine& line);

// The prose of a line, read as wordsOf reads it (and leaving the same state): the stretches
// outside comments, mathematics, verbatim text, command words and the arguments of naming
// commands, in either run. A control symbol ("\,", "\%", "\-") stands in the prose as the
// character it sets; a letter group given to a macro ("{ы}") and the ending after a logo
// ("\TeX{}овский") are no prose.
std::vector<platform::LineRange> proseOf(const platform::TextLine& line, ScanState& state);

// A letter Russian words are made of (the Cyrillic block's letters).
bool isCyrillicLetter(QChar c);

} // namespace spelling
