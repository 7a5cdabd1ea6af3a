#include "spelling/word_scanner.h"

#include <QSet>
#include <QStringView>

namespace spelling {
namespace {

bool isAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiLetterOrDigit(QChar c) {
    return isAsciiLetter(c) || (c >= u'0' && c <= u'9');
}

// Commands whose arguments are names, keys, files or environments, never prose.
bool namesInArguments(QStringView command) {
    static const QSet<QString> commands = {
        QStringLiteral("label"),
        QStringLiteral("ref"),
        QStringLiteral("eqref"),
        QStringLiteral("pageref"),
        QStringLiteral("autoref"),
        QStringLiteral("cref"),
        QStringLiteral("Cref"),
        QStringLiteral("cite"),
        QStringLiteral("citep"),
        QStringLiteral("citet"),
        QStringLiteral("nocite"),
        QStringLiteral("bibitem"),
        QStringLiteral("input"),
        QStringLiteral("include"),
        QStringLiteral("includegraphics"),
        QStringLiteral("usepackage"),
        QStringLiteral("documentclass"),
        QStringLiteral("begin"),
        QStringLiteral("end"),
        QStringLiteral("url"),
        QStringLiteral("href"),
        QStringLiteral("bibliography"),
        QStringLiteral("bibliographystyle"),
        QStringLiteral("newtheorem"),
        QStringLiteral("newenvironment"),
        QStringLiteral("newcommand"),
        QStringLiteral("renewcommand"),
        QStringLiteral("setcounter"),
        QStringLiteral("newcounter"),
        QStringLiteral("pagestyle"),
        QStringLiteral("selectlanguage"),
        QStringLiteral("foreignlanguage"),
    };
    return commands.contains(command.toString());
}

// The line as the scan goes through it.
class Scan {
  public:
    explicit Scan(const platform::TextLine& line) : text_(line.text), latin_(line.latin) {}

    std::vector<Word> words() {
        std::vector<Word> found;
        const int n = static_cast<int>(text_.size());
        int i = 0;
        while (i < n) {
            const QChar c = text_[i];
            if (c == u'%') break; // a comment to the end of the line
            if (c == u'\\') {
                i = afterCommand(i);
            } else if (c == u'$') {
                // "$$" opens or closes display mathematics as one sign.
                i += i + 1 < n && text_[i + 1] == u'$' ? 2 : 1;
                inMath_ = !inMath_;
            } else if (isCyrillicLetter(c) && !inMath_) {
                i = word(i, found);
            } else {
                ++i;
            }
        }
        return found;
    }

  private:
    QChar at(int i) const { return i >= 0 && i < text_.size() ? text_[i] : QChar(); }

    // Past a command word, a control symbol, or a naming command with its arguments.
    int afterCommand(int i) {
        const QChar next = at(i + 1);
        if (!isAsciiLetter(next)) {
            if (next == u'(' || next == u'[') inMath_ = true;
            if (next == u')' || next == u']') inMath_ = false;
            return i + 2; // "\%", "\$", "\\", "\-" ... stand for themselves
        }
        int end = i + 1;
        while (isAsciiLetter(at(end)))
            ++end;
        if (!namesInArguments(QStringView(text_).mid(i + 1, end - i - 1))) return end;
        if (at(end) == u'*') ++end;
        for (;;) {
            int open = end;
            while (at(open) == u' ')
                ++open;
            const QChar bracket = at(open);
            if (bracket != u'{' && bracket != u'[') return end;
            end = closing(open, bracket, bracket == u'{' ? u'}' : u']');
        }
    }

    // Past the group that opens at `open`, or the end of the line when it stays open.
    int closing(int open, QChar opening, QChar closingChar) const {
        int depth = 0;
        for (int i = open; i < text_.size(); ++i) {
            if (text_[i] == u'\\') {
                ++i;
            } else if (text_[i] == opening) {
                ++depth;
            } else if (text_[i] == closingChar && --depth == 0) {
                return i + 1;
            }
        }
        return static_cast<int>(text_.size());
    }

    // How many characters a hint or a joining hyphen at i takes, and what it adds to the
    // word ("" for a hint, "-" for a hyphen); 0 when the word does not go on past i.
    int joiner(int i, QString& adds) const {
        const QChar c = at(i);
        const QChar next = at(i + 1);
        adds.clear();
        if (c == u'\\' && next == u'-' && isCyrillicLetter(at(i + 2))) return 2;
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

    bool gluedBefore(int start) const {
        const QChar before = at(start - 1);
        return isAsciiLetterOrDigit(before) ||
               (before == u'-' && isAsciiLetterOrDigit(at(start - 2)));
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
                w.text += text_[i];
                ++i;
            } else if (const int length = joiner(i, adds)) {
                w.text += adds;
                i += length;
            } else {
                break;
            }
        }
        w.range = {start, i - start};
        w.beforePeriod = at(i) == u'.';
        // A letter of a Latin run makes the word markup; a glued one is no word by itself.
        if (!latinLetter && !gluedBefore(start) && !gluedAfter(i)) found.push_back(std::move(w));
        return i;
    }

    const QString& text_;
    const std::vector<bool>& latin_;
    bool inMath_ = false;
};

} // namespace

bool isCyrillicLetter(QChar c) {
    const char16_t u = c.unicode();
    return u >= 0x0400 && u <= 0x04FF && c.isLetter();
}

std::vector<Word> wordsOf(const platform::TextLine& line) {
    if (line.latin.size() != static_cast<size_t>(line.text.size())) return {};
    return Scan(line).words();
}

} // namespace spelling
