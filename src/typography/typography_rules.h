#pragma once
// The typography checks of Russian prose, line by line. They read only what the spell
// checker's word scanner takes for prose (spelling::proseOf): never markup, mathematics,
// comments, verbatim text or the arguments of naming commands. Each mark is a range of a
// line, its rule, the text that replaces it and the reason; the range and the text it is
// replaced by lie wholly in the prose.
//  - mixed scripts: a word of one script holding the other's look-alike letters ("cлово");
//  - quotes: "...", ``...'', „...“ around Russian text, which take << >> (the T2A font's
//    ligatures) or « » where the document's encoding holds them; nested ones ,, '' or „ “;
//  - dashes: a hyphen or "--" with spaces around it between words (~--- , or "--- where
//    the document uses the Russian babel shorthands), a number range 1-5 (1--5);
//  - non-breaking spaces: after a one-letter word (а в и к о с у я), between initials and a
//    surname, a number and its unit or \%, in т.~е., т.~д., т.~п.;
//  - hyphen particles: "кто то", "из за", "кое как", "всё таки" take a hyphen.
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/text_line.h"
#include "spelling/word_scanner.h"

namespace typography {

enum class Rule : std::uint8_t { MixedScripts, Quotes, Dashes, NonBreakingSpaces, Particles };
inline constexpr int kRules = 5;

// The rule's name as the dialog lists it.
QString ruleName(Rule rule);

struct Options {
    std::array<bool, kRules> rules{true, true, true, true, true};
    bool guillemets = false;   // « » and „ “ rather than << >> and ,, ''
    bool thinInitials = false; // А.\,С.~Пушкин rather than А.~С.~Пушкин
    bool babelDashes = false;  // "--- rather than ~---
    bool checks(Rule rule) const { return rules[static_cast<size_t>(rule)]; }
};

struct Mark {
    platform::LineRange range;
    Rule rule = Rule::Quotes;
    QString fix;
    QString reason;
};

// What a line leaves open for the next: the word scanner's state and the quotes open.
struct LineState {
    spelling::ScanState scan;
    std::uint8_t quotes = 0; // 0..3
    bool operator==(const LineState&) const = default;
    int pack() const;
    static LineState unpack(int packed);
};

std::vector<Mark> marksOf(const platform::TextLine& line, LineState& state, const Options& options);

// The state a line leaves, without its marks (for the lines above one to be checked).
void advance(const platform::TextLine& line, LineState& state);

// Whether a document uses the Russian babel shorthand for the dash ("---).
bool usesBabelDashes(QStringView text);

} // namespace typography
