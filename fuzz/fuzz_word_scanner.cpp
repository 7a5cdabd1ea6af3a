// The spell checker's word scanner on any line: the input's UTF-8 is the text, and for each
// character one bit of the bytes after a NUL says whether it stands in a Latin run. Every
// word lies inside the line, in order, made of Russian letters and inner hyphens; the state
// the line leaves for the next survives being kept as a number.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "spelling/word_scanner.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t split = bytes.find('\0');
    const std::string_view text = bytes.substr(0, split);
    const std::string_view flags = split == std::string_view::npos ? "" : bytes.substr(split + 1);
    platform::TextLine line{QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                            {}};
    for (qsizetype i = 0; i < line.text.size(); ++i) {
        const size_t bit = static_cast<size_t>(i);
        line.latin.push_back(bit / 8 < flags.size() && (flags[bit / 8] >> (bit % 8) & 1));
    }
    // Read again from the state the first reading left, as the next line is: any state
    // a line leaves is kept whole as a number.
    spelling::ScanState state;
    spelling::wordsOf(line, state);
    check(spelling::ScanState::unpack(state.pack()) == state && state.pack() >= 0);
    spelling::wordsOf(line, state);
    check(spelling::ScanState::unpack(state.pack()) == state && state.pack() >= 0);
    int end = 0;
    for (const spelling::Word& word : spelling::wordsOf(line)) {
        check(word.range.start >= end && word.range.length > 0);
        end = word.range.end();
        check(end <= line.text.size());
        check(!word.text.isEmpty() && word.text.size() <= word.range.length);
        check(word.text.front() != u'-' && word.text.back() != u'-');
        for (const QChar c : word.text)
            check(spelling::isCyrillicLetter(c) || c == u'-');
    }
    return 0;
}
