#include "spelling/word_scanner.h"

#include <QSet>
#include <QStringList>
#include <QStringView>
#include <algorithm>

namespace spelling {
namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiLetterOrDigit(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// A set of names given in one string, separated by blanks.
QSet<QString> setOf(const char* names) {
    QSet<QString> set;
    for (const QString& name : QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts))
        set.insert(name);
    return set;
}

// Commands whose arguments are names, keys, files, environments or settings, never prose.
bool namesInArguments(const QString& command) {
    static const QSet<QString> commands =
        setOf("label ref eqref pageref autoref cref Cref vref nameref cite citep citet nocite "
              "bibitem input include includeonly includegraphics usepackage RequirePackage "
              "PassOptionsToPackage documentclass begin end url href path bibliography "
              "bibliographystyle addbibresource newtheorem newenvironment renewenvironment "
              "newcommand renewcommand providecommand DeclareMathOperator setcounter "
              "newcounter addtocounter setlength addtolength newlength pagestyle "
              "thispagestyle selectlanguage foreignlanguage hyphenation lstset lstdefinestyle "
              "lstdefinelanguage lstinputlisting definecolor colorlet hypersetup geometry "
              "graphicspath sisetup usetikzlibrary tikzset pgfplotsset crefname Crefname "
              "numberwithin counterwithin inputencoding formbytotal");
    return commands.contains(command);
}

// Commands whose arguments are prose: a short group after one of them is read as words.
bool saysInArguments(const QString& command) {
    static const QSet<QString> commands =
        setOf("textbf textit emph textrm textsf texttt textsc textup textsl textmd textnormal "
              "underline uline mbox hbox fbox makebox framebox text part chapter section "
              "subsection subsubsection paragraph subparagraph caption footnote title author "
              "date textcolor MakeUppercase enquote marginpar thanks");
    return commands.contains(command);
}

// Environments of mathematics (with or without a star), numbered from 1 in the state.
const QStringList& mathEnvironments() {
    static const QStringList names = {
        QStringLiteral("equation"), QStringLiteral("align"),       QStringLiteral("gather"),
        QStringLiteral("multline"), QStringLiteral("flalign"),     QStringLiteral("alignat"),
        QStringLiteral("eqnarray"), QStringLiteral("displaymath"), QStringLiteral("math"),
        QStringLiteral("dmath"),    QStringLiteral("dgroup"),      QStringLiteral("IEEEeqnarray"),
    };
    return names;
}

// Environments whose text is taken as it stands, never prose.
const QStringList& verbatimEnvironments() {
    static const QStringList names = {
        QStringLiteral("verbatim"),      QStringLiteral("Verbatim"),  QStringLiteral("BVerbatim"),
        QStringLiteral("lstlisting"),    QStringLiteral("minted"),    QStringLiteral("comment"),
        QStringLiteral("filecontents"),  QStringLiteral("verbatim*"), QStringLiteral("Verbatim*"),
        QStringLiteral("filecontents*"),
    };
    return names;
}

// Environments of text that may stand inside mathematics ("$$\begin{tabular}...").
const QStringList& textEnvironments() {
    static const QStringList names = {
        QStringLiteral("tabular"),  QStringLiteral("tabular*"),  QStringLiteral("tabularx"),
        QStringLiteral("minipage"), QStringLiteral("longtable"), QStringLiteral("tabulary"),
    };
    return names;
}

std::uint8_t numberIn(const QStringList& names, const QString& name) {
    const qsizetype index = names.indexOf(name);
    return static_cast<std::uint8_t>(index < 0 ? 0 : index + 1);
}

// The line as the scan goes through it.
class Scan {
  public:
    Scan(const platform::TextLine& line, ScanState& state,
         std::vector<platform::LineRange>* prose = nullptr)
        : text_(line.text), latin_(line.latin), state_(state), prose_(prose) {}
    // Whether the words themselves are wanted (not when only the prose is).
    bool wordsWanted() const { return prose_ == nullptr; }

