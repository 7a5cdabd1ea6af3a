#pragma once
// The order of a misspelt word's suggestions: the likeliest correction first. A Russian
// writer's slips are mostly of sound (an unstressed vowel, "превет" for "привет"; a voiced
// consonant for a voiceless one, "сдесь" for "здесь"), of a doubled or undoubled letter, a
// soft or hard sign, a key beside the right one on the ЙЦУКЕН keyboard, or two letters
// swapped; the first letter of a word is rarely lost. Each costs less than any other edit.
// (No Debian package ships a frequency list of Russian words, so likeness alone ranks.)
#include <QString>
#include <QStringList>

namespace spelling {

// How unlikely it is that one who meant `meant` typed `typed`: an edit distance whose
// steps cost less the likelier the slip. Letter case is ignored.
double slipCost(const QString& typed, const QString& meant);

// Words one likely slip away from `word` (a letter of like sound, a doubled or undoubled
// letter, a soft or hard sign, two neighbours swapped), in its case; the dictionary decides
// which of them are words.
QStringList likelySlips(const QString& word);

// The candidates, likeliest first; those equally likely keep their order.
QStringList likeliestFirst(const QString& typed, QStringList candidates);

} // namespace spelling
