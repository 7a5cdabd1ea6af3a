#pragma once
// The character sets the editor tells apart in its text. Every character the editing
// control holds carries one of them; the RTF view of a TeX file gives Russian words the
// Cyrillic set and TeX markup the Latin one, and the control types the Russian layout while
// its insertion set is Cyrillic. Any other value is kept as it came and counts as Latin.

namespace platform {

inline constexpr int kLatinCharset = 0;
inline constexpr int kCyrillicCharset = 204;

} // namespace platform
