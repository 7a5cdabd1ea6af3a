#pragma once
// The encodings a document's file may be in, behind one interface. Each is one entry of the
// table below: its names, the line end a new file of it takes, and for an 8-bit code page the
// character of each byte. Decoding a file, writing it back, recognising it (recognition.h)
// and the caption all go through the entry, so a further code page is one more entry.
//
// A file's text reaches the editor as Unicode ("\n" ends a line) together with its
// FileLayout: what the text alone does not say about the file's bytes. Writing the same text
// with the same layout gives the same bytes back, for every file decodeText accepts that has
// a single kind of line end.
#include <QString>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/errors.h"

namespace platform {

// In the order the menus offer them.
enum class TextEncoding : unsigned char { Cp866, Utf8, Cp1251, Koi8r };

enum class LineEnd : unsigned char { CrLf, Lf, Cr };

struct Encoding {
    TextEncoding id;
    std::string_view name;     // as the caption and the menus show it: "KOI8-R"
    std::string_view inputenc; // the option of \usepackage[...]{inputenc} that declares it
    LineEnd newLineEnd;        // a new file's, and that of a file without any line end
    // An 8-bit code page's character of every byte; null for UTF-8.
    const std::array<char16_t, 256>* characters;
};

const Encoding& encodingOf(TextEncoding id);
// Every encoding, in the order of TextEncoding.
std::span<const Encoding> encodings();
// The encoding of a name as TeX sources write it (the inputenc option, or a common alias
// such as "windows-1251", "IBM866", "UTF-8"), ignoring case; nullopt for any other name.
std::optional<TextEncoding> encodingNamed(std::string_view name);

// The UTF-8 byte-order mark (and the mark a stored path in UTF-8 begins with).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// How a file lays its text out, kept from reading to writing.
struct FileLayout {
    bool byteOrderMark = false; // UTF-8 only
    // The line end written after every line. A file with one kind keeps it; a file with
    // several takes the most frequent (on a tie the one met first); a file without any
    // takes its encoding's newLineEnd.
    LineEnd lineEnd = LineEnd::CrLf;
    // False when the file's last line had no line end: a text whose last line has none is
    // then written without one; otherwise that line gains one. A line break the text ends
    // with is always written.
    bool lastLineEnds = true;
    // The bytes 0x1A (Ctrl+Z) that padded the file after its text, written back after it.
    uint32_t endMarks = 0;

    bool operator==(const FileLayout&) const = default;
};

// The layout of a new file of an encoding.
FileLayout newFileLayout(TextEncoding encoding);

struct DecodedText {
    QString text; // every line end of the file (CR LF, LF or a lone CR) is one "\n"
    FileLayout layout;
    bool mixedLineEnds = false; // the only files not written back byte for byte
};

// Why a file's bytes give no text in an encoding.
enum class DecodeRefusal : unsigned char {
    None,
    NotUtf8,          // not strict UTF-8 (UTF-8 only)
    NulByte,          // the editor holds no NUL character
    TextAfterEndMark, // something but more 0x1A after the first 0x1A, which ends the text
};

struct Decoding {
    DecodedText decoded;
    DecodeRefusal refusal = DecodeRefusal::None;
};

// The text of a file's bytes in an encoding, in one pass. A UTF-8 byte-order mark is left
// out of the text (UTF-8 only; in an 8-bit code page its bytes are characters).
Decoding decodeText(std::string_view fileBytes, TextEncoding encoding);

// True when an encoding holds a character (a code point; surrogates are held by none).
bool holdsCharacter(TextEncoding encoding, char32_t code);

// The first character of a text that an encoding cannot hold, with its line (from 1).
struct UnheldCharacter {
    char32_t code = 0;
    int line = 0;
    bool operator==(const UnheldCharacter&) const = default;
};
std::optional<UnheldCharacter> firstUnheldCharacter(QStringView text, TextEncoding encoding);

// The code as messages show it: "U+" and at least four upper-case hex digits.
QString unicodeCodeName(char32_t code);
// The character in words for a message: «Σ» (U+03A3), or the code alone for a character that
// shows as nothing (a control, format or combining character, a space).
QString characterForMessage(char32_t code);

// Thrown by writeText: the text holds a character the file's encoding cannot hold. Nothing
// has been written.
class UnheldCharacterError : public UnicodeRuntimeError {
  public:
    UnheldCharacterError(TextEncoding encoding, UnheldCharacter unheld);
    TextEncoding encoding() const { return encoding_; }
    const UnheldCharacter& unheld() const { return unheld_; }

  private:
    TextEncoding encoding_;
    UnheldCharacter unheld_;
};

// --- Writing

// A written file's bytes, written straight into room kept for their longest form.
class FileBytes {
  public:
    FileBytes() = default;
    FileBytes(std::unique_ptr<char[]> data, size_t size) : data_(std::move(data)), size_(size) {}
    std::string_view bytes() const { return {data_.get(), size_}; }
    bool empty() const { return size_ == 0; }

