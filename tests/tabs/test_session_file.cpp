// The session file: what a normal exit writes is what the next start reads, and a file
// damaged by hand gives what can still be made sense of.
#include <gtest/gtest.h>

#include "tabs/session_file.h"

namespace {

using tabs::parseSessionFile;
using tabs::Session;
using tabs::sessionFileText;

TEST(SessionFile, ReadsBackWhatItWrites) {
    const Session session{{{QStringLiteral("/home/u/диссертация/main.tex"), 0},
                           {QStringLiteral("/home/u/a b/глава 1.tex"), 12345},
                           {QStringLiteral("/tmp/Σχέδιο 漢字 😀/refs.bib"), 7}},
                          1};
    EXPECT_EQ(parseSessionFile(sessionFileText(session)), session);
    EXPECT_EQ(parseSessionFile(sessionFileText(Session{})), Session{});
}

TEST(SessionFile, PassesOverWhatMakesNoSense) {
    struct Case {
        const char* text;
        Session expected;
    };
    const Case cases[] = {
        // CR LF line ends, a missing last line end.
        {"current 1\r\n3 /a.tex\r\n4 /b.tex", {{{"/a.tex", 3}, {"/b.tex", 4}}, 1}},
        // A relative path, a negative or missing caret, a line without a blank.
        {"5 a.tex\n-1 /b.tex\n /c.tex\nnonsense\n2 /d.tex\n", {{{"/d.tex", 2}}, 0}},
        // current past the end, or not a number, stays within the documents.
        {"current 9\n1 /a.tex\n2 /b.tex\n", {{{"/a.tex", 1}, {"/b.tex", 2}}, 1}},
        {"current x\n1 /a.tex\n", {{{"/a.tex", 1}}, 0}},
        // Blanks within a path belong to it.
        {"0 /a b/c d.tex\n", {{{"/a b/c d.tex", 0}}, 0}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseSessionFile(c.text), c.expected) << c.text;
}

TEST(SessionFile, LeavesOutAPathThatCannotStandOnOneLine) {
    const Session session{{{QStringLiteral("/a\nb.tex"), 1}, {QStringLiteral("/c.tex"), 2}}, 0};
    EXPECT_EQ(parseSessionFile(sessionFileText(session)).documents,
              (std::vector<tabs::SessionDocument>{{QStringLiteral("/c.tex"), 2}}));
}

} // namespace
