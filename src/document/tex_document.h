#pragma once
// A TeX file in either of the editor's encodings: CP866, or UTF-8 when the file's bytes say
// so. Reading finds the encoding again at every open (nothing else records it) and gives
// the runs the editing control loads; a UTF-8 document also keeps how its file lays the
// text out, so that saving writes the same bytes back. Saving turns the control's text
// back into the file's bytes.
#include <QString>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/errors.h"
#include "platform/text_run.h"
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

// --- Saving

// A saved file holds at most this many lines, each of at most this many characters.
inline constexpr int kMaxSavedLines = 65536;
inline constexpr size_t kMaxSavedLineLength = 65535;

// A saved file's bytes, written straight into room kept for their longest form.
class TexFileBytes {
  public:
    TexFileBytes() = default;
    TexFileBytes(std::unique_ptr<char[]> data, size_t size) : data_(std::move(data)), size_(size) {}
    std::string_view bytes() const { return {data_.get(), size_}; }
    bool empty() const { return size_ == 0; }

  private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
};

// The bytes of a document's file in its encoding. walk(character, lineBreak) calls
// character(char16_t) for every character of the text in order and lineBreak() for every
// break between two lines; textLength is at least the count of characters plus two for
// every break (the editing control's TextLength). A character CP1251 lacks is saved as
// "?". CP866: every line ends in CR LF, a last line without its break gains one. UTF-8:
// the layout's byte-order mark and line end, and a last line without its break gains one
// unless the file's last line had none. Empty when the text holds no lines (the file on
// disk then stays as it is). Throws RangeCheckError, past the line limits, before anything
// is written.
template <typename Walk>
TexFileBytes writeTexDocument(Walk&& walk, size_t textLength, platform::TextEncoding encoding,
                              const platform::Utf8Layout& layout);

namespace detail {

// Unicode to CP866 by way of CP1251 ("?" for what CP1251 lacks), for every character the
// control can hold.
const std::vector<unsigned char>& cp866OfUnicode();

// Every character the control can hold in UTF-8, by way of CP1251 ("?" for what it lacks):
// the bytes in the low three bytes of an entry, in file order, their count in the high one.
const std::vector<uint32_t>& utf8OfUnicode();

std::string_view lineEndBytes(platform::LineEnd lineEnd);

struct Cp866Writer {
    static constexpr size_t kMaxCharacterBytes = 1;
    const std::vector<unsigned char>& table = cp866OfUnicode();
    std::string_view lineEnd = "\r\n";
    std::string_view start;
    bool lastLineEnds = true;

    void put(char16_t u, char*& out) const { *out++ = static_cast<char>(table[u]); }
};

struct Utf8Writer {
    // One byte more than the longest character: each is written as one four-byte store.
    static constexpr size_t kMaxCharacterBytes = 4;
    const std::vector<uint32_t>& table = utf8OfUnicode();
    std::string_view lineEnd;
    std::string_view start; // the byte-order mark, when the file had one
    bool lastLineEnds = true;

    void put(char16_t u, char*& out) const {
        const uint32_t entry = table[u];
        std::memcpy(out, &entry, sizeof entry);
        out += entry >> 24;
    }
};

// One pass over the text's characters, no copies between; the line limits (in characters)
// are checked on the way.
template <typename Walk, typename Writer>
TexFileBytes writeText(Walk&& walk, size_t textLength, const Writer& writer) {
    // Room for the longest form, left uninitialised: only what is written is touched. A line
    // break counts two in textLength, room enough for the longest line end; one more is
    // kept for the break a last line may gain.
    const size_t room =
        writer.start.size() + textLength * Writer::kMaxCharacterBytes + writer.lineEnd.size();
    std::unique_ptr<char[]> buffer(new char[room]);
    char* out = std::copy(writer.start.begin(), writer.start.end(), buffer.get());
    size_t lineLength = 0;
    int lines = 0;
    auto countLine = [&] {
        if (lineLength > kMaxSavedLineLength || ++lines > kMaxSavedLines)
            throw platform::RangeCheckError();
        lineLength = 0;
    };
    auto endLine = [&] {
        countLine();
        out = std::copy(writer.lineEnd.begin(), writer.lineEnd.end(), out);
    };
    walk(
        [&](char16_t u) {
            writer.put(u, out);
            ++lineLength;
        },
        endLine);
    if (lineLength > 0) {
        if (writer.lastLineEnds)
            endLine();
        else
            countLine();
    } else if (lines > 0 && !writer.lastLineEnds) {
        out -= writer.lineEnd.size();
    }
    if (lines == 0) return {};
    const auto size = static_cast<size_t>(out - buffer.get());
    return {std::move(buffer), size};
}

} // namespace detail

template <typename Walk>
TexFileBytes writeTexDocument(Walk&& walk, size_t textLength, platform::TextEncoding encoding,
                              const platform::Utf8Layout& layout) {
    if (encoding == platform::TextEncoding::Utf8)
        return detail::writeText(
            walk, textLength,
            detail::Utf8Writer{detail::utf8OfUnicode(), detail::lineEndBytes(layout.lineEnd),
                               layout.byteOrderMark ? platform::kUtf8ByteOrderMark : "",
                               layout.lastLineEnds});
    return detail::writeText(walk, textLength, detail::Cp866Writer{});
}

} // namespace document
