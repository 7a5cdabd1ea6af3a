#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/string_list.h"

using namespace platform;

TEST(StringList, SplitsAtCrLfOrCrLfAndStopsAtNul) {
    StringList list;
    using namespace std::string_literals;
    list.setText("a\r\nb\rc\n\nd\r\n\0e\r\n"s);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[2], "c");
    EXPECT_EQ(list[3], "");
    EXPECT_EQ(list[4], "d");
}

TEST(StringList, EntriesAreNotTrimmed) {
    StringList list;
    list.setText(" x \r\n");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], " x ");
}

TEST(StringList, SortIgnoresCase) {
    StringList list;
    list.setText("beta\r\nAlpha\r\ngamma\r\nBeta2\r\n");
    list.sort();
    EXPECT_EQ(list[0], "Alpha");
    EXPECT_EQ(list[1], "beta");
    EXPECT_EQ(list[3], "gamma");
}

TEST(StringList, ValueLooksUpTheFirstNameIgnoringCase) {
    StringList list;
    list.setText(
        "x_g=5 54 99\r\nnoequals\r\nX_G=other\r\n\xD2\xE5\xEE\xF0\xE5\xEC\xE0=theorem\r\n");
    EXPECT_EQ(list.value("x_g"), "5 54 99");
    EXPECT_EQ(list.value("\xF2\xE5\xEE\xF0\xE5\xEC\xE0"), "theorem"); // теорема
    EXPECT_EQ(list.value("missing"), "");
    EXPECT_EQ(StringList::nameOf("a=b=c"), "a");
    EXPECT_EQ(StringList::nameOf("abc"), "");
}

TEST(StringList, MissingFileNamesItsPath) {
    StringList list;
    try {
        list.loadFromFile("/nonexistent/env1.dat");
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_STREQ(e.what(), "Cannot open file /nonexistent/env1.dat");
    }
}