    std::vector<Word> words() {
        std::vector<Word> found;
        const int n = static_cast<int>(text_.size());
        int i = 0;
        if (state_.verbatim == 0 && QStringView(text_).trimmed().isEmpty()) {
            // A blank line ends a paragraph, and with it any mathematics or argument left open.
            state_ = ScanState{};
            return found;
        }
        if (state_.skipDepth > 0) i = closing(0, state_.skipDepth);
        while (i < n) {
            const QChar c = text_[i];
            if (state_.verbatim != 0) {
                i = afterVerbatim(i);
                if (i < 0) break;
            } else if (c == u'%') {
                // A comment to the end of the line. Its "$" closes inline mathematics that a
                // dollar the scan cannot tell from verbatim text opened ("|$| ... %$"): the
                // way authors keep their dollars paired for editors.
                if (state_.math == Math::Dollar && text_.indexOf(u'$', i) >= 0)
                    state_.math = Math::None;
                break;
            } else if (c == u'\\') {
                i = afterCommand(i);
            } else if (c == u'$') {
                i = afterDollar(i);
            } else if (c == u'{' && state_.math == Math::None && isLetterGroup(i) &&
                       !saysInArguments(commandBefore(i))) {
                i = closing(i + 1, 1);
            } else if (isCyrillicLetter(c) && state_.math == Math::None) {
                const int start = i;
                i = word(i, found);
                addProse(start, i);
            } else {
                if (state_.math == Math::None) addProse(i, i + 1);
                ++i;
            }
        }
        return found;
    }

  private:
    using Math = ScanState::Math;

    QChar at(int i) const { return i >= 0 && i < text_.size() ? text_[i] : QChar(); }

    // Past the "\end{...}" of the open verbatim environment at or after `from`; -1 when the
    // line does not end it (and the environment stays open).
    int afterVerbatim(int from) {
        const QString end = QLatin1String("\\end{") + verbatimEnvironments()[state_.verbatim - 1] +
                            QLatin1Char('}');
        const qsizetype found = text_.indexOf(end, from);
        if (found < 0) return -1;
        state_.verbatim = 0;
        return static_cast<int>(found + end.size());
    }

    int afterDollar(int i) {
        const bool two = at(i + 1) == u'$';
        switch (state_.math) {
        case Math::None:
            state_.math = two ? Math::Dollars : Math::Dollar;
            return i + (two ? 2 : 1);
        case Math::Dollar:
            state_.math = Math::None;
            return i + 1;
        case Math::Dollars:
            if (two) state_.math = Math::None;
            return i + (two ? 2 : 1);
        default:
            return i + 1; // a dollar inside "\[...\]" or an environment stands in \text
        }
    }

    // Past a command word, a control symbol, or a command with its arguments skipped.
    int afterCommand(int i) {
        const QChar next = at(i + 1);
        if (!isAsciiLetter(next)) {
            if ((next == u'(' || next == u'[') && state_.math == Math::None)
                state_.math = next == u'(' ? Math::Paren : Math::Bracket;
            if ((next == u')' || next == u']') &&
                (state_.math == Math::Paren || state_.math == Math::Bracket))
                state_.math = Math::None;
            else if (state_.math == Math::None && next != u'(' && next != u'[' && !next.isNull())
                addProse(i, i + 2); // a control symbol stands in the text: "\,", "\%", "\-"
            return i + 2;           // "\%", "\$", "\\", "\-" ... stand for themselves
        }
        int end = i + 1;
        while (isAsciiLetter(at(end)))
            ++end;
        const QString command = text_.mid(i + 1, end - i - 1);
        if (command == QLatin1String("verb") || command == QLatin1String("lstinline") ||
            command == QLatin1String("mintinline"))
            return afterVerb(command, end);
        if (command == QLatin1String("begin") || command == QLatin1String("end"))
            environment(command == QLatin1String("begin"), end);
        if (state_.verbatim != 0) return end;
        if (!namesInArguments(command)) return afterEnding(command, end);
        if (at(end) == u'*') ++end;
        for (;;) {
            int open = end;
            while (at(open) == u' ')
                ++open;
            const QChar bracket = at(open);
            if (bracket == u'{') {
                end = closing(open + 1, 1);
            } else if (bracket == u'[') {
                end = closingBracket(open);
            } else {
                return end;
            }
            if (state_.skipDepth > 0) return end; // the argument goes on in the next line
        }
    }

    // Past the Russian ending a command's text takes, which is no word by itself:
    // "\LaTeX{}овский", "\TeX а", "\XeTeX е".
    int afterEnding(const QString& command, int end) const {
        int start = -1;
        if (at(end) == u'{' && at(end + 1) == u'}' && isCyrillicLetter(at(end + 2)))
            start = end + 2;
        else if (at(end) == u' ' && isCyrillicLetter(at(end + 1)) && isLogo(command))
            start = end + 1;
        if (start < 0) return end;
        std::vector<Word> ending;
        return word(start, ending);
    }

    static bool isLogo(const QString& command) {
        return command.contains(QLatin1String("TeX")) || command == QLatin1String("MF") ||
               command == QLatin1String("MP") || command == QLatin1String("AmS");
    }

