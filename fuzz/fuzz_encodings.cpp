// Recognising an encoding and decoding in each one, on any bytes: checked against a plain
// reading (UTF-8 code point by code point, an 8-bit code page byte by byte); a text decoded
// with one kind of line end must be written back as the same bytes, and any text written in
// an encoding that holds it must read back as itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/recognition.h"
#include "platform/text_encoding.h"
#include "platform/utf8.h"

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

// The text and line ends of characters (code points of UTF-8, or bytes of a code page) by
// the rules every decoder follows: CR LF, CR and LF each end a line, 0x1A ends the text.
struct Reference {
    std::u32string text;
    bool kinds[3] = {};
    bool nul = false, afterMark = false;
};

Reference referenceOf(const std::vector<char32_t>& characters) {
    Reference r;
    for (size_t i = 0; i < characters.size(); ++i) {
        const char32_t c = characters[i];
        if (c == 0x1A) {
            for (size_t k = i; k < characters.size(); ++k) {
                r.nul = r.nul || characters[k] == 0;
                r.afterMark = r.afterMark || characters[k] != 0x1A;
            }
            break;
        }
        r.nul = r.nul || c == 0;
        if (c == '\r' || c == '\n') {
            const bool crLf = c == '\r' && i + 1 < characters.size() && characters[i + 1] == '\n';
            r.kinds[static_cast<int>(crLf        ? LineEnd::CrLf
                                     : c == '\n' ? LineEnd::Lf
                                                 : LineEnd::Cr)] = true;
            if (crLf) ++i;
            r.text.push_back('\n');
        } else {
            r.text.push_back(c);
        }
    }
    return r;
}

void checkDecoding(const std::string& bytes, TextEncoding encoding,
                   const std::vector<char32_t>& characters) {
    const Reference r = referenceOf(characters);
    const platform::Decoding decoding = platform::decodeText(bytes, encoding);
    if (r.nul) return check(decoding.refusal == platform::DecodeRefusal::NulByte);
    if (r.afterMark) return check(decoding.refusal == platform::DecodeRefusal::TextAfterEndMark);
    check(decoding.refusal == platform::DecodeRefusal::None);
    const QString& text = decoding.decoded.text;
    check(text.toStdU32String() == r.text);
    const bool mixed = r.kinds[0] + r.kinds[1] + r.kinds[2] > 1;
    check(decoding.decoded.mixedLineEnds == mixed);
    const platform::FileBytes again = platform::writeText(text, encoding, decoding.decoded.layout);
    // An empty text is never written: the file on disk stays as it is.
    if (text.isEmpty()) return check(again.empty());
    if (!mixed) {
        check(again.bytes() == bytes);
    } else {
        const platform::Decoding redone = platform::decodeText(again.bytes(), encoding);
        check(redone.decoded.text == text && !redone.decoded.mixedLineEnds &&
              redone.decoded.layout == decoding.decoded.layout);
    }
}

// Any text an encoding holds (no CR, NUL or 0x1A) written out reads back as itself.
void checkWriting(const std::string& bytes) {
    if (bytes.size() < 2) return;
    const auto plan = static_cast<unsigned char>(bytes[0]);
    const auto encoding = static_cast<TextEncoding>(plan % 4);
    platform::FileLayout layout{encoding == TextEncoding::Utf8 && (plan & 4) != 0,
                                static_cast<LineEnd>((plan >> 3) % 3), (plan & 32) != 0,
                                static_cast<uint32_t>(plan >> 6)};
    QString text = QString::fromUtf8(bytes.data() + 1, static_cast<qsizetype>(bytes.size() - 1));
    for (QChar& c : text)
        if (c == u'\r' || c == u'\0' || c == QChar(0x1A) ||
            (!c.isSurrogate() && !platform::holdsCharacter(encoding, c.unicode()) && c != u'\n'))
            c = u' ';
    // A UTF-8 text beginning with U+FEFF is written as a file that begins with a byte-order
    // mark, which reads back as one.
    if (text.startsWith(QChar(0xFEFF))) text[0] = u' ';
    const bool ended = text.isEmpty() || text.back() == u'\n';
    platform::FileBytes written;
    try {
        written = platform::writeText(text, encoding, layout);
    } catch (const platform::UnheldCharacterError&) {
        return; // a lone surrogate
    }
    if (written.empty()) return check(text.isEmpty());
    const platform::Decoding read = platform::decodeText(written.bytes(), encoding);
    check(read.refusal == platform::DecodeRefusal::None && !read.decoded.mixedLineEnds);
    const bool gained = layout.lastLineEnds && !ended;
    check(read.decoded.text == (gained ? text + u'\n' : text));
    check(read.decoded.layout.byteOrderMark == layout.byteOrderMark);
    check(read.decoded.layout.endMarks == layout.endMarks);
    if (read.decoded.text.contains(u'\n')) check(read.decoded.layout.lineEnd == layout.lineEnd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const platform::Recognition recognised = platform::recogniseEncoding(bytes);
    check(recognised.utf16 == (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")));

    std::vector<Character> characters;
    const bool strict = readStrict(bytes, characters);
    check(platform::utf8::isStrict(bytes) == strict);
    // What is recognised as UTF-8 decodes as UTF-8.
    if (!recognised.utf16 && recognised.encoding == TextEncoding::Utf8) check(strict);
    if (strict) {
        std::vector<char32_t> codes;
        const bool bom = !characters.empty() && characters[0].code == 0xFEFF &&
                         bytes.starts_with(platform::kUtf8ByteOrderMark);
        for (size_t i = bom ? 1 : 0; i < characters.size(); ++i)
            codes.push_back(characters[i].code);
        checkDecoding(bytes, TextEncoding::Utf8, codes);
    } else {
        check(platform::decodeText(bytes, TextEncoding::Utf8).refusal ==
              platform::DecodeRefusal::NotUtf8);
    }
    for (const TextEncoding encoding :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        const auto& table = *platform::encodingOf(encoding).characters;
        std::vector<char32_t> codes;
        for (char c : bytes)
            codes.push_back(table[static_cast<unsigned char>(c)]);
        checkDecoding(bytes, encoding, codes);
    }
    checkWriting(bytes);
    return 0;
}
