#include <gtest/gtest.h>

#include "processing/command_line.h"

using processing::buildCommandLine;
using processing::splitCommandLine;
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

TEST(CommandLine, BuiltUnquotedWithOneBlankAndNoLengthLimit) {
    EXPECT_EQ(buildCommandLine("latex", "thesis", ".tex"), "latex thesis.tex");
    EXPECT_EQ(buildCommandLine("latex", "my thesis", ".tex"), "latex my thesis.tex");
    EXPECT_EQ(buildCommandLine("latex", "", ".tex"), "latex .tex");
    EXPECT_EQ(buildCommandLine("", "thesis", ".dvi"), " thesis.dvi");

    std::string command = "latex " + std::string(300, 'o');
    std::string line = buildCommandLine(command, "thesis", ".tex");
    EXPECT_EQ(line.size(), command.size() + 11);
    EXPECT_EQ(line, command + " thesis.tex");
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
