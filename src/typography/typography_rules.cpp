#include "typography/typography_rules.h"

#include <QSet>
#include <QStringList>
#include <algorithm>

namespace typography {
namespace {

using platform::LineRange;

constexpr int kQuoteLookMax = 64; // how far a quote looks for the letter it stands by
constexpr int kMaxQuotes = 3;
constexpr int kLongestEnding = 3; // "ом", "ами" after a Latin name

bool isLatin(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

QSet<QString> setOf(const char* words) {
    QSet<QString> set;
    for (const QString& word : QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts))
        set.insert(word);
    return set;
}

const QString kLatinLookAlikes = QStringLiteral("aceopxyABCEHKMOPTX");
const QString kCyrillicLookAlikes = QStringLiteral("асеорхуАВСЕНКМОРТХ");

// The look-alike of a letter in the other script; null when it has none.
QChar lookAlike(QChar c, bool toCyrillic) {
    const QString& from = toCyrillic ? kLatinLookAlikes : kCyrillicLookAlikes;
    const QString& to = toCyrillic ? kCyrillicLookAlikes : kLatinLookAlikes;
    const qsizetype at = from.indexOf(c);
    return at < 0 ? QChar() : to[at];
}

const QSet<QString>& pronouns() {
    static const QSet<QString> words =
        setOf("кто что где куда откуда когда как какой какая какое какие какого какому каким "
              "каком какую каких какими чей чья чьё чье чьи чьего чьей чьим чьих почему зачем "
              "отчего сколько кого кому кем ком чего чему чем чём");
    return words;
}

const QSet<QString>& units() {
    static const QSet<QString> words =
        setOf("мм см дм м км мкм нм г кг мг т ц л мл ч мин сек мс мкс Гц кГц МГц ГГц В кВ мВ А "
              "мА Вт кВт МВт Дж кДж Н Па кПа МПа К моль бит байт Кб Мб Гб Кбайт Мбайт Гбайт "
              "руб коп тыс млн млрд экз стр гг");
    return words;
}

bool isOneLetterWord(QChar c) {
    return QStringLiteral("авикосуяАВИКОСУЯ").contains(c);
}

// The checks of one line.
class LineCheck {
  public:
    LineCheck(const QString& text, const std::vector<LineRange>& prose, const Options& options,
              std::uint8_t& quotes)
        : text_(text), n_(static_cast<int>(text.size())), options_(options), quotes_(quotes),
          prose_(static_cast<size_t>(text.size()), false) {
        for (const LineRange& range : prose)
            std::fill_n(prose_.begin() + range.start, range.length, true);
        const bool wordsWanted = options_.checks(Rule::MixedScripts) ||
                                 options_.checks(Rule::NonBreakingSpaces) ||
                                 options_.checks(Rule::Particles);
        for (int i = 0; wordsWanted && i < n_;) {
            if (!isProse(i) || !text_[i].isLetter()) {
                ++i;
                continue;
            }
            const int start = i;
            while (isProse(i) && text_[i].isLetter())
                ++i;
            words_.push_back({start, i - start});
        }
    }

    std::vector<Mark> marks() {
        if (options_.checks(Rule::MixedScripts)) mixedScripts();
        quotes(); // followed even when not checked: the state must not depend on it
        if (options_.checks(Rule::Dashes)) dashes();
        if (options_.checks(Rule::NonBreakingSpaces)) {
            oneLetterWords();
            initials();
            abbreviations();
            numbersAndUnits();
        }
        if (options_.checks(Rule::Particles)) particles();
        std::sort(marks_.begin(), marks_.end(),
                  [](const Mark& a, const Mark& b) { return a.range.start < b.range.start; });
        std::vector<Mark> kept;
        for (Mark& mark : marks_)
            if (kept.empty() || kept.back().range.end() <= mark.range.start)
                kept.push_back(std::move(mark));
        return kept;
    }

