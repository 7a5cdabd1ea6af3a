#pragma once
// Which encoding a TeX file's bytes are in. In this order:
//  1. a UTF-16 byte-order mark: refused (the editor reads no UTF-16);
//  2. what the file declares (the "% !TeX encoding = ..." magic comment, else the option of
//     an uncommented \usepackage[...]{inputenc}), when its bytes agree; when the two
//     declarations disagree, the one the bytes agree with (between two 8-bit code pages the
//     one its letters read as, if they tell; else the magic comment);
//  3. UTF-8 when the bytes are a UTF-8 document (utf8::looksLikeUtf8);
//  4. otherwise CP866, CP1251 or KOI8-R from the letters of its Cyrillic text, and CP866
//     when unsure (a file of ASCII only, a few letters that read as Russian in two code
//     pages, no Russian at all).
// A declaration the bytes contradict (utf8 declared, the bytes not UTF-8; an 8-bit code page
// declared, the bytes a UTF-8 document) gives way to what steps 3 and 4 find.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/text_encoding.h"

namespace platform {

struct Recognition {
    bool utf16 = false; // refused; encoding is then meaningless
    TextEncoding encoding = TextEncoding::Cp866;
    // The declaration followed, else the first the file makes (the magic comment's).
    std::optional<TextEncoding> declared;
    // No declaration was followed: the bytes are in another encoding.
    bool contradicted = false;
};

Recognition recogniseEncoding(std::string_view fileBytes);

// The encoding a file declares, if any: the magic comment first, else the first
// uncommented \usepackage[...]{inputenc} with an option naming one.
std::optional<TextEncoding> declaredEncoding(std::string_view fileBytes);

// CP866, CP1251 or KOI8-R from the bytes above 0x7F read as Russian text in each; nothing
// when the text is too short or too unlike Russian to tell.
std::optional<TextEncoding> eightBitEncodingOf(std::string_view fileBytes);
// eightBitEncodingOf, CP866 when unsure.
TextEncoding guessEightBitEncoding(std::string_view fileBytes);

// How much likelier (natural log of the ratio) the best 8-bit reading must be than the
// CP866 one to be taken instead, and how many bytes above 0x7F a text needs before any but
// CP866 is considered: a word or two made of the letters р..я (which CP1251 has where CP866
// keeps р..я's neighbours а..п) reads as Russian both ways.
inline constexpr double kEightBitMargin = 12.0;
inline constexpr uint32_t kEightBitMinimum = 8;
// The share of those bytes that must be Russian letters in the reading taken: pseudo-graphics
// and symbols read as some letters in every code page.
inline constexpr double kEightBitLetterShare = 0.75;

} // namespace platform
