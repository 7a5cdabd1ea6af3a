#pragma once
// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off
// sequence. The sequence reader the decoders share, and the verdict whether a file's bytes
// are a UTF-8 document.
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace platform::utf8 {

// A lead byte's sequence length and the range its second byte must lie in; the narrow
// ranges are what rule out overlong forms (E0, F0), surrogates (ED) and characters above
// U+10FFFF (F4). Length 0: not a lead byte.
struct Lead {
    unsigned char length = 0, low = 0, high = 0;
};

constexpr std::array<Lead, 256> makeLeads() {
    std::array<Lead, 256> leads{};
    for (int b = 0xC2; b <= 0xDF; ++b)
        leads[static_cast<size_t>(b)] = {2, 0x80, 0xBF};
    for (int b = 0xE0; b <= 0xEF; ++b)
        leads[static_cast<size_t>(b)] = {3, 0x80, 0xBF};
    leads[0xE0].low = 0xA0;
    leads[0xED].high = 0x9F;
    for (int b = 0xF0; b <= 0xF4; ++b)
        leads[static_cast<size_t>(b)] = {4, 0x80, 0xBF};
    leads[0xF0].low = 0x90;
    leads[0xF4].high = 0x8F;
    return leads;
}

inline constexpr std::array<Lead, 256> kLeads = makeLeads();

// The character of the strict sequence at p (*p >= 0x80) and the sequence's length; 0 when
// the bytes there are not one.
inline int sequenceAt(const unsigned char* p, const unsigned char* end, char32_t& code) {
    const Lead lead = kLeads[*p];
    if (lead.length == 0 || end - p < lead.length || p[1] < lead.low || p[1] > lead.high) return 0;
    switch (lead.length) {
    case 2:
        code = static_cast<char32_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
        return 2;
    case 3:
        if ((p[2] & 0xC0) != 0x80) return 0;
        code = static_cast<char32_t>((p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        return 3;
    default:
        if ((p[2] & 0xC0) != 0x80 || (p[3] & 0xC0) != 0x80) return 0;
        code = static_cast<char32_t>((p[0] & 0x07) << 18 | (p[1] & 0x3F) << 12 |
                                     (p[2] & 0x3F) << 6 | (p[3] & 0x3F));
        return 4;
    }
}

// Past the ASCII bytes at p, eight at a time.
inline const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end) {
    while (end - p >= 8) {
        uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080u) break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

// True when the bytes are strict UTF-8.
bool isStrict(std::string_view bytes);

// True when a file's bytes are a UTF-8 document: strict UTF-8 that begins with the
// byte-order mark or holds a multi-byte sequence. A file of ASCII only is not (every
// encoding reads it alike).
//
// One exception keeps short CP866 texts CP866: Russian words of a few lower-case letters are
// sometimes strict UTF-8 in CP866 ("шаг", "тип" are three-byte sequences, "ёлка" a four-byte
// one; 455 of the 146,269 stems of a Russian dictionary are). A file in which every byte
// above 0x7F is a CP866 letter, that holds fewer than kFewSequences multi-byte sequences,
// and one of whose characters CP1251 lacks ("шаг" is a CJK ideograph, "тип" the sign ⨯), is
// not UTF-8; emoji do not count (their lead "ЁЯ" begins no Russian word). A real UTF-8 document with Russian letters never meets it: their lead bytes
// 0xD0 and 0xD1 are not CP866 letters; nor does one with more than a few characters outside
// CP1251, since it is next to impossible for CP866 Russian to tile into that many sequences.
bool looksLikeUtf8(std::string_view fileBytes);

inline constexpr int kFewSequences = 4;

} // namespace platform::utf8
