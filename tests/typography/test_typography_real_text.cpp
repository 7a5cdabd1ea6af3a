// The checks on real Russian texts as TeX Live installs them, read at test time and never
// kept here: the MetaPost manual in Russian (KOI8-R, 106 pages), where errors of every rule
// are planted, and the TeX Live guide in Russian (UTF-8, babel's shorthands, 46 pages).
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cstdio>

#include "platform/text_encoding.h"
#include "typography/typography_rules.h"
#include "typography/typography_settings.h"
#include "typography_text.h"

using namespace typography;

namespace {

const char* kGuide = "/usr/share/doc/texlive-doc/texlive/texlive-ru/texlive-ru.tex.gz";
const char* kManual = "/usr/share/doc/texlive-doc/metapost/mpman-ru/mpman-ru.tex.gz";

// A gzipped file of TeX Live's, decoded from its encoding; empty when not installed.
QString installed(const char* path, platform::TextEncoding encoding) {
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), QLatin1String(path)});
    if (!gzip.waitForFinished(20000) || gzip.exitCode() != 0) return {};
    const QByteArray bytes = gzip.readAllStandardOutput();
    return platform::decodeText(std::string_view(bytes.constData(), bytes.size()), encoding)
        .decoded.text;
}

QString guide() {
    return installed(kGuide, platform::TextEncoding::Utf8);
}

Options optionsOf(const QString& text, platform::TextEncoding encoding) {
    return optionsFor(Settings{}, encoding, usesBabelDashes(text));
}

Options guideOptions(const QString& text) {
    return optionsOf(text, platform::TextEncoding::Utf8);
}

// "line: text -> fix (rule)" for every mark.
QStringList listed(const QString& text, const Options& options) {
    const QStringList lines = text.split(u'\n');
    const auto marks = support::marksOfText(text, options);
    QStringList list;
    for (size_t i = 0; i < marks.size(); ++i)
        for (const Mark& mark : marks[i])
            list << QStringLiteral("%1: [%2] -> [%3] (%4)")
                        .arg(i + 1)
                        .arg(lines[static_cast<qsizetype>(i)].mid(mark.range.start,
                                                                  mark.range.length),
                             mark.fix, ruleName(mark.rule));
    return list;
}

// The guide as installed has 1,519 marks, each judged a real fault: one-letter words left
// loose at a space (1,286) or a line break (201), "т.д.", "т.е.", "т.п." without a tie (30),
// and two Russian words with a Latin look-alike ("приведeн", "Сташекa"). It uses babel's
// "--- throughout, and no straight quotes in its prose. The false marks it once had (Russian
// endings on Latin names, "\texttt{"}", an ending after "\code{...}") are no more.
TEST(TypographyRealText, TheGuideAsItIs) {
    const QString text = guide();
    if (text.isEmpty()) GTEST_SKIP() << kGuide << " is not installed";
    const Options options = guideOptions(text);
    EXPECT_TRUE(options.babelDashes);
    const QStringList marks = listed(text, options);
    if (qEnvironmentVariableIsSet("KOLBAX_LIST_MARKS"))
        for (const QString& mark : marks)
            std::printf("%s\n", mark.toUtf8().constData());
    EXPECT_EQ(marks.size(), 1519);
    EXPECT_EQ(marks.filter(QStringLiteral("(Неразрывные пробелы)")).size(), 1517);
    EXPECT_EQ(marks.filter(QStringLiteral("(Буквы двух алфавитов в слове)")).size(), 2);
    EXPECT_TRUE(support::sameMarkup(text, support::fixedText(text, options)));
}

QString manual() {
    return installed(kManual, platform::TextEncoding::Koi8r);
}

// The manual as installed has 1,686 marks, each judged a real fault: one-letter words left
// loose at a space (1,606) or a line break (10), one "т.е." without a tie, 67 English
// quotes ``...'' around Russian text, a number range "0-9" and a spaced "--" for a dash.
// The false marks it once had were quotes around verbatim text or signs ("``\verb|>>|''",
// "``--''", "``(0,0)''"): a quote now looks for Russian only in the prose up to the next
// quote.
TEST(TypographyRealText, TheMetaPostManualAsItIs) {
    const QString text = manual();
    if (text.isEmpty()) GTEST_SKIP() << kManual << " is not installed";
    const Options options = optionsOf(text, platform::TextEncoding::Koi8r);
    EXPECT_FALSE(options.babelDashes);
    const QStringList marks = listed(text, options);
    if (qEnvironmentVariableIsSet("KOLBAX_LIST_MARKS"))
        for (const QString& mark : marks)
            std::printf("%s\n", mark.toUtf8().constData());
    EXPECT_EQ(marks.size(), 1686);
    EXPECT_EQ(marks.filter(QStringLiteral("(Кавычки)")).size(), 67);
    EXPECT_EQ(marks.filter(QStringLiteral("(Тире и диапазоны чисел)")).size(), 2);
    EXPECT_TRUE(support::sameMarkup(text, support::fixedText(text, options)));
}

