#pragma once
// The forward text search of the editing control, over the text read in chunks so that a
// search never needs a copy of the whole document.
#include <string_view>

namespace platform {

// Supplies the text (UTF-16 units) from the search's start position on, chunk by chunk.
class ChunkSource {
  public:
    virtual ~ChunkSource() = default;
    // The next piece of text; empty at the end. Valid until the next call.
    virtual std::u16string_view nextChunk() = 0;
};

// A letter or digit: the characters that make up a word for whole-word search.
bool isWordCharacter(char16_t unit);

// The first position p in [from, to - pattern length] at which the pattern occurs in the
// text, or -1. The source yields the text from `from` on; `before` is the unit just before
// `from` (-1 at the start of the text). Without matchCase, letters compare ignoring case
// (those of CP1251, ё/Ё among them, and every other one with a single upper-case form).
// With wholeWord, a pattern that begins with a word character must not follow one, and a
// pattern that ends with a word character must not be followed by one (the text after `to`
// counts). An empty pattern finds nothing.
int findForward(ChunkSource& source, int from, int to, int before, std::u16string_view pattern,
                bool wholeWord, bool matchCase);

} // namespace platform
