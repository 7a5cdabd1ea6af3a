#pragma once
// The characters of TeX markup the editor tells apart from Russian text: the Smart
// Keyboard keeps a command word in Latin while they are typed, and the view of a TeX file
// shows them in Latin runs.
#include <string_view>

namespace platform {

// "$", "\" and the letters of command names.
constexpr std::string_view kTexMarkupLetters =
    "$\\abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_#^";
// The other characters a command word goes on with: digits, arguments and subscripts.
constexpr std::string_view kCommandWordOthers = "0123456789._{()\\";

} // namespace platform
