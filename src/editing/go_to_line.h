#pragma once
// Go to line: the position at which a line starts, lines counted from 1, every line break
// counting as two characters.
#include <cstdint>
#include <functional>

namespace editing {

// Sums the length of each line plus 2, over the lines before lineNumber and no further
// than lineCount; line numbers of 1 and below give 0. Throws platform::IntegerOverflow
// for the smallest 32-bit number, which cannot have 1 subtracted from it, and for a sum
// past the 32-bit range.
int32_t lineStartPosition(int32_t lineNumber, int lineCount,
                          const std::function<int(int)>& lineLength);

} // namespace editing
