// What a compile to PDF that gave no new PDF says, and the missing files of a LOG said
// plainly.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "platform/textfile.h"
#include "processing/compile_outcome.h"
#include "processing/log_parser.h"
#include "processing/missing_files.h"
#include "support/qt_print.h"

using processing::CompileEnd;

namespace {

int exited(int code) {
    return code << 8; // as waitpid gives an exit code
}

} // namespace

TEST(CompileOutcome, EveryCompileWithoutANewPdfSaysWhy) {
    struct Case {
        const char* what;
        CompileEnd end;
        const char* says; // empty: a new PDF
    };
    const std::string noPages = "...\nNo pages of output.\nTranscript written on x.log.\n";
    const Case cases[] = {
        {"good", {"pdflatex", exited(0), false, true, "Output written on x.pdf", {}}, ""},
        // latexmk with everything up to date writes no LOG and keeps its PDF.
        {"up to date", {"latexmk", exited(0), false, true, std::nullopt, {}}, ""},
        {"no pages, no earlier PDF",
         {"pdflatex", exited(0), false, false, noPages, {}},
         "нет ни одной страницы"},
        // An earlier PDF is still there, but this compile made none.
        {"no pages, earlier PDF",
         {"pdflatex", exited(0), false, true, noPages, {}},
         "нет ни одной страницы"},
        {"TeX errors",
         {"pdflatex", exited(1), false, true, "! Undefined", {}},
         "«pdflatex» завершился с кодом 1"},
        {"engine missing behind latexmk",
         {"latexmk", exited(12), false, false, std::nullopt, "pdflatex"},
         "нет программы «pdflatex», которую запускает «latexmk»"},
        {"no PDF written",
         {"mytex", exited(0), false, false, std::nullopt, {}},
         "«mytex» закончил работу, не записав PDF"},
        {"killed", {"pdflatex", SIGKILL, false, false, std::nullopt, {}}, "сигналом 9"},
        {"stopped", {"pdflatex", SIGTERM, true, true, std::nullopt, {}}, "остановлена"},
        {"unknown end", {"pdflatex", -1, false, true, std::nullopt, {}}, "не удалось узнать"},
    };
    for (const Case& c : cases) {
        const std::optional<QString> failure = processing::compileFailure(c.end);
        if (*c.says == '\0') {
            EXPECT_FALSE(failure) << c.what << ": " << failure->toStdString();
            continue;
        }
        ASSERT_TRUE(failure) << c.what;
        EXPECT_TRUE(failure->contains(QString::fromUtf8(c.says)))
            << c.what << ": " << failure->toStdString();
    }
}

TEST(CompileOutcome, TheEngineBehindLatexmkIsTheLastSwitchGiven) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk"}), "latex");
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk", "-pdf", "-synctex=1"}), "pdflatex");
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk", "-pdfxe"}), "xelatex");
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk", "--pdflua"}), "lualatex");
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk", "-pdf", "-xelatex"}), "xelatex");
    EXPECT_EQ(
        processing::latexmkEngine(Words{"latexmk", "-pdf", "-pdflatex=/opt/tex/pdftex -x %O %S"}),
        "/opt/tex/pdftex");
    // A file named like an option is not taken for one.
    EXPECT_EQ(processing::latexmkEngine(Words{"latexmk", "-pdfx", "-pdf="}), "latex");
}

TEST(MissingFiles, TheFileIsNamedAndItsPackageWhenKnown) {
    const std::string bytes = platform::readFileBytes(QStringLiteral(KOLBAX_LOG_SAMPLES) +
                                                      QStringLiteral("/missing_file.log"));
    const std::vector<processing::LogEntry> entries = processing::parseLog(bytes);
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(processing::missingFileOf(entries[0]), "nonexistentpackage.sty");
    EXPECT_EQ(processing::missingFileOf(entries[1]), std::nullopt); // "Emergency stop."

    processing::LogEntry input;
    input.message = "I can't find file `chap/intro.tex'.";
    EXPECT_EQ(processing::missingFileOf(input), "chap/intro.tex");
    input.kind = processing::LogEntryKind::Warning;
    EXPECT_EQ(processing::missingFileOf(input), std::nullopt);

    EXPECT_EQ(processing::missingFileMessage("disser.cls", "texlive-lang-cyrillic"),
              QStringLiteral("Нет файла «disser.cls»: класса LaTeX нет в системе, он в пакете "
                             "Debian texlive-lang-cyrillic (apt install texlive-lang-cyrillic)"));

    EXPECT_EQ(processing::aptFileArguments("pgfplots.sty").last(), "/pgfplots\\.sty$");
    EXPECT_EQ(processing::packageFromAptFile("context\ntexlive-pictures\n"), "texlive-pictures");
    EXPECT_EQ(processing::packageFromAptFile("some-pkg\n"), "some-pkg");
    EXPECT_EQ(processing::packageFromAptFile("E: The cache is empty.\n"), "");
}
