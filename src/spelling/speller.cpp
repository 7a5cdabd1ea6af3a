#include "spelling/speller.h"

#include "spelling/suggestion_order.h"

namespace spelling {
namespace {

// Abbreviations of Russian scientific prose, taken when a period follows them; the
// dictionary has no abbreviations. Any one letter before a period is one too, or an initial:
// "т.~е.", "т.~ч.", "н.~э.", "к.~ф.-м.~н.", "А.~С.~Пушкин".
bool isAbbreviation(const QString& word) {
    static const QSet<QString> abbreviations = [] {
        QSet<QString> set;
        for (const char* a :
             {"см",   "ср",   "рис",  "стр",   "гл",    "разд", "др",   "пр",    "проч", "им",
              "гг",   "вв",   "тыс",  "млн",   "млрд",  "табл", "напр", "ред",   "изд",  "прим",
              "сб",   "акад", "проф", "доц",   "ок",    "прил", "вып",  "кн",    "ст",   "пп",
              "гос",  "зав",  "каф",  "канд",  "докт",  "техн", "физ",  "мат",   "наук", "англ",
              "лат",  "греч", "нем",  "франц", "рус",   "букв", "сокр", "перев", "цит",  "соч",
              "указ", "экз",  "ул",   "обл",   "руб",   "коп",  "мин",  "сек",   "кв",   "куб",
              "ед",   "мн",   "числ", "уравн", "опр",   "теор", "сл",   "лаб",   "отд",  "фак",
              "мес",  "нед",  "яз",   "филос", "истор", "экон", "хим",  "биол",  "геогр"})
            set.insert(QString::fromUtf8(a));
        return set;
    }();
    return word.size() == 1 || abbreviations.contains(word.toLower());
}

// An acronym of capitals ("ФИО", "ВАК", "СССР", "ГОСТ"); a longer word in capitals, as a
// heading is typed, is checked.
bool isAcronym(const QString& word) {
    return word.size() >= 2 && word.size() <= 4 && word == word.toUpper() && !word.contains(u'-');
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
    if ((word.beforePeriod && isAbbreviation(text)) || isAcronym(text)) return true;
    auto answer = answers_.constFind(text);
    if (answer == answers_.constEnd()) answer = answers_.insert(text, dictionary_->spell(text));
    return *answer;
}

QStringList Speller::suggestions(const QString& word) const {
    if (word.size() > kLongestWord) return {};
    // The dictionary's own, and the words one likely slip away that it knows, likeliest first.
    QStringList candidates = dictionary_->suggest(word, kCandidates);
    for (const QString& slip : likelySlips(word))
        if (!candidates.contains(slip) && dictionary_->spell(slip)) candidates << slip;
    candidates = likeliestFirst(word, std::move(candidates));
    if (candidates.size() > kMaxSuggestions) candidates.resize(kMaxSuggestions);
    return candidates;
}

void Speller::accept(const QString& word) {
    accepted_.insert(word);
    accepted_.insert(word.toUpper());
    if (word == word.toLower()) accepted_.insert(capitalized(word));
}

} // namespace spelling