    // "\verb|...|", "\verb*|...|", "\lstinline[style]|...|" or "{...}", "\mintinline{lang}|...|".
    int afterVerb(const QString& command, int end) {
        if (command == QLatin1String("verb") && at(end) == u'*') ++end;
        if (command == QLatin1String("lstinline") && at(end) == u'[') end = closingBracket(end);
        if (command == QLatin1String("mintinline") && at(end) == u'{') end = closing(end + 1, 1);
        state_.skipDepth = 0; // a verbatim argument never spans lines
        const QChar delimiter = at(end);
        if (delimiter.isNull()) return end;
        if (delimiter == u'{' && command != QLatin1String("verb")) {
            const int after = closing(end + 1, 1);
            state_.skipDepth = 0;
            return after;
        }
        const qsizetype close = text_.indexOf(delimiter, end + 1);
        return close < 0 ? static_cast<int>(text_.size()) : static_cast<int>(close + 1);
    }

    // Follows "\begin{name}" and "\end{name}" into and out of mathematics and verbatim text.
    void environment(bool begin, int end) {
        if (at(end) != u'{') return;
        const qsizetype close = text_.indexOf(u'}', end + 1);
        if (close < 0) return;
        QString name = text_.mid(end + 1, close - end - 1);
        if (begin) {
            // Inside mathematics too ("$$\begin{verbatim}"): it goes on after the "\end".
            if (const std::uint8_t verbatim = numberIn(verbatimEnvironments(), name)) {
                state_.verbatim = verbatim;
                return;
            }
        }
        if (const std::uint8_t text = numberIn(textEnvironments(), name)) {
            if (begin && state_.math != Math::None && state_.textEnvironment == 0) {
                state_.textEnvironment = text;
                state_.outerMath = state_.math;
                state_.outerEnvironment = state_.environment;
                state_.math = Math::None;
                state_.environment = 0;
            } else if (!begin && state_.textEnvironment == text) {
                state_.textEnvironment = 0;
                state_.math = state_.outerMath;
                state_.environment = state_.outerEnvironment;
                state_.outerMath = Math::None;
                state_.outerEnvironment = 0;
            }
            return;
        }
        if (name.endsWith(u'*')) name.chop(1);
        const std::uint8_t math = numberIn(mathEnvironments(), name);
        if (math == 0) return;
        if (begin && state_.math == Math::None) {
            state_.math = Math::Environment;
            state_.environment = math;
        } else if (!begin && state_.math == Math::Environment && state_.environment == math) {
            state_.math = Math::None;
            state_.environment = 0;
        }
    }

    // Past the braces open at `from` (`depth` of them), or the end of the line, where the
    // state keeps how many are still open.
    int closing(int from, int depth) {
        for (int i = from; i < text_.size(); ++i) {
            if (text_[i] == u'\\') {
                ++i;
            } else if (text_[i] == u'{') {
                ++depth;
            } else if (text_[i] == u'}' && --depth == 0) {
                state_.skipDepth = 0;
                return i + 1;
            }
        }
        state_.skipDepth = static_cast<std::uint8_t>(std::min(depth, 255));
        return static_cast<int>(text_.size());
    }

    // Past the optional argument that opens at `open`, within the line.
    int closingBracket(int open) const {
        int depth = 0;
        for (int i = open; i < text_.size(); ++i) {
            if (text_[i] == u'\\') {
                ++i;
            } else if (text_[i] == u'[') {
                ++depth;
            } else if (text_[i] == u']' && --depth == 0) {
                return i + 1;
            }
        }
        return static_cast<int>(text_.size());
    }

    // A group of one or two Russian letters and nothing else opens at `open`.
    bool isLetterGroup(int open) const {
        int letters = 0;
        while (letters < 3 && isCyrillicLetter(at(open + 1 + letters)))
            ++letters;
        return letters >= 1 && letters <= 2 && at(open + 1 + letters) == u'}';
    }

    // The command whose argument opens at `open`, past its other arguments; "" when none.
    QString commandBefore(int open) const {
        int i = open - 1;
        for (;;) {
            while (at(i) == u' ')
                --i;
            const QChar close = at(i);
            if (close != u'}' && close != u']') break;
            const QChar opening = close == u'}' ? u'{' : u'[';
            int depth = 0;
            for (; i >= 0; --i) {
                if (text_[i] == close) {
                    ++depth;
                } else if (text_[i] == opening && --depth == 0) {
                    break;
                }
            }
            --i;
        }
        if (at(i) == u'*') --i;
        int start = i;
        while (isAsciiLetter(at(start)))
            --start;
        if (start == i || at(start) != u'\\') return {};
        return text_.mid(start + 1, i - start);
    }

