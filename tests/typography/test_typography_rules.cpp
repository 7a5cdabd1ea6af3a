#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>

#include "platform/text_encoding.h"
#include "typography/typography_rules.h"
#include "typography/typography_settings.h"
#include "typography_text.h"

using namespace typography;

namespace {

Options withGuillemets() {
    Options options;
    options.guillemets = true;
    return options;
}
Options withThinInitials() {
    Options options;
    options.thinInitials = true;
    return options;
}
Options withBabelDashes() {
    Options options;
    options.babelDashes = true;
    return options;
}

struct Case {
    const char* text; // lines separated by "\n"
    const char* fixed;
    Options options = {};
};

TEST(TypographyRules, FixesWhatEachRuleMarksAndNothingElse) {
    const Case cases[] = {
        // mixed scripts
        {"cлово, Windоws", "слово, Windows"},
        {"\\textbf{cлово}", "\\textbf{слово}"},
        {"\\label{cлово} $cлово$ % cлово", "\\label{cлово} $cлово$ % cлово"},
        {"pH раствора, Zжук, Unixе, PostScriptа, Сташекa",
         "pH раствора, Zжук, Unixе, PostScriptа, Сташека"},
        // quotes
        {"Он сказал \"привет\" мне", "Он сказал <<привет>> мне"},
        {"Он сказал \"привет\" мне", "Он сказал «привет» мне", withGuillemets()},
        {"``текст'' и „текст“", "<<текст>> и~<<текст>>"},
        {"\"один \"два\" три\"", "<<один ,,два'' три>>"},
        {"\"один \"два\" три\"", "«один „два“ три»", withGuillemets()},
        {"<<один ,,два'' три>> «а»", "<<один ,,два'' три>> «а»"},
        {"выдаёт ``\\verb|>>|'', а значения ``--''.", "выдаёт ``\\verb|>>|'', а~значения ``--''."},
        {"say \"hello\" and ``bye''; кавычки (\\texttt{\"}) удаляются",
         "say \"hello\" and ``bye''; кавычки (\\texttt{\"}) удаляются"},
        {"слово \"--- слово \"<текст\">", "слово \"--- слово \"<текст\">"},
        {"Он сказал \"при\nвет\" мне", "Он сказал <<при\nвет>> мне"},
        {"\"один\n\n\"два\"", "<<один\n\n<<два>>"}, // a paragraph ends what it left open
        // dashes
        {"слово - слово -- слово", "слово~--- слово~--- слово"},
        {"слово - слово", "слово \"--- слово", withBabelDashes()},
        {"годы 1941-1945, с. 10-15", "годы 1941--1945, с. 10--15"},
        {"ГОСТ 7.32-2001, 978-5-9, кто-то, 5-й, слово --- слово",
         "ГОСТ 7.32-2001, 978-5-9, кто-то, 5-й, слово --- слово"},
        {"$a - b$ и $1-5$", "$a - b$ и~$1-5$"},
        {"слово -\nслово", "слово~---\nслово"},
        // non-breaking spaces
        {"Я и ты в лесу", "Я~и~ты в~лесу"},
        {"пришёл в\nлес", "пришёл в~%\nлес"},
        {"А. С. Пушкин и А.С.Пушкин", "А.~С.~Пушкин и~А.~С.~Пушкин"},
        {"А. С. Пушкин", "А.\\,С.~Пушкин", withThinInitials()},
        {"Пушкин А. С., А.~С.~Пушкин", "Пушкин~А.~С., А.~С.~Пушкин"},
        {"Автор А. С. Пушкин, \\code{dvi}а в", "Автор А.~С.~Пушкин, \\code{dvi}а в~%"},
        {"т. е. так, т.д. и т. п.", "т.~е. так, т.~д. и~т.~п."},
        {"5 кг и 10 \\% и 3,5 км", "5~кг и~10\\,\\% и~3,5~км"},
        // hyphen particles
        {"кто то где нибудь Из за кое как всё таки", "кто-то где-нибудь Из-за кое-как всё-таки"},
        {"из дома, то есть", "из дома, то есть"},
        // never the markup
        {"\\begin{verbatim}\n\"в\" лесу - кто то\n\\end{verbatim}",
         "\\begin{verbatim}\n\"в\" лесу - кто то\n\\end{verbatim}"},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(support::fixedText(text, c.options).toStdString(), c.fixed) << c.text;
    }
}

TEST(TypographyRules, SwitchedOffRulesMarkNothing) {
    Options none;
    none.rules.fill(false);
    const QString text = QString::fromUtf8("cлово \"в\" лесу - кто то 1-5 т. е.");
    EXPECT_EQ(support::fixedText(text, none), text);
}

TEST(TypographyRules, BadInputStaysQuickAndRight) {
    const QString word = QString(10000, QChar(u'ж')) + u'c';
    const QString cases[] = {
        QString(1000000, u'"'),
        QString::fromUtf8("\"а").repeated(500000),
        QString::fromUtf8(" - ").repeated(333333),
        QString::fromUtf8("слово -- ").repeated(100000),
        QString::fromUtf8("\"а \"б \"в \"г слово").repeated(10000), // never closed
        QString::fromUtf8("в лесу т. е. 1-5 ").repeated(50000),
        word,
    };
    for (const QString& text : cases) {
        QElapsedTimer timer;
        timer.start();
        const QString fixed = support::fixedText(text, {});
        // Linear, even under the sanitizers.
        EXPECT_LT(timer.elapsed(), 10000) << text.left(20).toStdString();
        EXPECT_TRUE(support::sameMarkup(text, fixed)) << text.left(20).toStdString();
    }
    EXPECT_EQ(support::fixedText(word, {}), QString(10001, QChar(u'ж')).replace(10000, 1, u'с'));
}

TEST(TypographyRules, FixesHoldInTheDocumentsEncoding) {
    const QString text = QString::fromUtf8(
        "\"один \"два\" три\" - cлово, А. С. Пушкин, 5 кг, т. е. кто то Windоws\n");
    for (const platform::Encoding& encoding : platform::encodings()) {
        for (const bool guillemets : {false, true}) {
            Settings settings;
            settings.guillemets = guillemets;
            const QString fixed =
                support::fixedText(text, optionsFor(settings, encoding.id, false));
            EXPECT_NE(fixed, text);
            EXPECT_FALSE(platform::firstUnheldCharacter(fixed, encoding.id))
                << encoding.name << " " << fixed.toStdString();
        }
    }
}

TEST(TypographyRules, SettingsComeBackAsWritten) {
    Settings settings;
    settings.rules[2] = false;
    settings.guillemets = false;
    settings.thinInitials = true;
    const QString path = support::temporaryFile(QByteArray::fromStdString(settings.text()));
    EXPECT_EQ(Settings::read(path), settings);
    EXPECT_EQ(Settings::read(support::temporaryFile("rules=1\nnonsense\n")), Settings{});
}

TEST(TypographyRules, LineStatePacksBothParts) {
    LineState state;
    state.scan.math = spelling::ScanState::Math::Environment;
    state.scan.outerEnvironment = 15;
    state.quotes = 3;
    EXPECT_GE(state.pack(), 0);
    EXPECT_EQ(LineState::unpack(state.pack()), state);
}

} // namespace
