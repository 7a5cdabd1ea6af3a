#include <gtest/gtest.h>

#include "editing/find_replace.h"
#include "fake_target.h"

using editing::SearchOptions;

namespace {

// A CP1251 text as the dialogs hand it over.
QString q(const char* cp1251) {
    return platform::fromCp1251(cp1251);
}

std::pair<int, int> selection(const FakeTarget& t) {
    return {t.selStart_, t.selLength_};
}

} // namespace

TEST(FindInEditor, BackwardSearchTakesTheLastMatchEndingBeforeTheStart) {
    FakeTarget t("aaaa");
    EXPECT_EQ(editing::findInEditor(t, q("aa"), 4, -4, {}), 2);
    EXPECT_EQ(editing::findInEditor(t, q("aa"), 3, -3, {}), 1); // overlapping matches count
    EXPECT_EQ(editing::findInEditor(t, q("aa"), 1, -1, {}), -1);
    EXPECT_EQ(editing::findInEditor(t, q("aa"), 2, 0, {}), -1); // an empty range finds nothing
    EXPECT_EQ(editing::findInEditor(t, q("aa"), 1, 3, {}), 1);
}

TEST(FindInEditor, EmptySearchTextFindsNothingInEitherDirection) {
    FakeTarget t("abc");
    EXPECT_EQ(editing::findInEditor(t, q(""), 0, 3, {}), -1);
    EXPECT_EQ(editing::findInEditor(t, q(""), 3, -3, {}), -1);
    EXPECT_EQ(t.finds, 0);
}

TEST(FindNext, UpwardsFromTheEndWalksBackThenFails) {
    FakeTarget t("aaaa");
    t.select(4, 0);
    ASSERT_TRUE(editing::findNext(t, q("aa"), false, {}));
    EXPECT_EQ(selection(t), std::make_pair(2, 2));
    ASSERT_TRUE(editing::findNext(t, q("aa"), false, {}));
    EXPECT_EQ(selection(t), std::make_pair(0, 2));
    EXPECT_FALSE(editing::findNext(t, q("aa"), false, {}));
    EXPECT_EQ(selection(t), std::make_pair(0, 2)); // unchanged after a miss
}

TEST(FindNext, DownwardsStartsAfterTheSelectionAndNeverWraps) {
    FakeTarget t("ab ab ab ab");
    t.select(0, 5); // covers the first two matches
    std::vector<int> found;
    while (editing::findNext(t, q("ab"), true, {}))
        found.push_back(t.selStart_);
    EXPECT_EQ(found, (std::vector<int>{6, 9}));
    EXPECT_EQ(selection(t), std::make_pair(9, 2));
}

TEST(FindNext, CaseAndWholeWordOptions) {
    // "Abc abcd АБВ" in CP1251
    FakeTarget t("Abc abcd \xC0\xC1\xC2");
    EXPECT_TRUE(editing::findNext(t, q("abc"), true, {}));
    EXPECT_EQ(t.selStart_, 0);
    t.select(0, 0);
    EXPECT_TRUE(editing::findNext(t, q("abc"), true, {false, true}));
    EXPECT_EQ(t.selStart_, 4);
    t.select(0, 0);
    EXPECT_FALSE(editing::findNext(t, q("abc"), true, {true, true}));
    t.select(0, 0);
    EXPECT_TRUE(editing::findNext(t, q("\xE0\xE1\xE2"), true, {})); // абв finds АБВ
    EXPECT_EQ(t.selStart_, 9);
    t.select(0, 0);
    EXPECT_FALSE(editing::findNext(t, q("\xE0\xE1\xE2"), true, {false, true}));
}

TEST(ReplaceDialogFindNext, AlwaysForwardsFromTheSelectionEnd) {
    FakeTarget t("xa xa xa");
    t.select(3, 2);
    ASSERT_TRUE(editing::findNextForward(t, q("xa"), {}));
    EXPECT_EQ(selection(t), std::make_pair(6, 2));
    EXPECT_FALSE(editing::findNextForward(t, q("xa"), {}));
}

TEST(ReplaceNext, ReplacesTheSelectedMatchOrTheNextOne) {
    FakeTarget t("one two one two");
    t.select(8, 3); // the second "one", as Find Next leaves it
    ASSERT_TRUE(editing::replaceNext(t, q("one"), q("1"), {}));
    EXPECT_EQ(t.text_, "one two 1 two");
    EXPECT_EQ(selection(t), std::make_pair(9, 0));

    t.select(1, 2); // not a match: the next match after the selection start goes at once
    ASSERT_TRUE(editing::replaceNext(t, q("two"), q("2"), {}));
    EXPECT_EQ(t.text_, "one 2 1 two");
    EXPECT_EQ(selection(t), std::make_pair(5, 0));

    t.select(9, 0);
    EXPECT_FALSE(editing::replaceNext(t, q("one"), q("1"), {}));
    EXPECT_EQ(t.text_, "one 2 1 two");
}

TEST(ReplaceAll, NeverSearchesInsideInsertedText) {
    FakeTarget t("banana");
    EXPECT_EQ(editing::replaceAll(t, q("a"), q("aa"), {}), 3);
    EXPECT_EQ(t.text_, "baanaanaa");
    EXPECT_EQ(selection(t), std::make_pair(9, 0));
}

TEST(ReplaceAll, StartsAtTheTextStartWhateverTheSelection) {
    FakeTarget t("cat cat cat");
    t.select(8, 3);
    EXPECT_EQ(editing::replaceAll(t, q("cat"), q("dog"), {}), 3);
    EXPECT_EQ(t.text_, "dog dog dog");
}

TEST(ReplaceAll, NoMatchChangesNothing) {
    FakeTarget t("abc");
    t.select(1, 1);
    EXPECT_EQ(editing::replaceAll(t, q("x"), q("y"), {}), 0);
    EXPECT_EQ(t.text_, "abc");
    EXPECT_EQ(selection(t), std::make_pair(1, 1));
}

TEST(ReplaceAll, ShrinkingAndEmptyReplacements) {
    FakeTarget t("aXbXXc");
    EXPECT_EQ(editing::replaceAll(t, q("X"), q(""), {}), 3);
    EXPECT_EQ(t.text_, "abc");
    FakeTarget u("aaaa");
    EXPECT_EQ(editing::replaceAll(u, q("aa"), q("a"), {}), 2); // not rescanning the joined "aa"
    EXPECT_EQ(u.text_, "aa");
}

TEST(ReplaceAll, WholeWordAndCaseApply) {
    FakeTarget t("Cat cat category");
    EXPECT_EQ(editing::replaceAll(t, q("cat"), q("dog"), {true, false}), 2);
    EXPECT_EQ(t.text_, "dog dog category");
    FakeTarget u("Cat cat");
    EXPECT_EQ(editing::replaceAll(u, q("cat"), q("dog"), {false, true}), 1);
    EXPECT_EQ(u.text_, "Cat dog");
}

TEST(ReplaceAll, EndsWhenTheControlRefusesTheText) {
    FakeTarget t("ab", 4); // the control takes at most 4 characters
    EXPECT_EQ(editing::replaceAll(t, q("a"), q("aaaa"), {}), 0);
    EXPECT_EQ(t.text_, "ab");
    FakeTarget u("abab", 6);
    EXPECT_EQ(editing::replaceAll(u, q("a"), q("aa"), {}), 2);
    EXPECT_EQ(u.text_, "aabaab");
}