  private:
    QChar at(int i) const { return i >= 0 && i < n_ ? text_[i] : QChar(); }
    bool isProse(int i) const { return i >= 0 && i < n_ && prose_[static_cast<size_t>(i)]; }
    bool allProse(int from, int to) const {
        for (int i = from; i < to; ++i)
            if (!isProse(i)) return false;
        return true;
    }
    QString mid(int from, int to) const { return text_.mid(from, to - from); }
    QString word(size_t k) const { return text_.mid(words_[k].start, words_[k].length); }
    bool spacesOnly(int from, int to) const {
        for (int i = from; i < to; ++i)
            if (text_[i] != u' ' && text_[i] != u'\t') return false;
        return true;
    }

    // The texts are mostly literals: a mark costs no allocation for them.
    void add(int from, int to, Rule rule, QString fix, const QString& reason) {
        if (from >= to || !allProse(from, to) || QStringView(text_).mid(from, to - from) == fix)
            return;
        marks_.push_back({{from, to - from}, rule, std::move(fix), reason});
    }

    // --- Mixed scripts ---
    // A Latin name with a Russian case ending ("Unixе", "PostScriptа") is no slip of the
    // layout: the ending is spelt in the other script on purpose.
    bool isRussianEnding(const LineRange& w) const {
        int latinEnd = w.start;
        while (latinEnd < w.end() && isLatin(text_[latinEnd]))
            ++latinEnd;
        const int ending = w.end() - latinEnd;
        for (int i = latinEnd; i < w.end(); ++i)
            if (!spelling::isCyrillicLetter(text_[i])) return false;
        return latinEnd - w.start >= 2 && ending >= 1 && ending <= kLongestEnding;
    }

    void mixedScripts() {
        for (const LineRange& w : words_) {
            int cyrillic = 0;
            int latin = 0;
            for (int i = w.start; i < w.end(); ++i) {
                cyrillic += spelling::isCyrillicLetter(text_[i]);
                latin += isLatin(text_[i]);
            }
            if (cyrillic == 0 || latin == 0 || cyrillic + latin != w.length) continue;
            if (isRussianEnding(w)) continue;
            const bool toCyrillic = cyrillic >= latin;
            QString fix = mid(w.start, w.end());
            bool allLookAlike = true;
            for (QChar& c : fix) {
                if (toCyrillic ? isLatin(c) : spelling::isCyrillicLetter(c)) {
                    const QChar other = lookAlike(c, toCyrillic);
                    allLookAlike = allLookAlike && !other.isNull();
                    c = other;
                }
            }
            if (allLookAlike)
                add(w.start, w.end(), Rule::MixedScripts, fix,
                    toCyrillic ? QStringLiteral("Латинская буква в русском слове")
                               : QStringLiteral("Русская буква в латинском слове"));
        }
    }

    // --- Quotes ---
    // Whether the first letter of the prose within reach after (before) a place, up to the
    // next quote, is Russian: a quote around verbatim text or a sign ("``\\verb|>>|''",
    // "``--''") quotes no Russian.
    bool russianAfter(int from) const {
        for (int i = from; i < std::min(n_, from + kQuoteLookMax); ++i) {
            if (!isProse(i)) continue;
            if (QStringLiteral("'\"»“”>").contains(text_[i])) return false;
            if (text_[i].isLetter()) return spelling::isCyrillicLetter(text_[i]);
        }
        return false;
    }
    bool russianBefore(int to) const {
        for (int i = to - 1; i >= std::max(0, to - kQuoteLookMax); --i) {
            if (!isProse(i)) continue;
            if (QStringLiteral("`\"«„<").contains(text_[i])) return false;
            if (text_[i].isLetter()) return spelling::isCyrillicLetter(text_[i]);
        }
        return false;
    }

