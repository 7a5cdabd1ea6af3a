#include "platform/text_encoding.h"

#include <QChar>
#include <algorithm>
#include <bit>
#include <mutex>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace platform {
namespace {

// The upper halves of the two DOS and Unix Cyrillic code pages, eight to a row as in a
// code-page chart; the lower halves are ASCII.
// clang-format off
constexpr std::array<char16_t, 128> kCp866High = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};
constexpr std::array<char16_t, 128> kKoi8rHigh = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,
};
// clang-format on

constexpr std::array<char16_t, 256> withAscii(const std::array<char16_t, 128>& high) {
    std::array<char16_t, 256> table{};
    for (size_t b = 0; b < 128; ++b) {
        table[b] = static_cast<char16_t>(b);
        table[b + 128] = high[b];
    }
    return table;
}

constexpr std::array<char16_t, 256> kCp866 = withAscii(kCp866High);
constexpr std::array<char16_t, 256> kKoi8r = withAscii(kKoi8rHigh);
const std::array<char16_t, 256> kCp1251 = [] {
    std::array<char16_t, 256> table{};
    for (size_t b = 0; b < table.size(); ++b)
        table[b] = cp1251ToUnicode(static_cast<unsigned char>(b));
    return table;
}();

// In the order of TextEncoding.
const std::array<Encoding, 4> kEncodings = {{
    {TextEncoding::Cp866, "CP866", "cp866", LineEnd::CrLf, &kCp866},
    {TextEncoding::Utf8, "UTF-8", "utf8", LineEnd::Lf, nullptr},
    {TextEncoding::Cp1251, "CP1251", "cp1251", LineEnd::CrLf, &kCp1251},
    {TextEncoding::Koi8r, "KOI8-R", "koi8-r", LineEnd::Lf, &kKoi8r},
}};

struct Alias {
    std::string_view name;
    TextEncoding encoding;
};

// Names TeX sources use besides the inputenc options (the magic comment's, iconv's).
constexpr std::array<Alias, 12> kAliases = {{
    {"utf-8", TextEncoding::Utf8},
    {"utf8x", TextEncoding::Utf8},
    {"windows-1251", TextEncoding::Cp1251},
    {"win1251", TextEncoding::Cp1251},
    {"cp-1251", TextEncoding::Cp1251},
    {"koi8r", TextEncoding::Koi8r},
    {"koi8-ru", TextEncoding::Koi8r},
    {"ibm866", TextEncoding::Cp866},
    {"cp866nav", TextEncoding::Cp866},
    {"cp866av", TextEncoding::Cp866},
    {"cp866mav", TextEncoding::Cp866},
    {"dos-866", TextEncoding::Cp866},
}};

bool sameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// How often each kind of line end occurs and where it first did; picks the layout's kind.
class LineEndTally {
  public:
    void note(LineEnd kind) {
        const auto k = static_cast<size_t>(kind);
        if (counts_[k]++ == 0) firstSeen_[k] = total_;
        ++total_;
    }
    bool mixed() const { return (counts_[0] != 0) + (counts_[1] != 0) + (counts_[2] != 0) > 1; }
    LineEnd chosen(LineEnd none) const {
        size_t best = 0;
        for (size_t k = 1; k < counts_.size(); ++k) {
            if (counts_[k] > counts_[best] || (counts_[k] == counts_[best] && counts_[k] != 0 &&
                                               firstSeen_[k] < firstSeen_[best]))
                best = k;
        }
        return counts_[best] == 0 ? none : static_cast<LineEnd>(best);
    }

  private:
    std::array<size_t, 3> counts_{};
    std::array<size_t, 3> firstSeen_{};
    size_t total_ = 0;
};

// What a control byte is to the decoders; every byte from 0x20 on is text.
enum class Control : unsigned char { Text, Cr, Lf, Nul, EndMark };

constexpr std::array<Control, 32> makeControls() {
    std::array<Control, 32> controls{};
    controls['\r'] = Control::Cr;
    controls['\n'] = Control::Lf;
    controls[0x00] = Control::Nul;
    controls[0x1A] = Control::EndMark;
    return controls;
}

constexpr std::array<Control, 32> kControls = makeControls();

