#include "platform/utf8.h"

#include <algorithm>
#include <optional>

#include "platform/codepage.h"

namespace platform::utf8 {
namespace {

// The Russian letters of CP866 (А..п, р..я, Ё, ё): the bytes of such words are all that a
// short CP866 text holds above 0x7F.
constexpr bool isCp866RussianLetter(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0xAF) || (byte >= 0xE0 && byte <= 0xF1);
}

inline bool isTwoByteLead(unsigned char byte) {
    return byte >= 0xC2 && byte <= 0xDF;
}

// True when the bytes from p on are strict UTF-8. Two-byte sequences (all of Cyrillic)
// take the short way.
bool strictFrom(const unsigned char* p, const unsigned char* end) {
    for (p = skipAscii(p, end); p < end;) {
        if (*p < 0x80) {
            p = skipAscii(p + 1, end);
        } else if (isTwoByteLead(*p)) {
            if (end - p < 2 || (p[1] & 0xC0) != 0x80) return false;
            p += 2;
        } else {
            char32_t code;
            const int length = sequenceAt(p, end, code);
            if (length == 0) return false;
            p += length;
        }
    }
    return true;
}

bool inCp1251(char32_t code) {
    unsigned char byte;
    return code < 0x10000 && unicodeToCp1251(static_cast<char16_t>(code), byte);
}

// Pictographs and emoji: their sequences begin F0 9F, which in CP866 is "ЁЯ", and no Russian
// word begins so.
bool isEmoji(char32_t code) {
    return code >= 0x1F000 && code <= 0x1FAFF;
}

// The kinds of characters a text holds many of: punctuation, letterlike signs, arrows and
// mathematics; or CJK (ideographs, kana, Hangul, full-width forms). What CP866 words make
// of themselves falls into random blocks of every kind.
enum class Kind { Other, Symbols, Cjk };

Kind kindOf(char32_t code) {
    if (code >= 0x2000 && code <= 0x2BFF) return Kind::Symbols;
    if ((code >= 0x2E80 && code <= 0x9FFF) || (code >= 0xAC00 && code <= 0xD7AF) ||
        (code >= 0xF900 && code <= 0xFAFF) || (code >= 0xFF00 && code <= 0xFFEF) ||
        (code >= 0x20000 && code <= 0x3FFFF))
        return Kind::Cjk;
    return Kind::Other;
}

} // namespace

bool isStrict(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    return strictFrom(p, p + bytes.size());
}

bool looksLikeUtf8(std::string_view fileBytes) {
    if (fileBytes.starts_with("\xEF\xBB\xBF")) return isStrict(fileBytes);
    const auto* p = reinterpret_cast<const unsigned char*>(fileBytes.data());
    const auto* const end = p + fileBytes.size();
    // While the sequences are made of CP866 letters, count them and note whether CP1251
    // lacks one of their characters; from the first other byte on only strictness is left
    // to find.
    int sequences = 0;
    bool someOutsideCp1251 = false;
    std::optional<Kind> kind; // of every character outside CP1251, while they share one
    for (p = skipAscii(p, end); p < end; p = skipAscii(p, end)) {
        char32_t code;
        const int length = sequenceAt(p, end, code);
        if (length == 0) return false;
        if (!std::all_of(p, p + length, isCp866RussianLetter)) return strictFrom(p, end);
        ++sequences;
        if (!inCp1251(code) && !isEmoji(code)) {
            someOutsideCp1251 = true;
            const Kind k = kindOf(code);
            kind = !kind || *kind == k ? k : Kind::Other;
        }
        p += length;
    }
    if (sequences == 0) return false;
    return !someOutsideCp1251 || (sequences >= kFewSequences && kind != Kind::Other);
}

} // namespace platform::utf8