    enum class Quote { None, Opening, Closing, Either };
    // The quote at i and its length, or Quote::None.
    Quote quoteAt(int i, int& length) const {
        const QChar c = text_[i];
        const QChar next = at(i + 1);
        length = 1;
        if (c == u'«' || c == u'„') return Quote::Opening;
        if (c == u'»' || c == u'”') return Quote::Closing;
        if (c == u'“') return quotes_ > 0 ? Quote::Closing : Quote::Opening;
        length = 2;
        if ((c == u'`' && next == u'`') || (c == u'<' && next == u'<') ||
            (c == u',' && next == u','))
            return Quote::Opening;
        if ((c == u'\'' && next == u'\'') || (c == u'>' && next == u'>')) return Quote::Closing;
        length = 1;
        // A straight quote, unless it begins one of babel's shorthands ("--- "~ "< ...).
        if (c == u'"' && !QStringLiteral("-~=<>|'`\"/").contains(next) && at(i - 1) != u'\\')
            return Quote::Either;
        return Quote::None;
    }

    void quotes() {
        const bool g = options_.guillemets;
        for (int i = 0; i < n_;) {
            int length = 1;
            const Quote quote = isProse(i) ? quoteAt(i, length) : Quote::None;
            if (quote == Quote::None || !allProse(i, i + length)) {
                i += text_[i] == u'\\' ? 2 : 1;
                continue;
            }
            const QStringView token = QStringView(text_).mid(i, length);
            bool opening = quote == Quote::Opening;
            if (quote == Quote::Either) {
                const QChar before = at(i - 1);
                opening = before.isNull() || before.isSpace() ||
                          QStringLiteral("([{~«„<`,").contains(before);
            }
            // A quote with a blank or a brace on the side of its text quotes nothing: it
            // stands for itself ("\\texttt{"}").
            const QChar inside = opening ? at(i + length) : at(i - 1);
            if (inside.isNull() || inside.isSpace() || inside == u'}' || inside == u'{') {
                i += length;
                continue;
            }
            if (opening) {
                const bool inner = quotes_ > 0;
                const QString want = inner ? (g ? QStringLiteral("„") : QStringLiteral(",,"))
                                           : (g ? QStringLiteral("«") : QStringLiteral("<<"));
                const bool right =
                    token == QStringLiteral("«") || token == QStringLiteral("<<") ||
                    (inner && (token == QStringLiteral("„") || token == QStringLiteral(",,")));
                if (quotes_ < kMaxQuotes) ++quotes_;
                if (options_.checks(Rule::Quotes) && !right && russianAfter(i + length))
                    add(i, i + length, Rule::Quotes, want,
                        QStringLiteral("Кавычки не те, что в русском тексте"));
            } else {
                if (quotes_ > 0) --quotes_;
                const bool inner = quotes_ > 0;
                const QString want = inner ? (g ? QStringLiteral("“") : QStringLiteral("''"))
                                           : (g ? QStringLiteral("»") : QStringLiteral(">>"));
                const bool right =
                    token == QStringLiteral("»") || token == QStringLiteral(">>") ||
                    (inner && (token == QStringLiteral("“") || token == QStringLiteral("''")));
                if (options_.checks(Rule::Quotes) && !right && russianBefore(i))
                    add(i, i + length, Rule::Quotes, want,
                        QStringLiteral("Кавычки не те, что в русском тексте"));
            }
            i += length;
        }
    }

    // --- Dashes ---
    void dashes() {
        for (int i = 0; i < n_; ++i) {
            if (text_[i] != u'-' || !isProse(i) || at(i - 1) == u'-') continue;
            int end = i;
            while (at(end) == u'-')
                ++end;
            if (end - i == 1 && isDigit(at(i - 1)) && isDigit(at(end))) {
                numberRange(i);
            } else if (end - i <= 2 && at(i - 1) == u' ') {
                spacedDash(i, end);
            }
            i = end - 1;
        }
    }