// The decoders' common part: the text written so far, the line ends, and the end of the
// text at 0x1A.
class TextBuilder {
  public:
    TextBuilder(size_t room, TextEncoding encoding) : encoding_(encoding) {
        result_.decoded.text.resize(static_cast<qsizetype>(room));
        out_ = result_.decoded.text.data();
    }
    void put(char16_t u) { *out_++ = QChar(u); }
    // A control byte at p; returns how many bytes it took, or 0 when decoding stops there
    // (result() then tells why).
    size_t control(const unsigned char* p, const unsigned char* end) {
        switch (kControls[*p]) {
        case Control::Text:
            put(*p);
            return 1;
        case Control::Cr:
            put(u'\n');
            if (end - p >= 2 && p[1] == '\n') {
                lineEnds_.note(LineEnd::CrLf);
                return 2;
            }
            lineEnds_.note(LineEnd::Cr);
            return 1;
        case Control::Lf:
            put(u'\n');
            lineEnds_.note(LineEnd::Lf);
            return 1;
        case Control::Nul:
            result_.refusal = DecodeRefusal::NulByte;
            return 0;
        case Control::EndMark:
            break;
        }
        // 0x1A ends the text; what follows must be more of it.
        if (std::find(p, end, '\0') != end)
            result_.refusal = DecodeRefusal::NulByte;
        else if (std::any_of(p, end, [](unsigned char b) { return b != 0x1A; }))
            result_.refusal = DecodeRefusal::TextAfterEndMark;
        else
            result_.decoded.layout.endMarks = static_cast<uint32_t>(end - p);
        return 0;
    }
    void refuse(DecodeRefusal refusal) { result_.refusal = refusal; }
    Decoding finish() {
        if (result_.refusal != DecodeRefusal::None) {
            result_.decoded.text.clear();
            return std::move(result_);
        }
        QString& text = result_.decoded.text;
        text.resize(static_cast<qsizetype>(out_ - text.data()));
        FileLayout& layout = result_.decoded.layout;
        layout.lineEnd = lineEnds_.chosen(encodingOf(encoding_).newLineEnd);
        layout.lastLineEnds = text.isEmpty() || text.back() == u'\n';
        result_.decoded.mixedLineEnds = lineEnds_.mixed();
        return std::move(result_);
    }
    DecodedText& decoded() { return result_.decoded; }

  private:
    TextEncoding encoding_;
    Decoding result_;
    QChar* out_ = nullptr;
    LineEndTally lineEnds_;
};

Decoding decodeEightBit(std::string_view bytes, TextEncoding encoding) {
    const std::array<char16_t, 256>& characters = *encodingOf(encoding).characters;
    TextBuilder builder(bytes.size(), encoding);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        if (*p >= 0x20) {
            builder.put(characters[*p++]);
            continue;
        }
        const size_t taken = builder.control(p, end);
        if (taken == 0) break;
        p += taken;
    }
    return builder.finish();
}

Decoding decodeUtf8(std::string_view bytes) {
    const bool byteOrderMark = bytes.starts_with(kUtf8ByteOrderMark);
    if (byteOrderMark) bytes.remove_prefix(kUtf8ByteOrderMark.size());
    // A UTF-16 unit for every byte is room enough: a sequence is at least as long as the
    // units it gives.
    TextBuilder builder(bytes.size(), TextEncoding::Utf8);
    builder.decoded().layout.byteOrderMark = byteOrderMark;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char byte = *p;
        if (byte >= 0x20 && byte < 0x80) { // printable ASCII, most of TeX
            builder.put(byte);
            ++p;
            continue;
        }
        if (byte < 0x20) {
            const size_t taken = builder.control(p, end);
            if (taken == 0) {
                // Only strict UTF-8 is refused for a character; elsewhere it is not UTF-8.
                if (!utf8::isStrict(std::string_view(reinterpret_cast<const char*>(p + 1),
                                                     static_cast<size_t>(end - p - 1))))
                    builder.refuse(DecodeRefusal::NotUtf8);
                break;
            }
            p += taken;
            continue;
        }
        char32_t code;
        const int length = utf8::sequenceAt(p, end, code);
        if (length == 0) {
            builder.refuse(DecodeRefusal::NotUtf8);
            break;
        }
        if (code < 0x10000) {
            builder.put(static_cast<char16_t>(code));
        } else {
            builder.put(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            builder.put(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        }
        p += length;
    }
    return builder.finish();
}

std::array<unsigned char, 65536> makeBytesOfUnits(const std::array<char16_t, 256>& characters) {
    std::array<unsigned char, 65536> bytes{};
    for (size_t b = 1; b < characters.size(); ++b)
        bytes[characters[b]] = static_cast<unsigned char>(b);
    return bytes;
}

QString fromUtf16(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

QString unheldMessage(TextEncoding encoding, const UnheldCharacter& unheld) {
    return fromUtf16(u"В тексте есть знак %1 в строке %2, которого нет в кодировке %3.")
        .arg(characterForMessage(unheld.code), QString::number(unheld.line),
             QString::fromLatin1(encodingOf(encoding).name.data(),
                                 static_cast<qsizetype>(encodingOf(encoding).name.size())));
}

} // namespace

const Encoding& encodingOf(TextEncoding id) {
    return kEncodings[static_cast<size_t>(id)];
}

std::span<const Encoding> encodings() {
    return kEncodings;
}

std::optional<TextEncoding> encodingNamed(std::string_view name) {
    for (const Encoding& encoding : kEncodings)
        if (sameName(name, encoding.inputenc)) return encoding.id;
    for (const Alias& alias : kAliases)
        if (sameName(name, alias.name)) return alias.encoding;
    return std::nullopt;
}

FileLayout newFileLayout(TextEncoding encoding) {
    FileLayout layout;
    layout.lineEnd = encodingOf(encoding).newLineEnd;
    return layout;
}

Decoding decodeText(std::string_view fileBytes, TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? decodeUtf8(fileBytes)
                                          : decodeEightBit(fileBytes, encoding);
}

bool holdsCharacter(TextEncoding encoding, char32_t code) {
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    if (encoding == TextEncoding::Utf8) return true;
    return code < 0x10000 && detail::bytesOfUnits(encoding)[code] != 0;
}

std::optional<UnheldCharacter> firstUnheldCharacter(QStringView text, TextEncoding encoding) {
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (code == u'\n') {
            ++line;
            continue;
        }
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
            ++i;
        }
        if (!holdsCharacter(encoding, code)) return UnheldCharacter{code, line};
    }
    return std::nullopt;
}

