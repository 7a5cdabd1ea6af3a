#pragma once
// A TeX file in any of the editor's encodings (CP866, CP1251, KOI8-R, UTF-8). Reading
// recognises the encoding again at every open (nothing else records it), decodes the text
// and keeps how the file lays it out, so that saving an unchanged text writes the same
// bytes back. Saving turns the control's text into the file's bytes.
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"
#include "platform/text_run.h"

namespace document {

struct TexDocument {
    platform::TextEncoding encoding = platform::TextEncoding::Cp866;
    platform::FileLayout layout;
    QString text; // "\n" ends a line
    // The encoding the file declares when its bytes said otherwise, and were followed.
    std::optional<platform::TextEncoding> contradictedDeclaration;
};

// The document in a file's bytes; fileName names the file in the refusals. The encoding is
// recognised (platform::recogniseEncoding) unless one is given. Refused with a message for
// the user: a UTF-16 file (UnicodeRuntimeError), a file that is not UTF-8 when UTF-8 is
// given (UnicodeRuntimeError), a NUL byte, anything but 0x1A padding after a 0x1A
// (RuntimeError).
TexDocument readTexDocument(std::string_view fileBytes, const QString& fileName,
                            std::optional<platform::TextEncoding> encoding = std::nullopt);

// readTexDocument of a file the editor opens (readDocumentBytes).
TexDocument readTexDocumentFile(const QString& path,
                                std::optional<platform::TextEncoding> encoding = std::nullopt);

// A stretch of a text ("\n" ends a line): where it starts and how many units it takes.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;
};

// The option naming an encoding in the first uncommented \usepackage[...]{inputenc} that has
// one ("cp866" of "\usepackage[cp866]{inputenc}").
std::optional<TextSpan> inputEncodingOption(QStringView text);
// The inputenc option that declares an encoding.
QString inputEncodingName(platform::TextEncoding encoding);
// The name in the first "% !TeX encoding = NAME" line whose name is an encoding's.
std::optional<TextSpan> magicCommentName(QStringView text);
// The name a magic comment declaring an encoding is given ("windows-1251").
QString magicCommentEncodingName(platform::TextEncoding encoding);

// A declaration of a text rewritten to name another encoding: its span in the text and the
// name that replaces it.
struct DeclarationChange {
    TextSpan span;
    QString name;
};
// What makes the magic comment and the inputenc option of a text name an encoding, in the
// order they stand; a declaration that names it already is left as it is.
std::vector<DeclarationChange> declarationChanges(QStringView text,
                                                  platform::TextEncoding encoding);
// Makes the text's declarations name this encoding; false when none had to change.
bool setDeclaredEncoding(QString& text, platform::TextEncoding encoding);

// --- Limits

// The most characters (a line break counting two) a document holds: a CP866 document
// kCp866DocumentLength, the editing control's usual limit; one in any other encoding
// kLargeDocumentLength, room for a bibliography of several megabytes whose UTF-8 still fits
// a recovery journal.
inline constexpr int kCp866DocumentLength = 1000000;
inline constexpr int kLargeDocumentLength = 20000000;
int maxDocumentLength(platform::TextEncoding encoding);

// A saved CP866 file holds at most this many lines, each of at most this many characters;
// a file in another encoding as many as the document holds.
inline constexpr int kMaxSavedLines = 65536;
inline constexpr size_t kMaxSavedLineLength = 65535;
platform::LineLimits savedLineLimits(platform::TextEncoding encoding);

// --- Saving

// The bytes of a document's file: platform::writeText within the saved line limits.
template <typename Walk>
platform::FileBytes writeTexDocument(Walk&& walk, size_t textLength,
                                     platform::TextEncoding encoding,
                                     const platform::FileLayout& layout) {
    return platform::writeText(walk, textLength, encoding, layout, savedLineLimits(encoding));
}

} // namespace document
