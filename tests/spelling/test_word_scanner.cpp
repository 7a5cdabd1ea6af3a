#include <gtest/gtest.h>

#include <QStringList>

#include "platform/tex_characters.h"
#include "spelling/word_scanner.h"

using spelling::wordsOf;

namespace {

// A line split into runs as the view of a TeX file splits it: a Russian letter opens a
// Cyrillic run, a character of markup a Latin one, anything else stays in the run open.
platform::TextLine viewLine(const QString& text) {
    platform::TextLine line{text, {}};
    bool latin = true;
    for (const QChar c : text) {
        if (spelling::isCyrillicLetter(c))
            latin = false;
        else if (c.unicode() < 128 &&
                 platform::kTexMarkupLetters.find(char(c.unicode())) != std::string_view::npos)
            latin = true;
        line.latin.push_back(latin);
    }
    return line;
}

QStringList wordTexts(const platform::TextLine& line) {
    QStringList texts;
    for (const spelling::Word& word : wordsOf(line))
        texts << word.text;
    return texts;
}

struct Case {
    const char* line;
    const char* words; // the words checked, separated by blanks
};

TEST(WordScanner, ReadsTheProseOfALineOnly) {
    const Case cases[] = {
        {"Пусть дана функция, непрерывная на отрезке", "Пусть дана функция непрерывная на отрезке"},
        {"Теорема~\\ref{лемма-1} доказана", "Теорема доказана"},
        {"\\label{теор:главная}Текст \\cite[с.~5]{Иванов}.", "Текст"},
        {"\\begin{теорема}[Пифагор] Текст \\end{теорема}", "Текст"},
        {"Текст % комментарий до конца", "Текст"},
        {"Скидка 5\\% всем", "Скидка всем"},
        {"Строка\\\\% а это комментарий", "Строка"},
        {"Пусть $x_{макс}$ и $$\\text{где}$$ дано", "Пусть и дано"},
        {"\\(а\\) и \\[б\\] в", "и в"},
        {"цена \\$5 и $y$ есть", "цена и есть"},
        {"кто-то из-за кое-что", "кто-то из-за кое-что"},
        {"кто--то и кто---то", "кто то и кто то"},
        {"при\\-мер и при\"-мер и при\"\"мер", "пример и пример и пример"},
        {"кто\"~то и кто\"=то", "кто-то и кто-то"},
        {"5-й раз, n-мерный и 2D-графика, \\TeXовский", "раз и"},
        {"\u00ABкавычки\u00BB и \u00ABёлка\u00BB", "кавычки и ёлка"},
    };
    for (const Case& c : cases) {
        const QStringList expected = QString::fromUtf8(c.words).split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(wordTexts(viewLine(QString::fromUtf8(c.line))), expected) << c.line;
    }
}

// The words of a text of several lines, each line read from the state the one before left.
QStringList documentWords(const char* utf8) {
    QStringList texts;
    spelling::ScanState state;
    for (const QString& line : QString::fromUtf8(utf8).split(u'\n')) {
        for (const spelling::Word& word : wordsOf(viewLine(line), state))
            texts << word.text;
        EXPECT_EQ(spelling::ScanState::unpack(state.pack()), state) << line.toStdString();
    }
    return texts;
}

TEST(WordScanner, MathematicsVerbatimAndNamingArgumentsSpanLines) {
    const Case cases[] = {
        {"Пусть $a+b=\nc$ и ошыбкаа формулы.", "Пусть и ошыбкаа формулы"},
        {"Итак \\(a+\nб\\) и \\[\nв\n\\] и $$\nг\n$$ конец", "Итак и и конец"},
        {"\\begin{equation}\n а = б\n\\end{equation} и \\begin{align*}\nx &= \\text{при}\n"
         "\\end{align*} конец",
         "и конец"},
        {"Цена $5 без пары\n\nновый абзац", "Цена новый абзац"},
        {"$$\\begin{tabular}{ll}\nимя & слово\n\\end{tabular}$$ после", "имя слово после"},
        {"$$\\begin{verbatim}\nкод\n\n\\end{verbatim}\nформула$$ текст", "текст"},
        {"\\begin{verbatim}\nпревет\n\n\\end{verbatim} конец", "конец"},
        {"\\begin{lstlisting}[caption={Код}]\nвывод\n\\end{lstlisting}", ""},
        {"см. \\verb|превет| и \\verb*+ошыбка+ и \\lstinline{жжж} тут", "см и и тут"},
        {"знак |$| в именах %$\nфайлов", "знак файлов"},
        {"\\hyphenation{ма-те-ма-ти-ка\nфи-зи-ка}\nтекст", "текст"},
        {"\\lstset{language=C,\n  literate={а}{{\\char224}}1 {ёж}{x}1,\n}\nтекст", "текст"},
    };
    for (const Case& c : cases) {
        const QStringList expected = QString::fromUtf8(c.words).split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(documentWords(c.line), expected) << c.line;
    }
}

TEST(WordScanner, ShortGroupsEndingsAndStressesAreNoWordsOfTheirOwn) {
    const Case cases[] = {
        {"\\formbytotal{TotPages}{страниц}{у}{ы}{} и \\custom{TotPages}{лист}{ов}{а}", "и лист"},
        {"literate={б}{{\\selectfont\\char225}}1 {вв}{x}1", ""},
        {"\\textbf{ы} и \\emph{да}, \\section*{Я}", "ы и да Я"},
        {"сло\u0301во и сл\\'ово", "слово и слово"},
        {"в \\XeTeX е и \\LaTeX{}овский, \\item Текст", "в и Текст"},
        {"$i$-й и \\(n\\)-мерный", "и"},
    };
    for (const Case& c : cases) {
        const QStringList expected = QString::fromUtf8(c.words).split(u' ', Qt::SkipEmptyParts);
        EXPECT_EQ(documentWords(c.line), expected) << c.line;
    }
}

TEST(WordScanner, RangesCoverTheHintsAndPeriodsFollowAbbreviations) {
    const std::vector<spelling::Word> words =
        wordsOf(viewLine(QString::fromUtf8("при\\-мер, т.~е. см")));
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].range, (platform::LineRange{0, 8}));
    EXPECT_FALSE(words[0].beforePeriod);
    EXPECT_TRUE(words[1].beforePeriod);
    EXPECT_TRUE(words[2].beforePeriod);
    EXPECT_FALSE(words[3].beforePeriod);
}

TEST(WordScanner, LettersOfALatinRunAreMarkup) {
    // Russian letters pasted or loaded in a Latin run: no word there, nor half of one.
    platform::TextLine line{QString::fromUtf8("слово смесь"), std::vector<bool>(11, false)};
    for (int i = 6; i < 8; ++i)
        line.latin[i] = true;
    EXPECT_EQ(wordTexts(line), QStringList{QString::fromUtf8("слово")});
    line.latin.pop_back(); // flags that do not match the text are no line at all
    EXPECT_TRUE(wordsOf(line).empty());
}

} // namespace
