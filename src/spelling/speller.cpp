#include "spelling/speller.h"

namespace spelling {
namespace {

// Abbreviations of Russian scientific prose, taken when a period follows them; the
// dictionary has no abbreviations.
bool isAbbreviation(const QString& word) {
    static const QSet<QString> abbreviations = [] {
        QSet<QString> set;
        for (const char* a :
             {"т",    "е",    "д",    "п",   "к",   "н",    "см", "ср",   "рис",  "стр",
              "гл",   "разд", "др",   "пр",  "им",  "г",    "гг", "вв",   "тыс",  "млн",
              "млрд", "табл", "напр", "ред", "изд", "прим", "сб", "акад", "проф", "доц"})
            set.insert(QString::fromUtf8(a));
        return set;
    }();
    return abbreviations.contains(word.toLower());
}

QString capitalized(const QString& word) {
    return word.left(1).toUpper() + word.mid(1);
}

} // namespace

Speller::Speller(std::shared_ptr<const RussianDictionary> dictionary)
    : dictionary_(std::move(dictionary)) {}

bool Speller::isKnown(const Word& word) {
    const QString& text = word.text;
    if (text.size() > kLongestWord) return false;
    if (accepted_.contains(text)) return true;
    if (word.beforePeriod && isAbbreviation(text)) return true;
    auto answer = answers_.constFind(text);
    if (answer == answers_.constEnd()) answer = answers_.insert(text, dictionary_->spell(text));
    return *answer;
}

QStringList Speller::suggestions(const QString& word) const {
    if (word.size() > kLongestWord) return {};
    return dictionary_->suggest(word, kMaxSuggestions);
}

void Speller::accept(const QString& word) {
    accepted_.insert(word);
    accepted_.insert(word.toUpper());
    if (word == word.toLower()) accepted_.insert(capitalized(word));
}

} // namespace spelling