    void spacedDash(int dash, int end) {
        int before = dash - 1;
        while (at(before) == u' ' || at(before) == u'\t')
            --before;
        if (before < 0 || !(text_[before].isLetterOrNumber() ||
                            QStringLiteral(")]}»>'\".,!?$").contains(text_[before])))
            return;
        int after = end;
        while (at(after) == u' ' || at(after) == u'\t')
            ++after;
        if (after == end && after < n_) return; // "слово -то": no space after
        if (after < n_ && !(text_[after].isLetterOrNumber() ||
                            QStringLiteral("\\$(«<\"`").contains(text_[after])))
            return;
        const QString fix =
            options_.babelDashes ? QStringLiteral(" \"---") : QStringLiteral("~---");
        add(before + 1, after, Rule::Dashes, after < n_ ? fix + QLatin1Char(' ') : fix,
            QStringLiteral("Дефис вместо тире"));
    }

    void numberRange(int hyphen) {
        int first = hyphen - 1;
        while (isDigit(at(first - 1)))
            --first;
        int last = hyphen + 1;
        while (isDigit(at(last)))
            ++last;
        const QChar before = at(first - 1);
        const QChar after = at(last);
        if (before.isLetter() || (!before.isNull() && QStringLiteral("-.,/:\\").contains(before)))
            return;
        if (after.isLetter() || after == u'-' ||
            ((after == u'.' || after == u',' || after == u':') && isDigit(at(last + 1))))
            return;
        add(hyphen, hyphen + 1, Rule::Dashes, QStringLiteral("--"),
            QStringLiteral("Дефис в диапазоне чисел"));
    }

    // --- Non-breaking spaces ---
    void oneLetterWords() {
        for (const LineRange& w : words_) {
            const QChar letter = text_[w.start];
            if (w.length != 1 || !isOneLetterWord(letter)) continue;
            const QChar before = at(w.start - 1);
            // "\code{dviluatex}а": an ending glued to a name, no word
            if (before == u'\\' || before == u'-' || before == u'\'' || before == u'.' ||
                before == u'}')
                continue;
            int after = w.end();
            while (at(after) == u' ' || at(after) == u'\t')
                ++after;
            if (after == w.end() && after < n_) continue; // "в~", "а)", "с."
            if (after == n_) {
                // At the line's end: the tie goes on across the line break.
                add(w.start, after, Rule::NonBreakingSpaces, QString(letter) + QStringLiteral("~%"),
                    QStringLiteral("Однобуквенное слово в конце строки"));
            } else if (text_[after] != u'%' && text_[after] != u'-') {
                add(w.start, after, Rule::NonBreakingSpaces, QString(letter) + QLatin1Char('~'),
                    QStringLiteral("Нужен неразрывный пробел после однобуквенного слова"));
            }
        }
    }

    bool isInitial(size_t k) const {
        const QChar c = text_[words_[k].start];
        return words_[k].length == 1 && spelling::isCyrillicLetter(c) && c.isUpper() &&
               at(words_[k].end()) == u'.' && isProse(words_[k].end());
    }
    bool isSurname(size_t k) const {
        const LineRange& w = words_[k];
        return w.length >= 2 && spelling::isCyrillicLetter(text_[w.start]) &&
               text_[w.start].isUpper() && text_[w.start + 1].isLower();
    }
    // A gap between initials: "" or blanks (to be tied), or a tie already ("~", "\,").
    enum class Gap { Loose, Tied, Other };
    Gap gap(int from, int to) const {
        const QString between = mid(from, to);
        if (between == QStringLiteral("~") || between == QStringLiteral("\\,")) return Gap::Tied;
        return spacesOnly(from, to) ? Gap::Loose : Gap::Other;
    }

