#include "editing/paste_guard.h"

#include <QChar>
#include <array>

#include "platform/codepage.h"

namespace editing {
namespace {

struct Spelling {
    char16_t ch;
    const char* tex;
};

constexpr std::array<Spelling, 13> kSpellings = {{
    {u'\u00AB', "<<"},      // «
    {u'\u00BB', ">>"},      // »
    {u'\u2014', "---"},     // —
    {u'\u2013', "--"},      // –
    {u'\u2026', "\\ldots"}, // …
    {u'\u201C', "``"},      // “
    {u'\u201D', "''"},      // ”
    {u'\u201E', ",,"},      // „
    {u'\u2018', "`"},       // ‘
    {u'\u2019', "'"},       // ’
    {u'\u00A0', "~"},       // non-breaking space
    {u'\u00AD', "\\-"},     // soft hyphen
    {u'\u00A7', "\\S"},     // §
}};

bool isCp1251RussianLetter(unsigned char b) {
    return b >= 0xC0 || b == 0xA8 || b == 0xB8;
}

// Where CP866 keeps its Russian letters: А..п, р..я, Ё, ё.
bool isCp866RussianLetter(unsigned char b) {
    return (b >= 0x80 && b <= 0xAF) || (b >= 0xE0 && b <= 0xF1);
}

bool isAsciiLetter(char16_t ch) {
    return (ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z');
}

// A control word such as \ldots would swallow a following Latin letter into its name,
// and TeX drops the blank after it; an empty group keeps both.
bool endsInControlWord(const char* tex) {
    std::string_view s(tex);
    if (s.size() < 2 || s[0] != '\\') return false;
    for (size_t i = 1; i < s.size(); ++i)
        if (!isAsciiLetter(static_cast<char16_t>(s[i]))) return false;
    return true;
}

bool needsGroupAfterControlWord(char16_t next) {
    return isAsciiLetter(next) || next == u' ' || next == u'\t' || next == u'\n' || next == u'\r';
}

} // namespace

bool survivesCp866RoundTrip(unsigned char byte) {
    return byte < 0x80 || isCp1251RussianLetter(byte) || !isCp866RussianLetter(byte);
}

const char* texSpelling(char16_t ch) {
    for (const Spelling& s : kSpellings)
        if (s.ch == ch) return s.tex;
    return nullptr;
}

GuardedPaste guardPastedText(QStringView text, bool utf8Document) {
    GuardedPaste result;
    result.text.reserve(static_cast<size_t>(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (ch == u'\u2029' || ch == u'\u2028') { // paragraph and line separators
            result.text.push_back('\n');
            continue;
        }
        unsigned char byte;
        const bool held = platform::unicodeToCp1251(ch, byte);
        if (held && utf8Document) {
            result.text.push_back(static_cast<char>(byte));
            continue;
        }
        if (const char* tex = texSpelling(ch)) {
            result.text += tex;
            ++result.changed;
            if (endsInControlWord(tex) && i + 1 < n &&
                needsGroupAfterControlWord(text[i + 1].unicode()))
                result.text += "{}";
            continue;
        }
        if (held && survivesCp866RoundTrip(byte)) {
            result.text.push_back(static_cast<char>(byte));
            continue;
        }
        // One "?" for a character outside the Basic Multilingual Plane too.
        if (QChar::isHighSurrogate(ch) && i + 1 < n && text[i + 1].isLowSurrogate()) ++i;
        result.text.push_back('?');
        ++result.changed;
    }
    return result;
}

} // namespace editing
