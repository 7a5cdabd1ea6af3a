#include "platform/utf8_document.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/codepage.h"

namespace platform {
namespace {

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

constexpr std::array<Lead, 256> kLeads = makeLeads();

// The character of the strict UTF-8 sequence at p (*p >= 0x80) and the sequence's length;
// 0 when the bytes there are not one.
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

// The CP1251 byte of every character of the Basic Multilingual Plane; 0 where CP1251 has
// none (NUL is never looked up here: only characters of multi-byte sequences are).
struct Cp1251OfCode {
    std::array<unsigned char, 0x10000> bytes{};
    Cp1251OfCode() {
        for (char32_t code = 0x80; code < 0x10000; ++code) {
            unsigned char byte;
            if (unicodeToCp1251(static_cast<char16_t>(code), byte)) bytes[code] = byte;
        }
    }
    unsigned char operator()(char32_t code) const { return code < 0x10000 ? bytes[code] : 0; }
};

const Cp1251OfCode& cp1251OfCode() {
    static const Cp1251OfCode table;
    return table;
}

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
bool isStrict(const unsigned char* p, const unsigned char* end) {
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

struct Scan {
    bool strict = true;
    bool multiByte = false;
    bool onlyCp866Letters = true; // every byte above 0x7F
    bool someUnheld = false;      // a multi-byte character CP1251 lacks
};

Scan scan(const unsigned char* p, const unsigned char* end) {
    const Cp1251OfCode& held = cp1251OfCode();
    Scan result;
    // While the sequences are made of CP866 letters, note whether CP1251 lacks one of
    // their characters; from the first other byte on only strictness is left to find.
    for (p = skipAscii(p, end); p < end; p = skipAscii(p, end)) {
        char32_t code;
        const int length = sequenceAt(p, end, code);
        if (length == 0) {
            result.strict = false;
            return result;
        }
        if (!std::all_of(p, p + length, isCp866RussianLetter)) break;
        result.multiByte = true;
        result.someUnheld = result.someUnheld || held(code) == 0;
        p += length;
    }
    if (p < end) {
        result.onlyCp866Letters = false;
        result.multiByte = true;
        result.strict = isStrict(p, end);
    }
    return result;
}

// What an ASCII byte is to the decoder.
enum class AsciiClass : unsigned char { Plain, Cr, Lf, Unheld };

constexpr std::array<AsciiClass, 128> makeAsciiClasses() {
    std::array<AsciiClass, 128> classes{};
    classes['\r'] = AsciiClass::Cr;
    classes['\n'] = AsciiClass::Lf;
    classes[0x00] = AsciiClass::Unheld;
    classes[0x1A] = AsciiClass::Unheld;
    return classes;
}

constexpr std::array<AsciiClass, 128> kAsciiClasses = makeAsciiClasses();

// How often each kind of line end occurs and where it first did; picks the layout's kind.
class LineEndTally {
  public:
    void note(LineEnd kind) {
        const auto k = static_cast<size_t>(kind);
        if (counts_[k]++ == 0) firstSeen_[k] = total_;
        ++total_;
    }
    size_t total() const { return total_; }
    bool mixed() const { return (counts_[0] != 0) + (counts_[1] != 0) + (counts_[2] != 0) > 1; }
    LineEnd chosen() const {
        size_t best = 0;
        for (size_t k = 1; k < counts_.size(); ++k) {
            if (counts_[k] > counts_[best] || (counts_[k] == counts_[best] && counts_[k] != 0 &&
                                               firstSeen_[k] < firstSeen_[best]))
                best = k;
        }
        return counts_[best] == 0 ? LineEnd::CrLf : static_cast<LineEnd>(best);
    }

  private:
    std::array<size_t, 3> counts_{};
    std::array<size_t, 3> firstSeen_{};
    size_t total_ = 0;
};

// Each CP1251 byte as UTF-8: up to three bytes and their count.
struct Utf8Bytes {
    std::array<char, 3> bytes{};
    unsigned char length = 0;
};

std::array<Utf8Bytes, 256> makeUtf8OfCp1251() {
    std::array<Utf8Bytes, 256> table{};
    for (int b = 0; b < 256; ++b) {
        const char32_t code = cp1251ToUnicode(static_cast<unsigned char>(b));
        Utf8Bytes& out = table[static_cast<size_t>(b)];
        if (code < 0x80) {
            out.bytes = {static_cast<char>(code), 0, 0};
            out.length = 1;
        } else if (code < 0x800) {
            out.bytes = {static_cast<char>(0xC0 | code >> 6),
                         static_cast<char>(0x80 | (code & 0x3F)), 0};
            out.length = 2;
        } else {
            out.bytes = {static_cast<char>(0xE0 | code >> 12),
                         static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                         static_cast<char>(0x80 | (code & 0x3F))};
            out.length = 3;
        }
    }
    return table;
}

} // namespace

TextEncoding detectEncoding(std::string_view fileBytes) {
    if (fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF"))
        return TextEncoding::Utf16;
    const auto* begin = reinterpret_cast<const unsigned char*>(fileBytes.data());
    const Scan found = scan(begin, begin + fileBytes.size());
    if (!found.strict || !found.multiByte) return TextEncoding::Cp866;
    if (found.onlyCp866Letters && found.someUnheld) return TextEncoding::Cp866;
    return TextEncoding::Utf8;
}

std::optional<Utf8Document> decodeUtf8Document(std::string_view fileBytes) {
    Utf8Document doc;
    if (fileBytes.starts_with(kUtf8ByteOrderMark)) {
        doc.layout.byteOrderMark = true;
        fileBytes.remove_prefix(kUtf8ByteOrderMark.size());
    }
    const auto* p = reinterpret_cast<const unsigned char*>(fileBytes.data());
    const auto* const end = p + fileBytes.size();
    const Cp1251OfCode& held = cp1251OfCode();
    LineEndTally lineEnds;
    doc.text.resize(fileBytes.size());
    char* out = doc.text.data();

    // Records the character at p, then only checks the rest is strict UTF-8.
    const auto refuse = [&](char32_t code, int length) -> std::optional<Utf8Document> {
        if (!isStrict(p + length, end)) return std::nullopt;
        doc.unheld = UnheldCharacter{
            code, std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(length)),
            static_cast<int>(lineEnds.total()) + 1};
        doc.text.clear();
        return std::move(doc);
    };

    while (p < end) {
        const unsigned char byte = *p;
        if (byte >= 0x20 && byte < 0x80) { // printable ASCII, most of TeX
            *out++ = static_cast<char>(byte);
            ++p;
            continue;
        }
        if (byte < 0x80) {
            switch (kAsciiClasses[byte]) {
            case AsciiClass::Plain:
                *out++ = static_cast<char>(byte);
                ++p;
                continue;
            case AsciiClass::Cr:
                if (end - p >= 2 && p[1] == '\n') {
                    lineEnds.note(LineEnd::CrLf);
                    p += 2;
                } else {
                    lineEnds.note(LineEnd::Cr);
                    ++p;
                }
                break;
            case AsciiClass::Lf:
                lineEnds.note(LineEnd::Lf);
                ++p;
                break;
            case AsciiClass::Unheld:
                return refuse(byte, 1);
            }
            *out++ = '\n';
            continue;
        }
        char32_t code;
        int length;
        if (isTwoByteLead(byte) && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
            code = static_cast<char32_t>((byte & 0x1F) << 6 | (p[1] & 0x3F));
            length = 2;
        } else {
            length = sequenceAt(p, end, code);
            if (length == 0) return std::nullopt;
        }
        const unsigned char cp1251 = held(code);
        if (cp1251 == 0) return refuse(code, length);
        *out++ = static_cast<char>(cp1251);
        p += length;
    }
    doc.text.resize(static_cast<size_t>(out - doc.text.data()));
    doc.layout.lineEnd = lineEnds.chosen();
    doc.layout.lastLineEnds = doc.text.empty() || doc.text.back() == '\n';
    doc.mixedLineEnds = lineEnds.mixed();
    return doc;
}

std::string encodeUtf8Document(std::string_view cp1251Text, const Utf8Layout& layout) {
    static const std::array<Utf8Bytes, 256> utf8OfCp1251 = makeUtf8OfCp1251();
    std::array<Utf8Bytes, 256> table = utf8OfCp1251;
    Utf8Bytes& lineEnd = table['\n'];
    switch (layout.lineEnd) {
    case LineEnd::CrLf:
        lineEnd = {{'\r', '\n', 0}, 2};
        break;
    case LineEnd::Lf:
        lineEnd = {{'\n', 0, 0}, 1};
        break;
    case LineEnd::Cr:
        lineEnd = {{'\r', 0, 0}, 1};
        break;
    }
    const bool gainsLineEnd =
        layout.lastLineEnds && !cp1251Text.empty() && cp1251Text.back() != '\n';

    // Room for the longest form (three bytes a character); every entry is copied whole
    // and the end moves on by its length.
    std::string bytes(kUtf8ByteOrderMark.size() + 3 * cp1251Text.size() + 3, '\0');
    char* out = bytes.data();
    if (layout.byteOrderMark) {
        std::memcpy(out, kUtf8ByteOrderMark.data(), kUtf8ByteOrderMark.size());
        out += kUtf8ByteOrderMark.size();
    }
    for (const char c : cp1251Text) {
        const Utf8Bytes& u = table[static_cast<unsigned char>(c)];
        std::memcpy(out, u.bytes.data(), 3);
        out += u.length;
    }
    if (gainsLineEnd) {
        std::memcpy(out, lineEnd.bytes.data(), 3);
        out += lineEnd.length;
    }
    bytes.resize(static_cast<size_t>(out - bytes.data()));
    return bytes;
}

TextReading readText(std::string_view fileBytes) {
    if (fileBytes.starts_with("\xFF\xFE") || fileBytes.starts_with("\xFE\xFF"))
        return {TextEncoding::Utf16, {}};
    std::optional<Utf8Document> doc = decodeUtf8Document(fileBytes);
    if (!doc) return {TextEncoding::Cp866, {}};
    // A refused document may yet be short CP866 Russian: the verdict decides.
    if (doc->unheld && detectEncoding(fileBytes) == TextEncoding::Cp866)
        return {TextEncoding::Cp866, {}};
    // Every character above U+007F became a byte above 0x7F.
    const auto* text = reinterpret_cast<const unsigned char*>(doc->text.data());
    const bool multiByte = doc->layout.byteOrderMark || doc->unheld ||
                           skipAscii(text, text + doc->text.size()) != text + doc->text.size();
    if (!multiByte) return {TextEncoding::Cp866, {}};
    return {TextEncoding::Utf8, std::move(*doc)};
}

QString unicodeCodeName(char32_t code) {
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
}

QString unheldCharacterMessage(const QString& fileName, const UnheldCharacter& unheld) {
    const auto text = [](std::u16string_view message) {
        return QString::fromUtf16(message.data(), static_cast<qsizetype>(message.size()));
    };
    const QString line = QString::number(unheld.line);
    switch (QChar::category(unheld.code)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return text(kUnheldInvisibleCharacterMessage)
            .arg(fileName, unicodeCodeName(unheld.code), line);
    default:
        return text(kUnheldCharacterMessage)
            .arg(fileName, QString::fromUcs4(&unheld.code, 1), unicodeCodeName(unheld.code), line);
    }
}

QString utf16Message(const QString& fileName) {
    return QString::fromUtf16(kUtf16Message.data(), static_cast<qsizetype>(kUtf16Message.size()))
        .arg(fileName);
}

} // namespace platform
