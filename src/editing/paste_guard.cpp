#include "editing/paste_guard.h"

#include <QChar>
#include <array>

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

const char* texSpelling(char16_t ch) {
    for (const Spelling& s : kSpellings)
        if (s.ch == ch) return s.tex;
    return nullptr;
}

GuardedPaste guardPastedText(QStringView text, platform::TextEncoding encoding) {
    GuardedPaste result;
    result.text.reserve(text.size());
    const qsizetype n = text.size();
    // CP866 documents spell typographic characters even where CP866 holds them.
    const bool spellFirst = encoding == platform::TextEncoding::Cp866;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (ch == u'\u2029' || ch == u'\u2028') { // paragraph and line separators
            result.text.push_back(u'\n');
            continue;
        }
        char32_t code = ch;
        qsizetype length = 1;
        if (QChar::isHighSurrogate(ch) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(ch, text[i + 1].unicode());
            length = 2;
        }
        const bool held = code == u'\r' || code == u'\n' ||
                          (code != 0x1A && platform::holdsCharacter(encoding, code));
        if (held && !(spellFirst && texSpelling(ch))) {
            result.text.append(text.mid(i, length));
            i += length - 1;
            continue;
        }
        if (const char* tex = texSpelling(ch)) {
            result.text += QLatin1StringView(tex);
            ++result.changed;
            if (endsInControlWord(tex) && i + 1 < n &&
                needsGroupAfterControlWord(text[i + 1].unicode()))
                result.text += QLatin1StringView("{}");
            continue;
        }
        // One "?" for a character outside the Basic Multilingual Plane too.
        i += length - 1;
        result.text.push_back(u'?');
        ++result.changed;
        if (result.lost++ == 0) result.firstLost = code;
    }
    return result;
}

QString pasteNotice(const GuardedPaste& paste) {
    const QString first = platform::characterForMessage(paste.firstLost);
    if (paste.lost == 1) return QString::fromUtf8("Вставка: %1 заменён на «?»").arg(first);
    if (paste.lost > 1)
        return QString::fromUtf8("Вставка: %1 и ещё %2 заменены на «?»")
            .arg(first)
            .arg(paste.lost - 1);
    if (paste.changed > 0)
        return QString::fromUtf8("Вставка: заменено знаков: %1").arg(paste.changed);
    return {};
}

} // namespace editing