  private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

// Limits of a written file, checked in characters (UTF-16 units) on the way; past them
// writeText throws RangeCheckError before anything is written.
struct LineLimits {
    int lines = 0x7FFFFFFF;
    size_t lineLength = static_cast<size_t>(-1);
};

namespace detail {

// An 8-bit code page's byte of every UTF-16 unit; 0 where it has none (NUL is never held).
const std::array<unsigned char, 65536>& bytesOfUnits(TextEncoding encoding);
// UTF-8 of every unit of the Basic Multilingual Plane: the bytes in the low three bytes of
// an entry, their count in the high one; 0 for a surrogate and for NUL.
const std::array<uint32_t, 65536>& utf8OfUnits();
std::string_view lineEndBytes(LineEnd lineEnd);

// Writes the characters of one encoding; fail(code) is called for one it cannot hold.
struct EightBitWriter {
    static constexpr size_t kMaxUnitBytes = 1;
    const std::array<unsigned char, 65536>& table;
    template <typename Fail> void put(char16_t u, char*& out, Fail&& fail) {
        const unsigned char byte = table[u];
        if (byte == 0) fail(static_cast<char32_t>(u));
        *out++ = static_cast<char>(byte);
    }
    template <typename Fail> void finish(Fail&&) {}
};

struct Utf8Writer {
    // One byte more than a unit's longest form (a BMP character's three bytes, or the four
    // of a surrogate pair over its two units): each is written as one four-byte store.
    static constexpr size_t kMaxUnitBytes = 4;
    const std::array<uint32_t, 65536>& table = utf8OfUnits();
    char16_t high = 0; // a high surrogate waiting for its low one

    // A high surrogate that no low one follows is refused at the next surrogate, line break
    // or the end (finish), before anything is written: the usual character takes one test.
    template <typename Fail> void put(char16_t u, char*& out, Fail&& fail) {
        const uint32_t entry = table[u];
        if (entry != 0) {
            std::memcpy(out, &entry, sizeof entry);
            out += entry >> 24;
            return;
        }
        putSurrogate(u, out, fail);
    }
    // A surrogate, or a unit after a high surrogate; fail throws.
    template <typename Fail> void putSurrogate(char16_t u, char*& out, Fail&& fail) {
        const bool isLow = u >= 0xDC00 && u <= 0xDFFF;
        if (high != 0) {
            if (!isLow) fail(high);
            const char32_t code = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
                                  (static_cast<char32_t>(u) - 0xDC00);
            high = 0;
            *out++ = static_cast<char>(0xF0 | code >> 18);
            *out++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
            *out++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
            *out++ = static_cast<char>(0x80 | (code & 0x3F));
            return;
        }
        if (u >= 0xD800 && u <= 0xDBFF) {
            high = u;
            return;
        }
        fail(static_cast<char32_t>(u)); // a lone low surrogate, or NUL
    }
    template <typename Fail> void finish(Fail&& fail) {
        if (high != 0) fail(high);
    }
};

template <typename Walk, typename Writer>
FileBytes writeWith(Walk&& walk, size_t textLength, const FileLayout& layout, TextEncoding encoding,
                    const LineLimits& limits, Writer writer) {
    const std::string_view lineEnd = lineEndBytes(layout.lineEnd);
    const std::string_view start = layout.byteOrderMark ? kUtf8ByteOrderMark : "";
    // Room for the longest form, left uninitialised: only what is written is touched. A
    // line break counts two in textLength, room enough for the longest line end; one more
    // is kept for the break a last line may gain, and the padding follows.
    const size_t room =
        start.size() + textLength * Writer::kMaxUnitBytes + lineEnd.size() + layout.endMarks;
    std::unique_ptr<char[]> buffer(new char[room]);
    char* out = std::copy(start.begin(), start.end(), buffer.get());
    size_t lineLength = 0;
    int lines = 0;
    const auto fail = [&](char32_t code) {
        throw UnheldCharacterError(encoding, UnheldCharacter{code, lines + 1});
    };
    const auto countLine = [&] {
        if (lineLength > limits.lineLength || ++lines > limits.lines) throw RangeCheckError();
        lineLength = 0;
    };
    walk(
        [&](char16_t u) {
            writer.put(u, out, fail);
            ++lineLength;
        },
        [&] {
            writer.finish(fail);
            countLine();
            out = std::copy(lineEnd.begin(), lineEnd.end(), out);
        });
    writer.finish(fail);
    if (lineLength > 0) {
        countLine();
        if (layout.lastLineEnds) out = std::copy(lineEnd.begin(), lineEnd.end(), out);
    }
    if (lines == 0) return {};
    out = std::fill_n(out, layout.endMarks, '\x1A');
    const auto size = static_cast<size_t>(out - buffer.get());
    return {std::move(buffer), size};
}

} // namespace detail

// The bytes of a text in an encoding and layout. walk(character, lineBreak) calls
// character(char16_t) for every UTF-16 unit of the text in order and lineBreak() for every
// break between two lines; textLength is at least the count of units plus two for every
// break. Empty when the text holds no lines. Throws UnheldCharacterError at the first
// character the encoding cannot hold, and RangeCheckError past the limits, before anything
// is written.
template <typename Walk>
FileBytes writeText(Walk&& walk, size_t textLength, TextEncoding encoding, const FileLayout& layout,
                    const LineLimits& limits = {}) {
    if (encoding == TextEncoding::Utf8)
        return detail::writeWith(walk, textLength, layout, encoding, limits, detail::Utf8Writer{});
    return detail::writeWith(walk, textLength, layout, encoding, limits,
                             detail::EightBitWriter{detail::bytesOfUnits(encoding)});
}

// writeText of a text in which "\n" ends a line.
FileBytes writeText(QStringView text, TextEncoding encoding, const FileLayout& layout);

} // namespace platform
