#pragma once
// The cell under a click on a letter or symbol picture. A grid file gives the column and
// row boundaries in pixels of the picture control ("x_g", "y_g": numbers separated by
// single spaces), their counts ("x_gs", "y_gs") and the text of each cell under the name
// "<column>.<row>". Column k spans its boundary k (included) to boundary k + 1 (excluded),
// so a click exactly on a boundary belongs to the column on its right (the row below it).
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/string_list.h"

namespace insertion {

// The runtime's message for a text that is not a whole number:
// "'<text>' is not a valid integer value".
class InvalidIntegerValue : public platform::RuntimeError {
  public:
    explicit InvalidIntegerValue(std::string_view text);
};

// The runtime's whole-number conversion; throws InvalidIntegerValue.
int toInteger(std::string_view text);

// The index of the span of a boundary list that holds position, or -1. The list is read
// number by number, at most count + 1 of them, and only as far as needed: numbers after
// the one that passes position are never converted. A position left of the first
// boundary, at or right of boundary count, or a negative count gives -1. Throws
// InvalidIntegerValue when a number it reads is not one (an empty one included: two
// spaces in a row, a leading space, or a list that ends too early).
int findSpan(std::string_view boundaries, int count, int position);

// The text of the cell under (x, y), or an empty text. Both counts are converted before
// any search; a conversion that fails throws InvalidIntegerValue.
std::string lookupGridText(const platform::StringList& grid, int x, int y);

} // namespace insertion
