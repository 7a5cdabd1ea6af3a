#pragma once
// A TeX file in either of the editor's encodings: CP866, or UTF-8 when the file's bytes say
// so. Reading finds the encoding again at every open (nothing else records it) and gives
// the runs the editing control loads; a UTF-8 document also keeps how its file lays the
// text out, so that saving writes the same bytes back.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtf_reader.h"
#include "platform/utf8_document.h"

namespace document {

struct TexDocument {
    platform::TextEncoding encoding = platform::TextEncoding::Cp866; // Cp866 or Utf8
    platform::Utf8Layout layout; // a UTF-8 document's byte-order mark and line ends
    std::vector<platform::TextRun> runs;
};

// The option of the standard template's inputenc line in each encoding.
inline constexpr std::string_view kCp866InputEncoding = "\\usepackage[cp866]{inputenc}";
inline constexpr std::string_view kUtf8InputEncoding = "\\usepackage[utf8]{inputenc}";

// The document in a file's bytes; fileName names the file in the refusals. A file of ASCII
// only reads alike in both encodings and is CP866, unless it declares the UTF-8 input
// encoding: then it is UTF-8 (otherwise a new UTF-8 document saved before any Russian
// letter was typed would come back as CP866). Refused with a message for the user
// (UnicodeRuntimeError): a UTF-16 file, and a UTF-8 one holding a character the editor
// cannot hold, named in the message with its line; CP866 files are refused as readTexView
// refuses them (RuntimeError).
TexDocument readTexDocument(std::string_view fileBytes, const QString& fileName);

// readTexDocument of a file the editor opens (readDocumentBytes).
TexDocument readTexDocumentFile(const QString& path);

// A template's bytes for a new document of the encoding: the CP866 inputenc line becomes
// the UTF-8 one in a UTF-8 document.
std::string templateForEncoding(std::string templateBytes, platform::TextEncoding encoding);

} // namespace document
