#include "insertion/grid_lookup.h"

#include <cstdint>

#include "platform/textfile.h"

namespace insertion {

// The message is appended piece by piece: GCC 12 at -O3 misreads "literal" + std::string
// as an overlapping copy (a false -Wrestrict).
InvalidIntegerValue::InvalidIntegerValue(std::string_view text)
    : platform::RuntimeError(
          std::string("'").append(text).append("' is not a valid integer value")) {}

int toInteger(std::string_view text) {
    int32_t value = 0;
    if (!platform::parseInteger(text, value)) throw InvalidIntegerValue(text);
    return value;
}

int findSpan(std::string_view boundaries, int count, int position) {
    if (count < 0) return -1;
    std::string_view rest = boundaries;
    for (int64_t i = 0; i <= count; ++i) {
        size_t space = rest.find(' ');
        int boundary = toInteger(rest.substr(0, space));
        if (boundary > position) return static_cast<int>(i - 1);
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return -1;
}

std::string lookupGridText(const platform::StringList& grid, int x, int y) {
    const std::string columns = grid.value("x_g");
    const std::string rows = grid.value("y_g");
    const int columnCount = toInteger(grid.value("x_gs"));
    const int rowCount = toInteger(grid.value("y_gs"));
    const int column = findSpan(columns, columnCount, x);
    if (column < 0) return {};
    const int row = findSpan(rows, rowCount, y);
    if (row < 0) return {};
    return grid.value(std::to_string(column) + "." + std::to_string(row));
}

} // namespace insertion
