#include "platform/recognition.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <cmath>

#include "platform/utf8.h"

namespace platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (lower(text[i]) != lower(prefix[i])) return false;
    return true;
}

// The line holding a position, and whether a "%" that is not "\%" comments it out before
// the position.
bool commentedOut(std::string_view bytes, size_t position) {
    const size_t lineStart = bytes.find_last_of("\r\n", position);
    const size_t from = lineStart == std::string_view::npos ? 0 : lineStart + 1;
    for (size_t i = from; i < position; ++i) {
        if (bytes[i] == '\\')
            ++i;
        else if (bytes[i] == '%')
            return true;
    }
    return false;
}

// "% !TeX encoding = NAME" (spaces optional, any case), at the start of a line.
std::optional<TextEncoding> magicComment(std::string_view bytes) {
    constexpr std::string_view kKey = "!tex encoding";
    for (size_t at = bytes.find('%'); at != std::string_view::npos; at = bytes.find('%', at + 1)) {
        if (at > 0 && bytes[at - 1] != '\n' && bytes[at - 1] != '\r') continue;
        size_t i = at + 1;
        while (i < bytes.size() && isBlank(bytes[i]))
            ++i;
        if (!startsWithIgnoringCase(bytes.substr(i), kKey)) continue;
        i += kKey.size();
        while (i < bytes.size() && isBlank(bytes[i]))
            ++i;
        if (i >= bytes.size() || bytes[i] != '=') continue;
        ++i;
        while (i < bytes.size() && isBlank(bytes[i]))
            ++i;
        size_t end = i;
        while (end < bytes.size() && !isBlank(bytes[end]) && bytes[end] != '\r' &&
               bytes[end] != '\n')
            ++end;
        if (auto named = encodingNamed(bytes.substr(i, end - i))) return named;
    }
    return std::nullopt;
}

// The options of "\usepackage[OPTIONS]{inputenc}" ending at the "{inputenc}" found at at.
std::optional<TextEncoding> inputencOptions(std::string_view bytes, size_t at) {
    if (at == 0 || bytes[at - 1] != ']') return std::nullopt;
    const size_t open = bytes.rfind('[', at - 1);
    constexpr std::string_view kUsePackage = "\\usepackage";
    if (open == std::string_view::npos || open < kUsePackage.size() ||
        bytes.substr(open - kUsePackage.size(), kUsePackage.size()) != kUsePackage)
        return std::nullopt;
    std::string_view options = bytes.substr(open + 1, at - 1 - (open + 1));
    while (!options.empty()) {
        const size_t comma = options.find(',');
        std::string_view option = options.substr(0, comma);
        while (!option.empty() && isBlank(option.front()))
            option.remove_prefix(1);
        while (!option.empty() && isBlank(option.back()))
            option.remove_suffix(1);
        if (auto named = encodingNamed(option)) return named;
        if (comma == std::string_view::npos) break;
        options.remove_prefix(comma + 1);
    }
    return std::nullopt;
}

// --- Letter statistics

// How often each Russian letter occurs in Russian prose, per ten thousand letters, in the
// order а..я with ё after е.
// clang-format off
constexpr std::array<double, 33> kLetterFrequency = {
    801, 159, 454, 170, 298, 845, 4, 94, 165, 735, 121, 349, 440, 321, 670, 1097,
    281, 473, 547, 626, 262, 26, 97, 48, 144, 73, 36, 4, 190, 174, 32, 64, 201,
};
// clang-format on

// The letter's place in kLetterFrequency, or -1 for a character that is no Russian letter.
int russianLetterIndex(char16_t lowerCase) {
    if (lowerCase == u'ё') return 6;
    if (lowerCase >= u'а' && lowerCase <= u'е') return lowerCase - u'а';
    if (lowerCase >= u'ж' && lowerCase <= u'я') return lowerCase - u'ж' + 7;
    return -1;
}

// The log-likelihood of a character in Russian text that is above ASCII: a lower-case
// letter at its frequency, an upper-case one far rarer, another Cyrillic letter rarer still,
// anything else (box drawing, symbols) the rarest.
double logLikelihood(char16_t ch) {
    const QChar c(ch);
    const int lowerIndex = russianLetterIndex(c.toLower().unicode());
    if (lowerIndex >= 0) {
        const double share = c.isLower() ? 0.93 : 0.06;
        return std::log(share * kLetterFrequency[static_cast<size_t>(lowerIndex)] / 10000.0);
    }
    if (c.isLetter() && c.script() == QChar::Script_Cyrillic) return std::log(0.0005);
    return std::log(0.00003);
}

// The score of each byte above 0x7F read in an 8-bit encoding, and whether it is a Russian
// letter there.
struct ByteReading {
    std::array<double, 128> score{};
    std::array<bool, 128> letter{};
};

