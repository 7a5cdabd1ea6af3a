#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "editing/go_to_line.h"
#include "platform/errors.h"

namespace {

int32_t startOf(int32_t line, const std::vector<int>& lengths) {
    return editing::lineStartPosition(line, static_cast<int>(lengths.size()),
                                      [&](int i) { return lengths.at(static_cast<size_t>(i)); });
}

} // namespace

TEST(GoToLine, SumsLineLengthsWithTwoForEachBreak) {
    const std::vector<int> lines{5, 0, 7};
    EXPECT_EQ(startOf(3, lines), 9);
    EXPECT_EQ(startOf(2, lines), 7);
    EXPECT_EQ(startOf(4, lines), 18); // one past the last line: the end of the text plus 2
    EXPECT_EQ(startOf(1000, lines), 18);
}

TEST(GoToLine, FirstLineZeroAndNegativesGiveTheTextStart) {
    const std::vector<int> lines{5, 0, 7};
    EXPECT_EQ(startOf(1, lines), 0);
    EXPECT_EQ(startOf(0, lines), 0);
    EXPECT_EQ(startOf(-5, lines), 0);
    EXPECT_EQ(startOf(std::numeric_limits<int32_t>::min() + 1, lines), 0);
    EXPECT_EQ(startOf(std::numeric_limits<int32_t>::max(), lines), 18);
    EXPECT_EQ(startOf(7, {}), 0);
}

TEST(GoToLine, SmallestNumberOverflows) {
    EXPECT_THROW(startOf(std::numeric_limits<int32_t>::min(), {1, 2}), platform::IntegerOverflow);
}
