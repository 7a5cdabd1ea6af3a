#include <gtest/gtest.h>

#include "fake_target.h"
#include "insertion/insertion_blocks.h"
#include "platform/charsets.h"
#include "support/text.h"

using namespace insertion;
using platform::kCyrillicCharset;
using support::cp1251;

namespace {

platform::StringList statements() {
    platform::StringList list;
    // Sorted as at start-up; the two equal display names keep this order.
    list.setText(cp1251("Лемма=lemma\r\nЛЕММА=lemma2\r\nТеорема=theorem\r\nбез знака\r\n"));
    return list;
}

struct BlockCase {
    int kind;
    bool star;
    bool label;
    const char* text;
    int caret;
    const char* smartSets; // character sets with the Smart Keyboard on, saved set 204
};

std::string repeat(char c, size_t n) {
    return std::string(n, c);
}

} // namespace

TEST(InsertEnvironment, EveryRowOfTheBlockTable) {
    // Lengths: "\begin{eq}" 10, "\begin{eq*}" 11, "\label{}" 8, "\end{eq}" 8.
    const std::string L10 = repeat('L', 10), L8 = repeat('L', 8);
    const BlockCase cases[] = {
        {kFormulas, false, false, "\\begin{eq}\r\n\r\n\\end{eq}\r\n", 12, nullptr},
        {kFormulas, true, false, "\\begin{eq*}\r\n\r\n\\end{eq*}\r\n", 13, nullptr},
        {kFormulas, false, true, "\\begin{eq}\\label{}\r\n\r\n\\end{eq}\r\n", 17, nullptr},
        {kFormulas, true, true, "\\begin{eq*}\\label{}\r\n\r\n\\end{eq*}\r\n", 18, nullptr},
        {kOthers, false, false, "\\begin{eq}\r\n\r\n\\end{eq}\r\n", 12, nullptr},
        {kOthers, true, false, "\\begin{eq}\r\n\r\n\\end{eq}\r\n", 12, nullptr},
        {kOthers, false, true, "\\begin{eq}\\label{}\r\n\r\n\\end{eq}\r\n", 17, nullptr},
        {kOthers, true, true, "\\begin{eq}\\label{}\r\n\r\n\\end{eq}\r\n", 17, nullptr},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.kind) + (c.star ? " star" : "") + (c.label ? " label" : ""));
        const EnvironmentChoice choice{c.kind, "eq", c.star, c.label};
        for (bool smart : {true, false}) {
            FakeTarget t;
            insertEnvironmentBlock(t, choice, {}, smart, kCyrillicCharset);
            EXPECT_EQ(t.text, c.text);
            EXPECT_EQ(t.start, c.caret);
            EXPECT_EQ(t.length, 0);
            if (!smart) {
                EXPECT_EQ(t.sets(), repeat('C', t.text.size()));
                EXPECT_EQ(t.charsetChanges, 0);
                continue;
            }
            // Formulas: all Latin but the final "}" CR LF. Others: the "}" closing the
            // begin line or label, its line break and the body line break take the saved set.
            const size_t n = t.text.size();
            std::string expected;
            if (c.kind == kFormulas) {
                expected = repeat('L', n - 3) + "CCC";
            } else {
                const size_t head = c.label ? 17 : 9; // "\begin{eq" or "\begin{eq}\label{"
                expected = repeat('L', head) + "CCCCC" + repeat('L', 7) + "CCC";
            }
            EXPECT_EQ(t.sets(), expected);
            EXPECT_EQ(t.charset, kCyrillicCharset);
        }
    }
}

TEST(InsertEnvironment, StatementsUseTheNameOfTheFirstMatchingLine) {
    const auto list = statements();
    FakeTarget t;
    insertEnvironmentBlock(t, {kStatements, cp1251("лемма"), true, false}, list, true,
                           kCyrillicCharset);
    EXPECT_EQ(t.text, "\\begin{lemma}\r\n\r\n\\end{lemma}\r\n");
    EXPECT_EQ(t.start, 15);
    // A display name found on no line gives an empty environment name.
    FakeTarget empty;
    insertEnvironmentBlock(empty, {kStatements, "", false, true}, list, false, kCyrillicCharset);
    EXPECT_EQ(empty.text, "\\begin{}\\label{}\r\n\r\n\\end{}\r\n");
    EXPECT_EQ(empty.start, 15);
}