QString unicodeCodeName(char32_t code) {
    return QStringLiteral("U+") + QString::number(code, 16).toUpper().rightJustified(4, u'0');
}

QString characterForMessage(char32_t code) {
    switch (QChar::category(code)) {
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
        return unicodeCodeName(code);
    default:
        return QStringLiteral("«") + QString::fromUcs4(&code, 1) + QStringLiteral("» (") +
               unicodeCodeName(code) + QLatin1Char(')');
    }
}

UnheldCharacterError::UnheldCharacterError(TextEncoding encoding, UnheldCharacter unheld)
    : UnicodeRuntimeError(unheldMessage(encoding, unheld)), encoding_(encoding), unheld_(unheld) {}

FileBytes writeText(QStringView text, TextEncoding encoding, const FileLayout& layout) {
    return writeText(
        [text](auto&& character, auto&& lineBreak) {
            for (const QChar ch : text) {
                if (ch == u'\n')
                    lineBreak();
                else
                    character(ch.unicode());
            }
        },
        static_cast<size_t>(text.size()) * 2, encoding, layout);
}

namespace detail {

const std::array<unsigned char, 65536>& bytesOfUnits(TextEncoding encoding) {
    // Built the first time each is asked for; UTF-8 has none.
    static std::array<std::unique_ptr<std::array<unsigned char, 65536>>, 4> tables;
    static std::once_flag built[4];
    const auto index = static_cast<size_t>(encoding);
    std::call_once(built[index], [&] {
        tables[index] = std::make_unique<std::array<unsigned char, 65536>>(
            makeBytesOfUnits(*encodingOf(encoding).characters));
    });
    return *tables[index];
}

const std::array<uint32_t, 65536>& utf8OfUnits() {
    static_assert(std::endian::native == std::endian::little, "entries are stored low byte first");
    static const std::array<uint32_t, 65536> table = [] {
        std::array<uint32_t, 65536> t{};
        for (uint32_t u = 1; u < t.size(); ++u) {
            if (u >= 0xD800 && u <= 0xDFFF) continue;
            if (u < 0x80)
                t[u] = 1u << 24 | u;
            else if (u < 0x800)
                t[u] = 2u << 24 | (0x80 | (u & 0x3F)) << 8 | (0xC0 | u >> 6);
            else
                t[u] = 3u << 24 | (0x80 | (u & 0x3F)) << 16 | (0x80 | (u >> 6 & 0x3F)) << 8 |
                       (0xE0 | u >> 12);
        }
        return t;
    }();
    return table;
}

std::string_view lineEndBytes(LineEnd lineEnd) {
    switch (lineEnd) {
    case LineEnd::Lf:
        return "\n";
    case LineEnd::Cr:
        return "\r";
    case LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

} // namespace detail

} // namespace platform
