#include "document/tex_document.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <bit>

#include "document/tex_view.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"

namespace document {
namespace {

bool isAscii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An ASCII file declaring the UTF-8 input encoding, as a UTF-8 document.
std::optional<platform::Utf8Document> declaredUtf8(std::string_view bytes) {
    if (bytes.find(kUtf8InputEncoding) == std::string_view::npos || !isAscii(bytes))
        return std::nullopt;
    std::optional<platform::Utf8Document> doc = platform::decodeUtf8Document(bytes);
    if (doc && doc->unheld) return std::nullopt; // NUL or Ctrl+Z: refused as CP866 below
    return doc;
}

} // namespace

TexDocument readTexDocument(std::string_view bytes, const QString& fileName) {
    platform::TextReading read = platform::readText(bytes);
    if (read.encoding == platform::TextEncoding::Cp866) {
        if (std::optional<platform::Utf8Document> doc = declaredUtf8(bytes)) {
            read.encoding = platform::TextEncoding::Utf8;
            read.utf8 = std::move(*doc);
        }
    }
    TexDocument result;
    result.encoding = read.encoding;
    switch (read.encoding) {
    case platform::TextEncoding::Cp866:
        result.runs = readTexView(bytes);
        break;
    case platform::TextEncoding::Utf16:
        throw platform::UnicodeRuntimeError(platform::utf16Message(fileName));
    case platform::TextEncoding::Utf8:
        if (read.utf8.unheld)
            throw platform::UnicodeRuntimeError(
                platform::unheldCharacterMessage(fileName, *read.utf8.unheld));
        result.layout = read.utf8.layout;
        result.runs = readCp1251View(read.utf8.text);
        break;
    }
    return result;
}

TexDocument readTexDocumentFile(const QString& path) {
    return readTexDocument(readDocumentBytes(path), QFileInfo(path).fileName());
}

std::string templateForEncoding(std::string bytes, platform::TextEncoding encoding) {
    if (encoding != platform::TextEncoding::Utf8) return bytes;
    const size_t at = bytes.find(kCp866InputEncoding);
    if (at != std::string::npos) bytes.replace(at, kCp866InputEncoding.size(), kUtf8InputEncoding);
    return bytes;
}

namespace detail {
namespace {

// Unicode to CP1251 ("?" for what it lacks) for every character the control can hold.
std::vector<unsigned char> cp1251OfUnicode() {
    std::vector<unsigned char> table(65536);
    for (size_t u = 0; u < table.size(); ++u) {
        unsigned char byte = '?';
        platform::unicodeToCp1251(static_cast<char16_t>(u), byte);
        table[u] = byte;
    }
    return table;
}

} // namespace

const std::vector<unsigned char>& cp866OfUnicode() {
    static const std::vector<unsigned char> table = [] {
        std::vector<unsigned char> t = cp1251OfUnicode();
        for (unsigned char& byte : t)
            byte = platform::cp1251ToCp866(byte);
        return t;
    }();
    return table;
}

const std::vector<uint32_t>& utf8OfUnicode() {
    static_assert(std::endian::native == std::endian::little, "entries are stored low byte first");
    static const std::vector<uint32_t> table = [] {
        std::array<uint32_t, 256> ofCp1251{};
        for (size_t b = 0; b < ofCp1251.size(); ++b) {
            const std::string utf8 = platform::encodeUtf8Document(
                std::string(1, static_cast<char>(b)), platform::Utf8Layout{false, {}, false});
            uint32_t entry = static_cast<uint32_t>(utf8.size()) << 24;
            for (size_t k = 0; k < utf8.size(); ++k)
                entry |= static_cast<uint32_t>(static_cast<unsigned char>(utf8[k])) << (8 * k);
            ofCp1251[b] = entry;
        }
        const std::vector<unsigned char> cp1251 = cp1251OfUnicode();
        std::vector<uint32_t> t(cp1251.size());
        for (size_t u = 0; u < t.size(); ++u)
            t[u] = ofCp1251[cp1251[u]];
        return t;
    }();
    return table;
}

std::string_view lineEndBytes(platform::LineEnd lineEnd) {
    switch (lineEnd) {
    case platform::LineEnd::Lf:
        return "\n";
    case platform::LineEnd::Cr:
        return "\r";
    case platform::LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

} // namespace detail

} // namespace document
