#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <utility>

#include "spelling/russian_dictionary.h"
#include "spelling/speller.h"

using namespace spelling;

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// Debian's Russian dictionary, read once for the whole program.
std::shared_ptr<const RussianDictionary> installed() {
    const QString aff = findRussianDictionary({QStringLiteral("/usr/share/hunspell")});
    if (aff.isEmpty()) return nullptr;
    return loadDictionary(aff).get().dictionary;
}

#define NEED_DICTIONARY()                                                                          \
    if (!installed()) GTEST_SKIP() << "hunspell-ru is not installed"

Word word(const char* text, bool beforePeriod = false) {
    return Word{{0, 0}, u(text), beforePeriod};
}

TEST(Speller, AnswersAsTheDictionaryAllows) {
    NEED_DICTIONARY();
    Speller speller(installed());
    for (const char* known :
         {"пример", "Пример", "ПРИМЕР", "кто-то", "из-за", "ёж", "еж", "ещё", "еще", "всё-таки"})
        EXPECT_TRUE(speller.isKnown(word(known))) << known;
    for (const char* unknown : {"примерр", "пРимер", "теоремма", "кто-тоо", "т"})
        EXPECT_FALSE(speller.isKnown(word(unknown))) << unknown;
    // The abbreviations of scientific prose, before their period only.
    EXPECT_TRUE(speller.isKnown(word("т", true)));
    EXPECT_TRUE(speller.isKnown(word("Рис", true)));
    EXPECT_FALSE(speller.isKnown(word("примерр", true)));
    // A run of letters longer than any word is not handed to the dictionary.
    EXPECT_FALSE(speller.isKnown(Word{{}, QString(200, QChar(0x0430)), false}));
    EXPECT_TRUE(speller.suggestions(QString(200, QChar(0x0430))).isEmpty());
}

TEST(Speller, SuggestsAtMostSevenAndTakesTheUsersWordsInTheirCases) {
    NEED_DICTIONARY();
    Speller speller(installed());
    const QStringList suggestions = speller.suggestions(u("превет"));
    EXPECT_TRUE(suggestions.contains(u("привет"))) << suggestions.join(u' ').toStdString();
    EXPECT_LE(suggestions.size(), Speller::kMaxSuggestions);

    speller.accept(u("кукарямба"));
    speller.accept(u("Петрофф"));
    for (const char* known : {"кукарямба", "Кукарямба", "КУКАРЯМБА", "Петрофф", "ПЕТРОФФ"})
        EXPECT_TRUE(speller.isKnown(word(known))) << known;
    EXPECT_FALSE(speller.isKnown(word("петрофф")));
    EXPECT_FALSE(speller.isKnown(word("кУкарямба")));
}

// Common Russian typos (texts/typos.txt): the right word comes first for nine in ten at
// least, for each of the typos users reported, and in the typo's case.
TEST(Speller, TheLikeliestCorrectionOfCommonTyposComesFirst) {
    NEED_DICTIONARY();
    Speller speller(installed());
    QFile file(QStringLiteral(KOLBAX_SPELLING_TEXTS "/typos.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    int pairs = 0;
    int first = 0;
    QStringList misses;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QStringList pair = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        if (pair.size() != 2 || pair[0].startsWith(u'#')) continue;
        ++pairs;
        EXPECT_FALSE(speller.isKnown(word(pair[0].toUtf8().constData()))) << line.constData();
        EXPECT_TRUE(speller.isKnown(word(pair[1].toUtf8().constData()))) << line.constData();
        const QStringList suggestions = speller.suggestions(pair[0]);
        if (!suggestions.isEmpty() && suggestions[0] == pair[1])
            ++first;
        else
            misses << pair[0] + u'>' + suggestions.join(u',');
    }
    std::printf("right word first for %d of %d typos\n", first, pairs);
    EXPECT_GE(pairs, 50);
    EXPECT_GE(first * 10, pairs * 9) << misses.join(u' ').toStdString();
    for (const auto& [typo, meant] :
         {std::pair{"Превет", "Привет"}, std::pair{"сдесь", "здесь"},
          std::pair{"зделать", "сделать"}, std::pair{"ришение", "решение"},
          std::pair{"ПРЕВЕТ", "ПРИВЕТ"}, std::pair{"Сдесь", "Здесь"}})
        EXPECT_EQ(speller.suggestions(u(typo)).value(0), u(meant)) << typo;
}

// Writes a dictionary of two files into a folder.
QString writeDictionary(const QDir& folder, const char* name, const QByteArray& aff,
                        const QByteArray& dic) {
    for (const auto& [extension, bytes] : {std::pair{".aff", aff}, std::pair{".dic", dic}}) {
        QFile file(folder.filePath(QLatin1String(name) + QLatin1String(extension)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    return folder.filePath(QLatin1String(name) + QLatin1String(".aff"));
}

TEST(RussianDictionary, ADictionaryThatCannotBeReadIsAnErrorNotACrash) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const struct {
        const char* name;
        QByteArray aff;
        QByteArray dic;
    } broken[] = {
        {"empty", "", ""},
        {"english", "SET UTF-8\n", "2\nhello\nworld\n"},
        {"binary", QByteArray("\x00\xff\xfe\x01SFX", 8), QByteArray(4096, '\xff')},
        {"huge_count", "SET UTF-8\n", "999999999999999\nи\n"},
        {"bad_affix", "SET UTF-8\nSFX A Y 99999\nSFX A 0 ы .\n", "1\nи/A\n"},
    };
    for (const auto& b : broken) {
        const QString aff = writeDictionary(folder, b.name, b.aff, b.dic);
        const LoadedDictionary loaded = loadDictionary(aff).get();
        EXPECT_FALSE(loaded.dictionary) << b.name;
        EXPECT_FALSE(loaded.error.isEmpty()) << b.name;
    }
    EXPECT_FALSE(loadDictionary(folder.filePath(QStringLiteral("missing.aff"))).get().dictionary);
}

TEST(RussianDictionary, IsFoundWhereTheFoldersSayAndReadOncePerPath) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const QString plain = writeDictionary(folder, "ru", "SET UTF-8\n", "3\nи\nчто\nбыть\n");
    EXPECT_EQ(findRussianDictionary({QStringLiteral("/nonexistent"), dir.path()}), plain);
    const QString regional = writeDictionary(folder, "ru_RU", "SET UTF-8\n", "3\nи\nчто\nбыть\n");
    EXPECT_EQ(findRussianDictionary({dir.path()}), regional);
    // A .aff without its .dic is no dictionary.
    QFile::remove(folder.filePath(QStringLiteral("ru_RU.dic")));
    QFile::remove(folder.filePath(QStringLiteral("ru.dic")));
    EXPECT_TRUE(findRussianDictionary({dir.path()}).isEmpty());

    const QString aff = writeDictionary(folder, "ru_RU", "SET UTF-8\n", "3\nи\nчто\nбыть\n");
    const auto first = loadDictionary(aff).get().dictionary;
    ASSERT_TRUE(first);
    EXPECT_EQ(loadDictionary(aff).get().dictionary, first);
    EXPECT_TRUE(first->spell(u("что")));
    EXPECT_FALSE(first->spell(u("когда")));

    qputenv("KOLBAX_DICPATH", "/one:/two");
    EXPECT_EQ(dictionaryFolders(), (QStringList{QStringLiteral("/one"), QStringLiteral("/two")}));
    qunsetenv("KOLBAX_DICPATH");
    EXPECT_TRUE(dictionaryFolders().contains(QStringLiteral("/usr/share/hunspell")));
}

} // namespace
