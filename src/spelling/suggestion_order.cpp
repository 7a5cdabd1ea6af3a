#include "spelling/suggestion_order.h"

#include <QSet>
#include <algorithm>
#include <utility>
#include <vector>

namespace spelling {
namespace {

constexpr double kSound = 0.4;     // a letter of like sound
constexpr double kDoubled = 0.4;   // a doubled letter typed once, or a single one twice
constexpr double kSign = 0.5;      // a soft or hard sign left out or put in
constexpr double kKey = 0.6;       // the key beside the right one
constexpr double kSwap = 0.6;      // two neighbours swapped
constexpr double kOther = 1.0;     // any other letter left out, put in or replaced
constexpr double kFirstLost = 0.5; // more, when the first letter is left out or put in
constexpr double kFirstKey = 0.3;  // more, when it is replaced by another than of its sound

// Pairs of letters that sound alike where a writer hesitates between them.
const char16_t* const kSoundPairs[] = {u"оа", u"еи", u"ея", u"ия", u"еэ", u"иы", u"бп",
                                       u"вф", u"гк", u"дт", u"жш", u"зс", u"шщ", u"ьъ",
                                       u"цс", u"гв", u"юу", u"ео", u"ёо"};

// The letter keys of the ЙЦУКЕН keyboard, row by row; each row stands half a key to the
// right of the one above.
const char16_t* const kRows[] = {u"йцукенгшщзхъ", u"фывапролджэ", u"ячсмитьбю"};

QChar folded(QChar c) {
    c = c.toLower();
    return c == QChar(u'ё') ? QChar(u'е') : c;
}

bool soundAlike(QChar a, QChar b) {
    for (const char16_t* pair : kSoundPairs)
        if ((a == QChar(pair[0]) && b == QChar(pair[1])) ||
            (a == QChar(pair[1]) && b == QChar(pair[0])))
            return true;
    return false;
}

// Where a letter's key is: row and column, or {-1, -1}.
std::pair<int, int> keyOf(QChar c) {
    for (int row = 0; row < 3; ++row)
        for (int column = 0; kRows[row][column]; ++column)
            if (c == QChar(kRows[row][column])) return {row, column};
    return {-1, -1};
}

bool neighbourKeys(QChar a, QChar b) {
    const auto [ra, ca] = keyOf(a);
    const auto [rb, cb] = keyOf(b);
    if (ra < 0 || rb < 0) return false;
    if (ra == rb) return std::abs(ca - cb) == 1;
    if (std::abs(ra - rb) != 1) return false;
    // The lower row's key k lies below keys k and k + 1 of the row above.
    const int upper = ra < rb ? ca : cb;
    const int lower = ra < rb ? cb : ca;
    return upper == lower || upper == lower + 1;
}

bool isSign(QChar c) {
    return c == QChar(u'ь') || c == QChar(u'ъ');
}

bool isConsonant(QChar c) {
    return c.isLetter() && !QStringLiteral("аеёиоуыэюяйьъ").contains(c);
}

// A consonant that is written but not heard between two others: "лес(т)ница",
// "сер(д)це", "праз(д)ник", "чу(в)ство", "со(л)нце".
bool isSilent(const QString& word, int at) {
    return QStringLiteral("тдвл").contains(word[at]) && at > 0 && at + 1 < word.size() &&
           isConsonant(word[at - 1]) && isConsonant(word[at + 1]);
}

// The cost of a letter at `at` of `word` that the other word lacks.
double lonelyCost(const QString& word, int at) {
    const QChar c = word[at];
    double cost = kOther;
    if ((at > 0 && word[at - 1] == c) || (at + 1 < word.size() && word[at + 1] == c))
        cost = kDoubled;
    else if (isSign(c))
        cost = kSign;
    else if (isSilent(word, at))
        cost = kSound;
    return at == 0 ? cost + kFirstLost : cost;
}

double replacedCost(QChar typed, QChar meant, int at) {
    if (typed == meant) return 0;
    if (soundAlike(typed, meant)) return kSound;
    const double cost = neighbourKeys(typed, meant) ? kKey : kOther;
    return at == 0 ? cost + kFirstKey : cost;
}

QString foldedWord(const QString& word) {
    QString result = word;
    for (QChar& c : result)
        c = folded(c);
    return result;
}

// The word in the case of `model`: capitalized or in capitals as it is.
QString inCaseOf(const QString& word, const QString& model) {
    if (model.size() > 1 && model == model.toUpper()) return word.toUpper();
    if (!model.isEmpty() && model[0].isUpper()) return word.left(1).toUpper() + word.mid(1);
    return word;
}

} // namespace

double slipCost(const QString& typed, const QString& meant) {
    const QString a = foldedWord(typed);
    const QString b = foldedWord(meant);
    const int n = static_cast<int>(a.size());
    const int m = static_cast<int>(b.size());
    std::vector<std::vector<double>> d(n + 1, std::vector<double>(m + 1, 0.0));
    for (int i = 1; i <= n; ++i)
        d[i][0] = d[i - 1][0] + lonelyCost(a, i - 1);
    for (int j = 1; j <= m; ++j)
        d[0][j] = d[0][j - 1] + lonelyCost(b, j - 1);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            double best =
                std::min(d[i - 1][j] + lonelyCost(a, i - 1), d[i][j - 1] + lonelyCost(b, j - 1));
            best = std::min(best, d[i - 1][j - 1] + replacedCost(a[i - 1], b[j - 1], i - 1));
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1] &&
                a[i - 1] != a[i - 2])
                best = std::min(best, d[i - 2][j - 2] + kSwap);
            d[i][j] = best;
        }
    }
    return d[n][m];
}

QStringList likelySlips(const QString& word) {
    const QString lower = word.toLower();
    const int n = static_cast<int>(lower.size());
    QStringList slips;
    for (int i = 0; i < n; ++i) {
        const QChar c = lower[i];
        for (const char16_t* pair : kSoundPairs) {
            const QChar other = c == QChar(pair[0])   ? QChar(pair[1])
                                : c == QChar(pair[1]) ? QChar(pair[0])
                                                      : QChar();
            if (!other.isNull()) slips << QString(lower).replace(i, 1, other);
        }
        if (i + 1 < n && lower[i + 1] == c)
            slips << QString(lower).remove(i, 1);
        else if (c.isLetter())
            slips << QString(lower).insert(i, c);
        if (isSign(c)) slips << QString(lower).remove(i, 1);
        if (isConsonant(c) && (i + 1 == n || !isSign(lower[i + 1])))
            slips << QString(lower).insert(i + 1, QChar(u'ь'));
        if (i > 0 && isConsonant(lower[i - 1]) && isConsonant(c))
            for (const QChar silent : QStringLiteral("тдвл"))
                slips << QString(lower).insert(i, silent);
        if (i + 1 < n && lower[i + 1] != c) {
            QString swapped = lower;
            std::swap(swapped[i], swapped[i + 1]);
            slips << swapped;
        }
    }
    QStringList result;
    QSet<QString> seen{lower};
    for (const QString& slip : slips) {
        if (seen.contains(slip)) continue;
        seen.insert(slip);
        result << inCaseOf(slip, word);
    }
    return result;
}

QStringList likeliestFirst(const QString& typed, QStringList candidates) {
    std::vector<std::pair<double, QString>> ranked;
    ranked.reserve(static_cast<size_t>(candidates.size()));
    for (QString& candidate : candidates)
        ranked.emplace_back(slipCost(typed, candidate), std::move(candidate));
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    QStringList result;
    for (auto& [cost, candidate] : ranked)
        result << std::move(candidate);
    return result;
}

} // namespace spelling
