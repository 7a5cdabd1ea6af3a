#include "processing/log_utf8.h"

#include <algorithm>

#include "platform/codepage.h"

namespace processing {
namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length a lead byte announces; 0 for a byte that cannot start a sequence.
size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The length of the whole sequence at the start of bytes, or 0.
size_t wholeSequence(std::string_view bytes) {
    const size_t length = sequenceLength(static_cast<unsigned char>(bytes[0]));
    if (length == 0 || length > bytes.size()) return 0;
    for (size_t i = 1; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(bytes[i]))) return 0;
    return length;
}

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

bool isUtf8Log(std::string_view bytes) {
    size_t whole = 0, stray = 0;
    for (size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) < 0x80) {
            ++i;
            continue;
        }
        const size_t length = wholeSequence(bytes.substr(i));
        if (length > 1) {
            ++whole;
            i += length;
        } else {
            ++stray;
            ++i;
        }
    }
    return whole > stray;
}

std::string withWholeCharacters(std::string_view bytes) {
    // 0x1A ends the LOG as much as its last byte does.
    const size_t logEnd = std::min(bytes.find('\x1A'), bytes.size());
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = sequenceLength(static_cast<unsigned char>(bytes[i]));
        // A lead byte whose continuation bytes come after a line break: the break (CR LF,
        // CR or LF) goes after them.
        size_t head = 1;
        while (head < length && i + head < bytes.size() &&
               isContinuation(static_cast<unsigned char>(bytes[i + head])))
            ++head;
        if (length > 1 && head < length && i + head < bytes.size() &&
            isLineBreak(bytes[i + head])) {
            size_t breakEnd = i + head + 1;
            if (bytes[i + head] == '\r' && breakEnd < bytes.size() && bytes[breakEnd] == '\n')
                ++breakEnd;
            size_t tail = 0;
            while (head + tail < length && breakEnd + tail < bytes.size() &&
                   isContinuation(static_cast<unsigned char>(bytes[breakEnd + tail])))
                ++tail;
            // The break stays where moving it would change the lines: at the end of the
            // LOG, or a CR that would meet an LF and end one line instead of two.
            const bool keepsLines = breakEnd + tail < logEnd && !(bytes[breakEnd - 1] == '\r' &&
                                                                  bytes[breakEnd + tail] == '\n');
            if (head + tail == length && keepsLines) {
                out.append(bytes.substr(i, head));
                out.append(bytes.substr(breakEnd, tail));
                out.append(bytes.substr(i + head, breakEnd - (i + head)));
                i = breakEnd + tail;
                continue;
            }
        }
        out.push_back(bytes[i]);
        ++i;
    }
    return out;
}

std::string utf8LogLineToCp1251(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (size_t i = 0; i < line.size();) {
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        }
        const size_t length = wholeSequence(line.substr(i));
        if (length < 2) {
            out.push_back('?');
            ++i;
            continue;
        }
        char32_t code = lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (static_cast<unsigned char>(line[i + k]) & 0x3F);
        unsigned char byte = '?';
        if (code <= 0xFFFF && !platform::unicodeToCp1251(static_cast<char16_t>(code), byte))
            byte = '?';
        out.push_back(static_cast<char>(byte));
        i += length;
    }
    return out;
}

} // namespace processing
