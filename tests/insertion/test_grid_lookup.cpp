#include <gtest/gtest.h>

#include "insertion/grid_lookup.h"

using insertion::InvalidIntegerValue;
using insertion::lookupGridText;

namespace {

platform::StringList grid(const std::string& text) {
    platform::StringList list;
    list.setText(text);
    return list;
}

// Two columns between 5 54 99, three rows between 10 20 30 40.
const char* const kSmall = "x_g=5 54 99\r\ny_g=10 20 30 40\r\nx_gs=2\r\ny_gs=3\r\n"
                           "0.0=\\alpha\r\n1.0=\\beta\r\n0.1=\\gamma\r\n1.2=\\delta \r\n";

std::string errorOf(const platform::StringList& g, int x, int y) {
    try {
        lookupGridText(g, x, y);
    } catch (const platform::RuntimeError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(GridLookup, BoundaryBelongsToTheCellOnItsRightAndBelow) {
    const auto g = grid(kSmall);
    EXPECT_EQ(lookupGridText(g, 4, 10), "");
    EXPECT_EQ(lookupGridText(g, 5, 10), "\\alpha");
    EXPECT_EQ(lookupGridText(g, 53, 19), "\\alpha");
    EXPECT_EQ(lookupGridText(g, 54, 10), "\\beta");
    EXPECT_EQ(lookupGridText(g, 98, 10), "\\beta");
    EXPECT_EQ(lookupGridText(g, 99, 10), "");
    EXPECT_EQ(lookupGridText(g, 5, 20), "\\gamma");
    EXPECT_EQ(lookupGridText(g, 5, 9), "");
    EXPECT_EQ(lookupGridText(g, 5, 40), "");
    // The value is taken exactly, with its trailing blank.
    EXPECT_EQ(lookupGridText(g, 60, 39), "\\delta ");
}

TEST(GridLookup, EmptyCellsAndNegativePositionsGiveNothing) {
    const auto g = grid(kSmall);
    EXPECT_EQ(lookupGridText(g, 60, 25), ""); // 1.1 has no line: a short row's empty box
    EXPECT_EQ(lookupGridText(g, -1, 15), "");
    EXPECT_EQ(lookupGridText(g, 10, -5), "");
}

TEST(GridLookup, ExtraBoundariesAreIgnoredAndCountsBoundTheSearch) {
    auto g = grid("x_g=0 10 20 30 40\r\ny_g=0 10 20\r\nx_gs=2\r\ny_gs=1\r\n0.0=a\r\n1.0=b\r\n"
                  "2.0=c\r\n");
    EXPECT_EQ(lookupGridText(g, 15, 5), "b");
    EXPECT_EQ(lookupGridText(g, 25, 5), ""); // right of boundary 2
    EXPECT_EQ(lookupGridText(g, 5, 15), ""); // below boundary 1
    // A negative count finds no column, without reading a boundary.
    g = grid("x_g=junk\r\ny_g=0 10\r\nx_gs=-3\r\ny_gs=1\r\n0.0=a\r\n");
    EXPECT_EQ(lookupGridText(g, 5, 5), "");
}

TEST(GridLookup, BadCountsFailBeforeAnySearch) {
    EXPECT_EQ(errorOf(grid("x_g=0 10\r\ny_g=0 10\r\ny_gs=1\r\n0.0=a"), 5, 5),
              "'' is not a valid integer value");
    EXPECT_EQ(errorOf(grid("x_g=0 10\r\ny_g=0 10\r\nx_gs=1\r\ny_gs=one\r\n0.0=a"), -5, 5),
              "'one' is not a valid integer value");
    // Names are matched ignoring case; the count's hexadecimal form is a number.
    EXPECT_EQ(lookupGridText(grid("X_G=0 10\r\nY_G=0 10\r\nx_GS=$1\r\ny_gs=1\r\n0.0=a"), 5, 5),
              "a");
}

TEST(GridLookup, MalformedBoundaryListsFailOnlyWhereTheSearchReachesThem) {
    // Two blanks in a row leave an empty number between them.
    const auto doubled = grid("x_g=0 10  20\r\ny_g=0 10\r\nx_gs=2\r\ny_gs=1\r\n0.0=a\r\n1.0=b");
    EXPECT_EQ(lookupGridText(doubled, 5, 5), "a");
    EXPECT_EQ(errorOf(doubled, 15, 5), "'' is not a valid integer value");
    // A leading blank fails at once.
    EXPECT_EQ(errorOf(grid("x_g= 0 10\r\ny_g=0 10\r\nx_gs=1\r\ny_gs=1\r\n0.0=a"), 5, 5),
              "'' is not a valid integer value");
    // Too few boundaries: fine left of the last one, an error beyond it.
    const auto shortList = grid("x_g=0 10\r\ny_g=0 10\r\nx_gs=3\r\ny_gs=1\r\n0.0=a");
    EXPECT_EQ(lookupGridText(shortList, 5, 5), "a");
    EXPECT_EQ(errorOf(shortList, 50, 5), "'' is not a valid integer value");
    EXPECT_EQ(errorOf(grid("x_g=0 1x 20\r\ny_g=0 10\r\nx_gs=2\r\ny_gs=1\r\n"), 15, 5),
              "'1x' is not a valid integer value");
    EXPECT_THROW(lookupGridText(grid("x_g=0 10\r\ny_g=0 a\r\nx_gs=1\r\ny_gs=1\r\n"), 5, 5),
                 InvalidIntegerValue);
}

TEST(GridLookup, MissingGridLinesGiveNothingOrAnError) {
    // No boundaries at all with a zero count: the empty list fails to convert.
    EXPECT_EQ(errorOf(grid("x_gs=0\r\ny_gs=0\r\n"), 5, 5), "'' is not a valid integer value");
    EXPECT_EQ(errorOf(platform::StringList(), 0, 0), "'' is not a valid integer value");
}
