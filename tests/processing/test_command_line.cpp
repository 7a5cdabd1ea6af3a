#include <gtest/gtest.h>

#include "processing/command_line.h"
#include "support/qt_print.h"

using processing::splitCommandLine;
using processing::targetArgument;
using Words = std::vector<std::string>;

TEST(CommandLine, TargetIsTheMainFileOfTheProjectWhereverItLies) {
    struct Case {
        const char* docName;
        QString mainFile;
        const char* folder;
        QString name;
    };
    const Case cases[] = {
        {"thesis", "*", "/p/chap", "thesis"},
        // A bare name, as every status file has held it: beside the document.
        {"chapter1", "thesis", "/p/chap", "thesis"},
        // No choice made yet: the name part is empty, not the document's own name.
        {"chapter1", "", "/p/chap", ""},
        // Only "*" alone marks a main file.
        {"a", "**", "/p/chap", "**"},
        // A path from the document's folder: the programs run where the main file lies.
        {"ch", "../main", "/p", "main"},
        {"ch", "../../x/y/main", "/x/y", "main"},
        {"ch", "sub/main", "/p/chap/sub", "main"},
        {"ch", "/abs/main", "/abs", "main"},
        {"ch", "../-shell-escape x", "/p", "-shell-escape x"},
        {"ch", QStringLiteral("../глава α/main"), "/p/глава α", "main"},
    };
    for (const Case& c : cases) {
        const processing::Target target = processing::targetOf(
            QStringLiteral("/p/chap"), QString::fromUtf8(c.docName), c.mainFile);
        EXPECT_EQ(target.folder, QString::fromUtf8(c.folder)) << c.mainFile.toStdString();
        EXPECT_EQ(target.name, c.name) << c.mainFile.toStdString();
    }
    EXPECT_EQ(processing::targetOf("/p/chap", "ch", "../main").file(".pdf"), "/p/main.pdf");
}

TEST(CommandLine, TheTargetIsOneArgumentThatNoProgramTakesForAnOption) {
    EXPECT_EQ(targetArgument("my thesis", ".tex"), "my thesis.tex");
    EXPECT_EQ(targetArgument("q\"uo\"te", ".tex"), "q\"uo\"te.tex");
    EXPECT_EQ(targetArgument("-shell-escape x", ".tex"), "./-shell-escape x.tex");
    EXPECT_EQ(targetArgument("", ".dvi"), ".dvi");
    EXPECT_EQ(targetArgument(QStringLiteral("α"), ".dvi"), QStringLiteral("α.dvi"));
}

TEST(CommandLine, BlanksSeparateWords) {
    EXPECT_EQ(splitCommandLine("latex -interaction=nonstopmode thesis.tex"),
              (Words{"latex", "-interaction=nonstopmode", "thesis.tex"}));
    EXPECT_EQ(splitCommandLine("  a \t b\t\tc  "), (Words{"a", "b", "c"}));
    EXPECT_EQ(splitCommandLine(" thesis.tex"), (Words{"thesis.tex"}));
    EXPECT_EQ(splitCommandLine(""), Words{});
    EXPECT_EQ(splitCommandLine("   "), Words{});
}

TEST(CommandLine, DoubleQuotesGroupAndAreDropped) {
    EXPECT_EQ(splitCommandLine("\"/opt/my tex/latex\" -x a.tex"),
              (Words{"/opt/my tex/latex", "-x", "a.tex"}));
    EXPECT_EQ(splitCommandLine("a\"b c\"d e"), (Words{"ab cd", "e"}));
    EXPECT_EQ(splitCommandLine("x \"\" y"), (Words{"x", "", "y"}));
    // An unterminated quote runs to the end of the line.
    EXPECT_EQ(splitCommandLine("x \"a b"), (Words{"x", "a b"}));
}

TEST(CommandLine, ShellCharactersAreOrdinary) {
    EXPECT_EQ(splitCommandLine("latex a;rm${IFS}-rf|x`id`$(id)&>'q'\\n.tex"),
              (Words{"latex", "a;rm${IFS}-rf|x`id`$(id)&>'q'\\n.tex"}));
}