    void initials() {
        const QString between = options_.thinInitials ? QStringLiteral("\\,") : QStringLiteral("~");
        for (size_t k = 0; k + 2 < words_.size(); ++k) {
            // А. С. Пушкин
            if (isInitial(k) && isInitial(k + 1) && isSurname(k + 2) &&
                at(words_[k].start - 1) != u'.') {
                const int dot1 = words_[k].end();
                const int dot2 = words_[k + 1].end();
                const Gap g1 = gap(dot1 + 1, words_[k + 1].start);
                const Gap g2 = gap(dot2 + 1, words_[k + 2].start);
                if (g1 == Gap::Other || g2 == Gap::Other || (g1 == Gap::Tied && g2 == Gap::Tied))
                    continue;
                add(words_[k].start, words_[k + 2].start, Rule::NonBreakingSpaces,
                    mid(words_[k].start, dot1 + 1) +
                        (g1 == Gap::Tied ? mid(dot1 + 1, words_[k + 1].start) : between) +
                        mid(words_[k + 1].start, dot2 + 1) +
                        (g2 == Gap::Tied ? mid(dot2 + 1, words_[k + 2].start)
                                         : QStringLiteral("~")),
                    QStringLiteral("Нужен неразрывный пробел между инициалами и фамилией"));
                k += 2;
            } else if (isSurname(k) && isInitial(k + 1) && isInitial(k + 2) &&
                       !(k + 3 < words_.size() && isSurname(k + 3) &&
                         gap(words_[k + 2].end() + 1, words_[k + 3].start) != Gap::Other) &&
                       at(words_[k + 2].end() + 1) != u'.' &&
                       !at(words_[k + 2].end() + 1).isLetter()) {
                // Пушкин А. С.
                const int dot1 = words_[k + 1].end();
                const Gap g0 = gap(words_[k].end(), words_[k + 1].start);
                const Gap g1 = gap(dot1 + 1, words_[k + 2].start);
                if (words_[k].end() == words_[k + 1].start || g0 == Gap::Other ||
                    g1 == Gap::Other || (g0 == Gap::Tied && g1 == Gap::Tied))
                    continue;
                add(words_[k].end(), words_[k + 2].end() + 1, Rule::NonBreakingSpaces,
                    (g0 == Gap::Tied ? mid(words_[k].end(), words_[k + 1].start)
                                     : QStringLiteral("~")) +
                        mid(words_[k + 1].start, dot1 + 1) +
                        (g1 == Gap::Tied ? mid(dot1 + 1, words_[k + 2].start) : between) +
                        mid(words_[k + 2].start, words_[k + 2].end() + 1),
                    QStringLiteral("Нужен неразрывный пробел между фамилией и инициалами"));
                k += 2;
            }
        }
    }

    // т. е., т. д., т. п., т. к., т. н.
    void abbreviations() {
        for (size_t k = 0; k + 1 < words_.size(); ++k) {
            const LineRange& t = words_[k];
            const LineRange& second = words_[k + 1];
            if (t.length != 1 || (text_[t.start] != u'т' && text_[t.start] != u'Т') ||
                at(t.end()) != u'.' || second.length != 1 ||
                !QStringLiteral("едпкн").contains(text_[second.start]) ||
                at(second.end()) != u'.' || at(t.start - 1) == u'\\')
                continue;
            if (gap(t.end() + 1, second.start) != Gap::Loose) continue;
            add(t.start, second.end() + 1, Rule::NonBreakingSpaces,
                QString(text_[t.start]) + QStringLiteral(".~") + text_[second.start] +
                    QLatin1Char('.'),
                QStringLiteral("Нужен неразрывный пробел в сокращении"));
        }
    }