ByteReading byteReading(TextEncoding encoding) {
    ByteReading reading;
    const std::array<char16_t, 256>& characters = *encodingOf(encoding).characters;
    for (size_t b = 0; b < reading.score.size(); ++b) {
        const QChar c(characters[b + 128]);
        reading.score[b] = logLikelihood(c.unicode());
        reading.letter[b] = russianLetterIndex(c.toLower().unicode()) >= 0;
    }
    return reading;
}

std::optional<TextEncoding> inputencDeclaration(std::string_view bytes) {
    constexpr std::string_view kInputenc = "{inputenc}";
    for (size_t at = bytes.find(kInputenc); at != std::string_view::npos;
         at = bytes.find(kInputenc, at + 1)) {
        if (commentedOut(bytes, at)) continue;
        if (auto named = inputencOptions(bytes, at)) return named;
    }
    return std::nullopt;
}

} // namespace

std::optional<TextEncoding> declaredEncoding(std::string_view bytes) {
    if (auto magic = magicComment(bytes)) return magic;
    return inputencDeclaration(bytes);
}

std::optional<TextEncoding> eightBitEncodingOf(std::string_view bytes) {
    constexpr std::array<TextEncoding, 3> kCandidates = {TextEncoding::Cp866, TextEncoding::Cp1251,
                                                         TextEncoding::Koi8r};
    static const std::array<ByteReading, 3> readings = {
        byteReading(kCandidates[0]), byteReading(kCandidates[1]), byteReading(kCandidates[2])};
    // How often each byte occurs, then each encoding's score from the counts.
    std::array<uint32_t, 128> counts{};
    uint32_t high = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    for (p = utf8::skipAscii(p, end); p < end; p = utf8::skipAscii(p + 1, end)) {
        ++counts[*p - 128u];
        ++high;
    }
    if (high < kEightBitMinimum) return std::nullopt;
    std::array<double, 3> total{};
    std::array<uint32_t, 3> letters{};
    for (size_t e = 0; e < total.size(); ++e) {
        for (size_t b = 0; b < counts.size(); ++b) {
            total[e] += counts[b] * readings[e].score[b];
            letters[e] += readings[e].letter[b] ? counts[b] : 0;
        }
    }
    const auto best =
        static_cast<size_t>(std::max_element(total.begin(), total.end()) - total.begin());
    // The reading taken must be Russian text: most of what stands above ASCII are letters.
    if (letters[best] < high * kEightBitLetterShare) return std::nullopt;
    if (best == 0) return TextEncoding::Cp866;
    if (total[best] - total[0] < kEightBitMargin) return std::nullopt;
    return kCandidates[best];
}

TextEncoding guessEightBitEncoding(std::string_view bytes) {
    return eightBitEncodingOf(bytes).value_or(TextEncoding::Cp866);
}

Recognition recogniseEncoding(std::string_view bytes) {
    Recognition result;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        result.utf16 = true;
        return result;
    }
    const std::optional<TextEncoding> magic = magicComment(bytes);
    const std::optional<TextEncoding> inputenc = inputencDeclaration(bytes);
    result.declared = magic ? magic : inputenc;
    if (!result.declared) {
        result.encoding =
            utf8::looksLikeUtf8(bytes) ? TextEncoding::Utf8 : guessEightBitEncoding(bytes);
        return result;
    }
    const bool utf8Document = utf8::looksLikeUtf8(bytes);
    // An ASCII file declaring UTF-8 is UTF-8: a new UTF-8 document saved before any Russian
    // letter was typed comes back as one.
    const bool utf8Bytes = utf8Document || utf8::isStrict(bytes);
    const auto agrees = [&](TextEncoding declared) {
        return declared == TextEncoding::Utf8 ? utf8Bytes : !utf8Document;
    };
    // Two declarations that disagree: the one the bytes agree with. Between two 8-bit code
    // pages the letters decide when they can; otherwise the magic comment goes first.
    std::optional<TextEncoding> followed;
    if (magic && inputenc && *magic != *inputenc && agrees(*magic) && agrees(*inputenc)) {
        const std::optional<TextEncoding> letters = eightBitEncodingOf(bytes);
        followed = letters == inputenc ? inputenc : magic;
    } else if (agrees(*result.declared)) {
        followed = result.declared;
    } else if (inputenc && agrees(*inputenc)) {
        followed = inputenc;
    }
    if (followed) {
        result.declared = followed;
        result.encoding = *followed;
        return result;
    }
    result.contradicted = true;
    result.encoding = utf8Document ? TextEncoding::Utf8 : guessEightBitEncoding(bytes);
    return result;
}

} // namespace platform
