#pragma once
// Decides whether a word is spelt right: the Russian dictionary, the words the user took
// (the personal dictionary, "Пропустить все" for the session) and the common abbreviations
// before a period ("т. е.", "см.", "рис."). The dictionary's answers are remembered: a text
// repeats its words, and asking the dictionary costs far more than a lookup.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

#include "spelling/russian_dictionary.h"
#include "spelling/word_scanner.h"

namespace spelling {

class Speller {
  public:
    static constexpr int kMaxSuggestions = 7;
    // How many of the dictionary's suggestions are ranked before the first seven are taken.
    static constexpr int kCandidates = 30;
    // No Russian word is longer; a longer run of letters is unknown without asking.
    static constexpr int kLongestWord = 60;

    explicit Speller(std::shared_ptr<const RussianDictionary> dictionary);

    bool isKnown(const Word& word);
    // At most kMaxSuggestions, the likeliest correction first (suggestion_order.h).
    QStringList suggestions(const QString& word) const;
    // A word the user took is never flagged again, in the forms the dictionary would allow
    // a word of its case: "интеграл" also as "Интеграл" and "ИНТЕГРАЛ", "Петров" also as
    // "ПЕТРОВ".
    void accept(const QString& word);

  private:
    std::shared_ptr<const RussianDictionary> dictionary_;
    QHash<QString, bool> answers_;
    QSet<QString> accepted_;
};

} // namespace spelling