    // How many characters a hint, a stress mark or a joining hyphen at i takes, and what it
    // adds to the word ("" for a hint, "-" for a hyphen); 0 when the word does not go on.
    int joiner(int i, QString& adds) const {
        const QChar c = at(i);
        const QChar next = at(i + 1);
        adds.clear();
        if (c == u'\\' && next == u'-' && isCyrillicLetter(at(i + 2))) return 2;
        if (c == u'\\' && next == u'\'' && isCyrillicLetter(at(i + 2))) return 2; // stress
        if ((c == QChar(0x0301) || c == QChar(0x0300)) && isCyrillicLetter(at(i - 1)))
            return 1; // a stress mark over the letter before
        if (c == u'"' && isCyrillicLetter(at(i + 2))) {
            if (next == u'-' || next == u'"') return 2;
            if (next == u'~' || next == u'=') {
                adds = QStringLiteral("-");
                return 2;
            }
        }
        if (c == QChar(0x00AD) && isCyrillicLetter(next)) return 1; // soft hyphen
        if ((c == u'-' || c == QChar(0x2011)) && isCyrillicLetter(next)) {
            adds = QStringLiteral("-");
            return 1;
        }
        return 0;
    }

    // "5-й", "n-мерный", "$i$-й", "\(n\)-мерный".
    bool gluedBefore(int start) const {
        const QChar before = at(start - 1);
        const QChar beforeHyphen = at(start - 2);
        return isAsciiLetterOrDigit(before) ||
               (before == u'-' && (isAsciiLetterOrDigit(beforeHyphen) || beforeHyphen == u'$' ||
                                   beforeHyphen == u')' || beforeHyphen == u'}'));
    }

    bool gluedAfter(int end) const {
        const QChar after = at(end);
        return isAsciiLetterOrDigit(after) || (after == u'-' && isAsciiLetterOrDigit(at(end + 1)));
    }

    int word(int start, std::vector<Word>& found) const {
        Word w;
        bool latinLetter = false;
        int i = start;
        QString adds;
        for (;;) {
            if (isCyrillicLetter(at(i))) {
                latinLetter = latinLetter || latin_[static_cast<size_t>(i)];
                if (wordsWanted()) w.text += text_[i];
                ++i;
            } else if (const int length = joiner(i, adds)) {
                if (wordsWanted()) w.text += adds;
                i += length;
            } else {
                break;
            }
        }
        w.range = {start, i - start};
        w.beforePeriod = at(i) == u'.';
        // A letter of a Latin run makes the word markup; a glued one is no word by itself.
        if (wordsWanted() && !latinLetter && !gluedBefore(start) && !gluedAfter(i))
            found.push_back(std::move(w));
        return i;
    }

    // Characters [from, to) are prose, joined to the prose just before them.
    void addProse(int from, int to) {
        if (!prose_ || from >= to) return;
        if (!prose_->empty() && prose_->back().end() == from)
            prose_->back().length += to - from;
        else
            prose_->push_back({from, to - from});
    }

    const QString& text_;
    const std::vector<bool>& latin_;
    ScanState& state_;
    std::vector<platform::LineRange>* prose_;
};

} // namespace

bool isCyrillicLetter(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x0400 && u <= 0x04FF && c.isLetter();
}

// Bits: the mathematics 0-2, its environment 3-6, the verbatim environment 7-10, the open
// braces 11-18, the text environment 19-21, the outer mathematics 22-24 and its environment
// 25-28.
int ScanState::pack() const {
    return static_cast<int>(math) | environment << 3 | verbatim << 7 | skipDepth << 11 |
           textEnvironment << 19 | static_cast<int>(outerMath) << 22 | outerEnvironment << 25;
}

ScanState ScanState::unpack(int packed) {
    const auto bits = [packed](int from, int count) {
        return static_cast<std::uint8_t>(packed >> from & ((1 << count) - 1));
    };
    ScanState state;
    state.math = static_cast<Math>(bits(0, 3));
    state.environment = bits(3, 4);
    state.verbatim = bits(7, 4);
    state.skipDepth = bits(11, 8);
    state.textEnvironment = bits(19, 3);
    state.outerMath = static_cast<Math>(bits(22, 3));
    state.outerEnvironment = bits(25, 4);
    return state;
}

std::vector<Word> wordsOf(const platform::TextLine& line, ScanState& state) {
    if (line.latin.size() != static_cast<size_t>(line.text.size())) return {};
    return Scan(line, state).words();
}

std::vector<platform::LineRange> proseOf(const platform::TextLine& line, ScanState& state) {
    std::vector<platform::LineRange> prose;
    if (line.latin.size() != static_cast<size_t>(line.text.size())) return prose;
    Scan(line, state, &prose).words();
    return prose;
}

std::vector<Word> wordsOf(const platform::TextLine& line) {
    ScanState state;
    return wordsOf(line, state);
}

} // namespace spelling
