// The encoding verdict, the UTF-8 document decoder and the two together on any bytes, checked
// against a plain code-point-by-code-point reading; accepted documents must be written back as they
// were, and any CP1251 text written as UTF-8 must read back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/utf8_document.h"

namespace {

using platform::LineEnd;
using platform::TextEncoding;

void check(bool condition) {
    if (!condition) std::abort();
}

struct Character {
    char32_t code;
    size_t offset;
    size_t length;
};

// UTF-8 by the textbook rules: the shortest form only, no surrogates, nothing above
// U+10FFFF.
bool readStrict(const std::string& bytes, std::vector<Character>& characters) {
    static const char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length;
        char32_t code;
        if (lead < 0x80)
            length = 1, code = lead;
        else if ((lead & 0xE0) == 0xC0)
            length = 2, code = lead & 0x1F;
        else if ((lead & 0xF0) == 0xE0)
            length = 3, code = lead & 0x0F;
        else if ((lead & 0xF8) == 0xF0)
            length = 4, code = lead & 0x07;
        else
            return false;
        if (i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        if (code < kShortest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        characters.push_back({code, i, length});
        i += length;
    }
    return true;
}

bool cp1251Byte(char32_t code, unsigned char& byte) {
    return code < 0x10000 && platform::unicodeToCp1251(static_cast<char16_t>(code), byte);
}

TextEncoding referenceVerdict(const std::string& bytes, const std::vector<Character>& characters,
                              bool strict) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return TextEncoding::Utf16;
    if (!strict) return TextEncoding::Cp866;
    bool multiByte = false, someUnheld = false, onlyLetters = true;
    for (const Character& c : characters) {
        if (c.code < 0x80) continue;
        multiByte = true;
        unsigned char byte;
        someUnheld = someUnheld || !cp1251Byte(c.code, byte);
    }
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) onlyLetters = onlyLetters && ((b <= 0xAF) || (b >= 0xE0 && b <= 0xF1));
    }
    if (!multiByte || (onlyLetters && someUnheld)) return TextEncoding::Cp866;
    return TextEncoding::Utf8;
}

void checkDecoding(const std::string& bytes, const std::vector<Character>& characters) {
    const auto doc = platform::decodeUtf8Document(bytes);
    check(doc.has_value());
    size_t first = 0;
    const bool bom = !characters.empty() && characters[0].code == 0xFEFF;
    if (bom) first = 1;
    check(doc->layout.byteOrderMark == bom);

    std::string text;
    int line = 1;
    bool kinds[3] = {};
    for (size_t i = first; i < characters.size(); ++i) {
        const char32_t code = characters[i].code;
        if (code == '\r' || code == '\n') {
            const bool crLf =
                code == '\r' && i + 1 < characters.size() && characters[i + 1].code == '\n';
            kinds[static_cast<int>(crLf           ? LineEnd::CrLf
                                   : code == '\n' ? LineEnd::Lf
                                                  : LineEnd::Cr)] = true;
            if (crLf) ++i;
            text.push_back('\n');
            ++line;
            continue;
        }
        unsigned char byte;
        if (code == 0 || code == 0x1A || !cp1251Byte(code, byte)) {
            check(doc->unheld.has_value() && doc->unheld->code == code &&
                  doc->unheld->line == line &&
                  doc->unheld->utf8 == bytes.substr(characters[i].offset, characters[i].length));
            check(doc->text.empty());
            return;
        }
        text.push_back(static_cast<char>(byte));
    }
    check(!doc->unheld);
    check(doc->text == text);
    const bool mixed = kinds[0] + kinds[1] + kinds[2] > 1;
    check(doc->mixedLineEnds == mixed);
    const std::string again = platform::encodeUtf8Document(doc->text, doc->layout);
    if (!mixed) {
        check(again == bytes);
    } else {
        const auto redone = platform::decodeUtf8Document(again);
        check(redone && redone->text == doc->text && !redone->mixedLineEnds &&
              redone->layout == doc->layout);
    }
}

// Any CP1251 text (no CR, nothing the decoder refuses) written out reads back as itself.
void checkEncoding(const std::string& bytes) {
    if (bytes.empty()) return;
    const auto plan = static_cast<unsigned char>(bytes[0]);
    platform::Utf8Layout layout{(plan & 1) != 0, static_cast<LineEnd>((plan >> 1) % 3),
                                (plan & 8) != 0};
    std::string text = bytes.substr(1);
    for (char& c : text)
        if (c == '\r' || c == 0 || c == 0x1A) c = ' ';
    const auto doc = platform::decodeUtf8Document(platform::encodeUtf8Document(text, layout));
    check(doc && !doc->unheld && !doc->mixedLineEnds);
    const bool gained = layout.lastLineEnds && !text.empty() && text.back() != '\n';
    check(doc->text == (gained ? text + "\n" : text));
    check(doc->layout.byteOrderMark == layout.byteOrderMark);
    if (doc->text.find('\n') != std::string::npos) check(doc->layout.lineEnd == layout.lineEnd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<Character> characters;
    const bool strict = readStrict(bytes, characters);
    const TextEncoding verdict = referenceVerdict(bytes, characters, strict);
    check(platform::detectEncoding(bytes) == verdict);
    const platform::TextReading reading = platform::readText(bytes);
    check(reading.encoding == verdict);
    if (verdict == TextEncoding::Utf8) {
        const auto doc = platform::decodeUtf8Document(bytes);
        check(reading.utf8.text == doc->text && reading.utf8.layout == doc->layout &&
              reading.utf8.unheld == doc->unheld &&
              reading.utf8.mixedLineEnds == doc->mixedLineEnds);
    }
    if (strict)
        checkDecoding(bytes, characters);
    else
        check(!platform::decodeUtf8Document(bytes));
    checkEncoding(bytes);
    return 0;
}
