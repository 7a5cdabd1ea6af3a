#pragma once
// The Cyrillic conversion between the DOS code page (CP866) and the Windows code page
// (CP1251): the 66 Russian letters are exchanged byte for byte, every other byte passes
// unchanged. The LOG viewer shows a CP866 LOG through it; documents are read and written
// through their encoding's whole table (text_encoding.h).
#include <array>
#include <string>

namespace platform {

namespace detail {

struct CyrillicTables {
    std::array<unsigned char, 256> toCp1251{};
    std::array<unsigned char, 256> toCp866{};

    constexpr CyrillicTables() {
        for (int b = 0; b < 256; ++b) {
            toCp1251[static_cast<size_t>(b)] = static_cast<unsigned char>(b);
            toCp866[static_cast<size_t>(b)] = static_cast<unsigned char>(b);
        }
        auto pair = [this](int cp866, int cp1251) {
            toCp1251[static_cast<size_t>(cp866)] = static_cast<unsigned char>(cp1251);
            toCp866[static_cast<size_t>(cp1251)] = static_cast<unsigned char>(cp866);
        };
        for (int i = 0; i < 16; ++i)
            pair(0xA0 + i, 0xE0 + i); // а..п
        for (int i = 0; i < 16; ++i)
            pair(0xE0 + i, 0xF0 + i); // р..я
        for (int i = 0; i < 32; ++i)
            pair(0x80 + i, 0xC0 + i); // А..Я
        pair(0xF1, 0xB8);             // ё
        pair(0xF0, 0xA8);             // Ё
    }
};

inline constexpr CyrillicTables kCyrillic{};

} // namespace detail

constexpr unsigned char cp866ToCp1251(unsigned char byte) {
    return detail::kCyrillic.toCp1251[byte];
}
constexpr unsigned char cp1251ToCp866(unsigned char byte) {
    return detail::kCyrillic.toCp866[byte];
}

// True for the 66 letter codes of CP866.
constexpr bool isCp866Letter(unsigned char byte) {
    return cp866ToCp1251(byte) != byte;
}

// Whole strings, in place.
void convertCp866ToCp1251(std::string& bytes);
void convertCp1251ToCp866(std::string& bytes);

} // namespace platform
