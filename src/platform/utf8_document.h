#pragma once
// UTF-8 documents beside CP866 ones: which encoding a TeX file's bytes are in, a UTF-8
// document's text in the editor's form (CP1251) with what it takes to write it back byte
// for byte, and the writing back.
//
// Opening a file, in one pass over its bytes for a UTF-8 document:
//   TextReading read = readText(bytes);
//   switch (read.encoding) {
//   case TextEncoding::Cp866: ...today's CP866 loading of the bytes, unchanged...
//   case TextEncoding::Utf16: refuse with utf16Message(name)
//   case TextEncoding::Utf8:
//       if (read.utf8.unheld) refuse with unheldCharacterMessage(name, *read.utf8.unheld)
//       else load read.utf8.text ("\n" ends a line, as in the editor's runs), keep
//       read.utf8.layout
//   }
// Saving it: encodeUtf8Document(the editor's CP1251 text, the kept layout). A new UTF-8
// document takes Utf8Layout{} (no byte-order mark, CR LF, every line ended).
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The byte-order mark that may begin a UTF-8 file (and begins a stored path written in UTF-8).
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

enum class TextEncoding {
    Cp866, // every file not named below, read exactly as CP866 files have always been
    Utf8,  // strict UTF-8 holding a multi-byte sequence; a UTF-8 byte-order mark is one
    Utf16, // starts with a UTF-16 byte-order mark (FF FE or FE FF): refused
};

// Strict UTF-8 means no overlong forms, no surrogates, nothing above U+10FFFF, no cut-off
// sequence. A file with valid sequences and then invalid bytes is CP866, and so is a file
// of ASCII only (both encodings read it alike; so a UTF-8 document saved with ASCII only
// opens as CP866 next time).
// One exception keeps short CP866 texts CP866: Russian words of a few lower-case letters
// are sometimes strict UTF-8 in CP866 ("шаг", "чай", "сон" are three-byte sequences,
// "ёлка" a four-byte one; 455 of the 146,269 stems of a Russian dictionary are). A file in
// which every byte above 0x7F is a CP866 letter and some character is one CP1251 lacks
// (so it could not be opened as UTF-8 anyway) is CP866. A real UTF-8 document with Russian
// letters never meets it: their lead bytes 0xD0 and 0xD1 are not CP866 letters. What it
// costs: a UTF-8 file whose only non-ASCII characters are such ones ("≤", "😀", CJK) opens
// as CP866, as it always has, instead of being refused.
TextEncoding detectEncoding(std::string_view fileBytes);

enum class LineEnd : unsigned char { CrLf, Lf, Cr };

// How a UTF-8 document's text is laid out in its file, kept from opening to saving.
struct Utf8Layout {
    bool byteOrderMark = false;
    // The line end written after every line. A file with one kind of line end keeps it; a
    // file with several kinds takes the most frequent (on a tie the one met first) for all
    // its lines; a file without any takes CR LF.
    LineEnd lineEnd = LineEnd::CrLf;
    // False when the file's last line had no line end: a last line without one is then
    // saved without one; otherwise it gains one.
    bool lastLineEnds = true;

    bool operator==(const Utf8Layout&) const = default;
};

// The first character of a UTF-8 document the editor cannot hold: one CP1251 lacks, or
// NUL or Ctrl+Z (U+001A), which the editor's loading refuses in every document.
struct UnheldCharacter {
    char32_t code = 0;
    std::string utf8; // the character as the file holds it
    int line = 0;     // 1-based, counting line ends as decodeUtf8Document does

    bool operator==(const UnheldCharacter&) const = default;
};

struct Utf8Document {
    // CP1251 bytes; every line end of the file (CR LF, LF or a lone CR) is one "\n".
    // Empty when a character is unheld.
    std::string text;
    Utf8Layout layout;
    // The file had more than one kind of line end; saving writes layout.lineEnd for all
    // of them. These are the only opened files that are not saved back byte for byte.
    bool mixedLineEnds = false;
    std::optional<UnheldCharacter> unheld;
};

// The document in a file's bytes; nothing when they are not strict UTF-8. The byte-order
// mark is left out of the text. One pass; the text is at most as long as the bytes.
std::optional<Utf8Document> decodeUtf8Document(std::string_view fileBytes);

struct TextReading {
    TextEncoding encoding = TextEncoding::Cp866;
    Utf8Document utf8; // the document when encoding is Utf8, else empty
};

// detectEncoding and decodeUtf8Document together, the bytes decoded once.
TextReading readText(std::string_view fileBytes);

// The file bytes of a document's CP1251 text ("\n" ends a line; the text holds no CR).
// For every document decodeUtf8Document gives without unheld characters or mixed line ends,
// encodeUtf8Document(doc.text, doc.layout) is the file's bytes again.
std::string encodeUtf8Document(std::string_view cp1251Text, const Utf8Layout& layout);

// The messages the refusals show. %1 is the file name. In the first, %2 is the character
// itself and %3 its code ("U+03B1"), %4 the line; the second, for characters that show as
// nothing (controls, format characters, combining marks, spaces), names the code alone.
inline constexpr std::u16string_view kUnheldCharacterMessage =
    u"Файл %1 содержит знак «%2» (%3) в строке %4, которого нет в кодировке редактора.";
inline constexpr std::u16string_view kUnheldInvisibleCharacterMessage =
    u"Файл %1 содержит невидимый знак %2 в строке %3, которого нет в кодировке редактора.";
inline constexpr std::u16string_view kUtf16Message =
    u"Файл %1 записан в кодировке UTF-16. Редактор открывает файлы в кодировках CP866 и UTF-8.";

// The code in the form the messages show: "U+" and at least four upper-case hex digits.
QString unicodeCodeName(char32_t code);
QString unheldCharacterMessage(const QString& fileName, const UnheldCharacter& unheld);
QString utf16Message(const QString& fileName);

} // namespace platform