struct Plant {
    const char* after; // the line it goes after, inside a paragraph
    const char* line;
    const char* marks; // "text -> fix" each, separated by " | "
};

// Errors of each rule planted into the prose, and into the markup where nothing may be
// marked, each a line of its own in a paragraph of the guide.
const char* kAnchor1 = "Таким образом существуют различные пары";
const char* kAnchor2 = "Таким образом, {\\tt a=a+1} приведет";

const Plant kPlants[] = {
    {kAnchor1, "Этот рaздел для Windоws пользователей.", "рaздел -> раздел | Windоws -> Windows"},
    {kAnchor1, "Пакет \"hyperref\" не нужен, \"пакет\" нужен, ``дерево'' тоже.",
     "\" -> << | \" -> >> | `` -> << | '' -> >>"},
    {kAnchor1, "Текст \"внешние \"внутренние\" кавычки\" здесь.",
     "\" -> << | \" -> ,, | \" -> '' | \" -> >>"},
    {kAnchor1, "Установка - это просто, годы 2019-2021 прошли.", " -  -> ~---  | - -> --"},
    {kAnchor2, "Автор А. С. Пушкин, объём 10 Мб, доля 50 \\%, т. е. немного.",
     "А. С.  -> А.~С.~ | 10 Мб -> 10~Мб | 50 \\% -> 50\\,\\% | т. е. -> т.~е."},
    {kAnchor2, "Кто то скачал что нибудь из за сбоя, всё таки кое где работает.",
     "Кто то -> Кто-то | что нибудь -> что-нибудь | из за -> из-за | всё таки -> всё-таки | "
     "кое где -> кое-где"},
    {kAnchor2, "Файлы лежат в каталоге.", "в  -> в~"},
    {kAnchor1, "% \"пакет\" - кто то, А. С. Пушкин, рaздел", ""},
    {kAnchor2, "$a - b$, $1-5$ \\label{кто то} \\ref{рaздел} \\verb|\"в\" - кто то|", ""},
    {kAnchor1, "\\begin{verbatim}\n\"в\" - кто то 1-5 т. е.\n\\end{verbatim}", ""},
};

TEST(TypographyRealText, EveryPlantedErrorIsMarkedAndNothingInMarkup) {
    const QString text = manual();
    if (text.isEmpty()) GTEST_SKIP() << kManual << " is not installed";
    const Options options = optionsOf(text, platform::TextEncoding::Koi8r);
    QStringList lines = text.split(u'\n');
    std::vector<std::pair<qsizetype, const Plant*>> planted; // the line each went in
    for (const Plant& plant : kPlants) {
        qsizetype after = 0;
        while (after < lines.size() && !lines[after].startsWith(QString::fromUtf8(plant.after)))
            ++after;
        ASSERT_LT(after, lines.size()) << plant.after;
        const QStringList added = QString::fromUtf8(plant.line).split(u'\n');
        for (auto& [line, other] : planted)
            if (line > after) line += added.size();
        for (qsizetype i = 0; i < added.size(); ++i)
            lines.insert(after + 1 + i, added[i]);
        planted.emplace_back(after + 1, &plant);
    }
    const QString withPlants = lines.join(u'\n');
    const auto marks = support::marksOfText(withPlants, options);
    size_t total = 0;
    for (const auto& lineMarks : marks)
        total += lineMarks.size();
    size_t expected = 1686;
    for (const auto& [line, plant] : planted) {
        QStringList found;
        for (qsizetype i = line; i <= line + QString::fromUtf8(plant->line).count(u'\n'); ++i)
            for (const Mark& mark : marks[static_cast<size_t>(i)])
                found << lines[i].mid(mark.range.start, mark.range.length) +
                             QStringLiteral(" -> ") + mark.fix;
        EXPECT_EQ(found.join(QStringLiteral(" | ")).toStdString(), plant->marks) << plant->line;
        expected += static_cast<size_t>(found.size());
    }
    EXPECT_EQ(total, expected); // the manual's own marks stay as they were
    EXPECT_TRUE(support::sameMarkup(withPlants, support::fixedText(withPlants, options)));
}

} // namespace