TEST(InsertEnvironment, SplitsTheLineAndReplacesTheSelection) {
    FakeTarget middle("ab\r\ncd ef", kCyrillicCharset);
    middle.select(6, 0); // after "cd"
    insertEnvironmentBlock(middle, {kOthers, "my list", false, false}, {}, true, 0);
    EXPECT_EQ(middle.text, "ab\r\ncd\\begin{my list}\r\n\r\n\\end{my list}\r\n ef");
    EXPECT_EQ(middle.start, 23);
    // The saved set is the one last shown, here Latin, whatever the control had.
    EXPECT_EQ(middle.sets(), "CCCC"
                             "CC" +
                                 repeat('L', 34) + "CCC");

    // Text after the caret does not lend its set to the lines the block pushes ahead of it.
    FakeTarget split(cp1251("АБ"), kCyrillicCharset);
    split.select(1, 0);
    insertEnvironmentBlock(split, {kFormulas, "equation", false, false}, {}, true,
                           kCyrillicCharset);
    EXPECT_EQ(split.text, cp1251("А\\begin{equation}\r\n\r\n\\end{equation}\r\nБ"));
    EXPECT_EQ(split.sets(), "C" + repeat('L', 33) + "CCCC");

    FakeTarget selected("one TWO three", kCyrillicCharset);
    selected.select(4, 3);
    insertEnvironmentBlock(selected, {kFormulas, "eq", false, false}, {}, false, kCyrillicCharset);
    EXPECT_EQ(selected.text, "one \\begin{eq}\r\n\r\n\\end{eq}\r\n three");
    EXPECT_EQ(selected.start, 16);
}

TEST(InsertEnvironment, UnknownKindInsertsNothing) {
    FakeTarget t("x", kCyrillicCharset);
    insertEnvironmentBlock(t, {0, "eq", false, false}, {}, true, kCyrillicCharset);
    EXPECT_EQ(t.text, "x");
    EXPECT_EQ(t.charsetChanges, 0);
}

// A block, command or picture text that would take the document past the control's limit
// goes in not at all, not in part; one that just fits goes in whole.
TEST(Insertion, NothingGoesInPastTheLimit) {
    const std::string block = "\\begin{eq}\r\n\r\n\\end{eq}\r\n";
    FakeTarget t("abcd", kCyrillicCharset);
    t.maxLength = 4 + block.size() - 1;
    t.select(2, 0);
    int shown = 0;
    EXPECT_FALSE(
        insertEnvironmentBlock(t, {kFormulas, "eq", false, false}, {}, true, kCyrillicCharset));
    EXPECT_FALSE(insertCommandText(t, "\\frac{}{}" + std::string(block.size(), 'x'), true,
                                   kCyrillicCharset));
    EXPECT_FALSE(insertPictureText(t, std::string(block.size(), 'x'), shown));
    EXPECT_EQ(t.text, "abcd");
    EXPECT_EQ(t.charsetChanges, 0);
    t.select(1, 1); // a replaced selection makes room
    EXPECT_TRUE(
        insertEnvironmentBlock(t, {kFormulas, "eq", false, false}, {}, true, kCyrillicCharset));
    EXPECT_EQ(t.text, "a" + block + "cd");
}

TEST(InsertCommand, TemplatesPutTheCaretAfterTheFirstBrace) {
    struct Case {
        const char* entry;
        const char* text;
        int caret;
    };
    const Case cases[] = {
        {"\\frac{}{}", "ab\\frac{}{}", 8}, {"\\section{Name}", "ab\\section{Name}", 11},
        {"\\end}", "ab\\end}", 2},         {"\\cmd", "ab\\cmd ", 7},
        {"\\cmd ", "ab\\cmd  ", 8},        {"", "ab ", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        FakeTarget t("ab", kCyrillicCharset);
        t.select(2, 0);
        insertCommandText(t, c.entry, true, kCyrillicCharset);
        EXPECT_EQ(t.text, c.text);
        EXPECT_EQ(t.start, c.caret);
        // Everything Latin but the template's "}" or the trailing blank.
        const std::string sets = t.sets();
        EXPECT_EQ(sets, "CC" + repeat('L', t.text.size() - 3) + "C");
        EXPECT_EQ(t.charset, kCyrillicCharset);
    }
}

TEST(InsertCommand, ReplacesTheSelectionAndKeepsTheSetWhenSmartKeyboardIsOff) {
    FakeTarget t("x word y", kCyrillicCharset);
    t.select(2, 4);
    insertCommandText(t, "\\emph{}", false, 0);
    EXPECT_EQ(t.text, "x \\emph{} y");
    EXPECT_EQ(t.start, 8);
    EXPECT_EQ(t.sets(), repeat('C', t.text.size()));
    EXPECT_EQ(t.charsetChanges, 0);
}

TEST(InsertPicture, InsertsInLatinAndRestoresThePreviousSet) {
    FakeTarget t("ab", kCyrillicCharset);
    t.select(1, 0);
    int shown = 0;
    insertPictureText(t, "\\alpha", shown);
    EXPECT_EQ(t.text, "a\\alphab");
    EXPECT_EQ(t.start, 7);
    EXPECT_EQ(t.sets(), "CLLLLLLC");
    EXPECT_EQ(shown, kCyrillicCharset);
    EXPECT_EQ(t.charset, kCyrillicCharset);
}
