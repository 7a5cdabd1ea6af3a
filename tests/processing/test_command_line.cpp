#include <gtest/gtest.h>

#include "processing/command_line.h"
#include "support/qt_print.h"

using processing::splitCommandLine;
using processing::targetArgument;
using processing::targetName;
using Words = std::vector<std::string>;

TEST(CommandLine, TargetIsTheMainFileOfTheProject) {
    EXPECT_EQ(targetName("thesis", "*"), "thesis");
    EXPECT_EQ(targetName("chapter1", "thesis"), "thesis");
    // No choice made yet: the name part is empty, not the document's own name.
    EXPECT_EQ(targetName("chapter1", ""), "");
    // Only "*" alone marks a main file.
    EXPECT_EQ(targetName("a", "**"), "**");
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
