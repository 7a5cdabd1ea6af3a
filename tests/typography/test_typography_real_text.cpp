// The checks on a real Russian text: the TeX Live guide in Russian as TeX Live installs it
// (UTF-8, babel's shorthands, over 50 pages). Read at test time, never kept here.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <cstdio>

#include "typography/typography_rules.h"
#include "typography/typography_settings.h"
#include "typography_text.h"

using namespace typography;

namespace {

const char* kGuide = "/usr/share/doc/texlive-doc/texlive/texlive-ru/texlive-ru.tex.gz";

QString guide() {
    QProcess gzip;
    gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), QLatin1String(kGuide)});
    if (!gzip.waitForFinished(20000) || gzip.exitCode() != 0) return {};
    return QString::fromUtf8(gzip.readAllStandardOutput());
}

Options guideOptions(const QString& text) {
    return optionsFor(Settings{}, platform::TextEncoding::Utf8, usesBabelDashes(text));
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

struct Plant {
    const char* after; // the line it goes after, inside a paragraph
    const char* line;
    const char* marks; // "text -> fix" each, separated by " | "
};

// Errors of each rule planted into the prose, and into the markup where nothing may be
// marked, each a line of its own in a paragraph of the guide.
const Plant kPlants[] = {
    {"В этом документе описаны основные возможности", "Этот рaздел для Windоws пользователей.",
     "рaздел -> раздел | Windоws -> Windows"},
    {"Насколько мы можем сказать, основные программы",
     "Пакет \"hyperref\" не нужен, \"пакет\" нужен, ``дерево'' тоже.",
     "\" -> « | \" -> » | `` -> « | '' -> »"},
    {"Сообщество пользователей", "Текст \"внешние \"внутренние\" кавычки\" здесь.",
     "\" -> « | \" -> „ | \" -> “ | \" -> »"},
    {"С другой стороны, вы сами тоже", "Установка - это просто, годы 2019-2021 прошли.",
     " -  ->  \"---  | - -> --"},
    {"и то же дерево", "Автор А. С. Пушкин, объём 10 Мб, доля 50 \\%, т. е. немного.",
     "А. С.  -> А.~С.~ | 10 Мб -> 10~Мб | 50 \\% -> 50\\,\\% | т. е. -> т.~е."},
    {"со стандартным дистрибутивом",
     "Кто то скачал что нибудь из за сбоя, всё таки кое где работает.",
     "Кто то -> Кто-то | что нибудь -> что-нибудь | из за -> из-за | всё таки -> всё-таки | "
     "кое где -> кое-где"},
    {"читать и помогать другим.", "Файлы лежат в каталоге.", "в  -> в~"},
    {"В этом документе описаны основные возможности", "% \"пакет\" - кто то, А. С. Пушкин, рaздел",
     ""},
    {"Насколько мы можем сказать, основные программы",
     "$a - b$, $1-5$ \\label{кто то} \\ref{рaздел} \\verb|\"в\" - кто то|", ""},
    {"Сообщество пользователей", "\\begin{verbatim}\n\"в\" - кто то 1-5 т. е.\n\\end{verbatim}",
     ""},
};

TEST(TypographyRealText, EveryPlantedErrorIsMarkedAndNothingInMarkup) {
    const QString text = guide();
    if (text.isEmpty()) GTEST_SKIP() << kGuide << " is not installed";
    const Options options = guideOptions(text);
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
    size_t expected = 1519;
    for (const auto& [line, plant] : planted) {
        QStringList found;
        for (qsizetype i = line; i <= line + QString::fromUtf8(plant->line).count(u'\n'); ++i)
            for (const Mark& mark : marks[static_cast<size_t>(i)])
                found << lines[i].mid(mark.range.start, mark.range.length) +
                             QStringLiteral(" -> ") + mark.fix;
        EXPECT_EQ(found.join(QStringLiteral(" | ")).toStdString(), plant->marks) << plant->line;
        expected += static_cast<size_t>(found.size());
    }
    EXPECT_EQ(total, expected); // the guide's own marks stay as they were
    EXPECT_TRUE(support::sameMarkup(withPlants, support::fixedText(withPlants, options)));
}

} // namespace