    void numbersAndUnits() {
        for (int i = 0; i < n_; ++i) {
            if (!isDigit(text_[i]) || !isProse(i)) continue;
            const int start = i;
            const QChar before = at(start - 1);
            while (isDigit(at(i)) || ((at(i) == u'.' || at(i) == u',') && isDigit(at(i + 1))))
                ++i;
            const int number = i;
            if (before.isLetter() || before == u'\\') continue;
            int after = number;
            while (at(after) == u' ')
                ++after;
            if (after == number) continue;
            if (at(after) == u'\\' && at(after + 1) == u'%') {
                add(start, after + 2, Rule::NonBreakingSpaces,
                    mid(start, number) + QStringLiteral("\\,\\%"),
                    QStringLiteral("Нужен неразрывный пробел перед знаком процента"));
                continue;
            }
            int unit = after;
            while (at(unit).isLetter())
                ++unit;
            if (unit > after && !isDigit(at(unit)) && units().contains(mid(after, unit)))
                add(start, unit, Rule::NonBreakingSpaces,
                    mid(start, number) + QLatin1Char('~') + mid(after, unit),
                    QStringLiteral("Нужен неразрывный пробел между числом и единицей"));
            i = after - 1;
        }
    }

    // --- Hyphen particles ---
    void particles() {
        static const QSet<QString> after = setOf("то либо нибудь");
        static const QSet<QString> before = setOf("кое кой");
        static const QSet<QString> from = setOf("за под");
        static const QSet<QString> still = setOf("всё все так опять");
        for (size_t k = 0; k + 1 < words_.size(); ++k) {
            const LineRange& w1 = words_[k];
            const LineRange& w2 = words_[k + 1];
            if (w2.start == w1.end() || !spacesOnly(w1.end(), w2.start)) continue;
            if (at(w1.start - 1) == u'-' || at(w2.end()) == u'-' || at(w1.start - 1) == u'\\')
                continue;
            const QString first = word(k).toLower();
            const QString second = word(k + 1).toLower();
            const bool particle = (after.contains(second) && pronouns().contains(first)) ||
                                  (before.contains(first) && pronouns().contains(second)) ||
                                  (first == QStringLiteral("из") && from.contains(second)) ||
                                  (still.contains(first) && second == QStringLiteral("таки"));
            if (particle)
                add(w1.start, w2.end(), Rule::Particles, word(k) + QLatin1Char('-') + word(k + 1),
                    QStringLiteral("Частица пишется через дефис"));
        }
    }

    const QString& text_;
    const int n_;
    const Options& options_;
    std::uint8_t& quotes_;
    std::vector<bool> prose_;
    std::vector<LineRange> words_;
    std::vector<Mark> marks_;
};

} // namespace

QString ruleName(Rule rule) {
    switch (rule) {
    case Rule::MixedScripts:
        return QStringLiteral("Буквы двух алфавитов в слове");
    case Rule::Quotes:
        return QStringLiteral("Кавычки");
    case Rule::Dashes:
        return QStringLiteral("Тире и диапазоны чисел");
    case Rule::NonBreakingSpaces:
        return QStringLiteral("Неразрывные пробелы");
    case Rule::Particles:
        return QStringLiteral("Частицы через дефис");
    }
    return {};
}

// The scanner's state takes bits 0-28; the quotes open take 29-30.
int LineState::pack() const {
    return scan.pack() | quotes << 29;
}

LineState LineState::unpack(int packed) {
    LineState state;
    state.scan = spelling::ScanState::unpack(packed & ((1 << 29) - 1));
    state.quotes = static_cast<std::uint8_t>(packed >> 29 & 3);
    return state;
}

std::vector<Mark> marksOf(const platform::TextLine& line, LineState& state,
                          const Options& options) {
    if (state.scan.verbatim == 0 && QStringView(line.text).trimmed().isEmpty()) {
        state = LineState{}; // a paragraph ends: whatever it left open ends with it
        return {};
    }
    const std::vector<LineRange> prose = spelling::proseOf(line, state.scan);
    if (prose.empty()) return {};
    return LineCheck(line.text, prose, options, state.quotes).marks();
}

void advance(const platform::TextLine& line, LineState& state) {
    static const Options none = [] {
        Options options;
        options.rules.fill(false);
        return options;
    }();
    marksOf(line, state, none);
}

bool usesBabelDashes(QStringView text) {
    return text.contains(QStringLiteral("\"---"));
}

} // namespace typography
