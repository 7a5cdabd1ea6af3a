#include "editing/go_to_line.h"

#include <limits>

#include "platform/errors.h"

namespace editing {

int32_t lineStartPosition(int32_t lineNumber, int lineCount,
                          const std::function<int(int)>& lineLength) {
    if (lineNumber == std::numeric_limits<int32_t>::min()) throw platform::IntegerOverflow();
    const int32_t before = lineNumber - 1;
    int64_t sum = 0;
    for (int i = 0; i < before && i < lineCount; ++i) {
        sum += int64_t{lineLength(i)} + 2;
        if (sum > std::numeric_limits<int32_t>::max()) throw platform::IntegerOverflow();
    }
    return static_cast<int32_t>(sum);
}

} // namespace editing
