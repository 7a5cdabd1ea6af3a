#pragma once
// An editing control in memory for the insertion tests: bytes with a character set each,
// a selection and the insertion character set. Line breaks are the two bytes CR LF, so
// positions count them as two characters, as the real control does. After an insertion
// the set follows the text at the caret as in the control: the character before it, or at
// the start of a line the line's first character.
#include <string>
#include <vector>

#include "insertion/insertion_blocks.h"

class FakeTarget : public insertion::InsertionTarget {
  public:
    std::string text;
    std::vector<int> charsets;
    int start = 0;
    int length = 0;
    int charset = 204;
    int charsetChanges = 0;
    size_t maxLength = 1000000;

    FakeTarget(std::string initial = {}, int initialCharset = 204)
        : text(std::move(initial)), charsets(text.size(), initialCharset), charset(initialCharset) {
    }

    void select(int from, int count) {
        start = from;
        length = count;
    }

    void insertText(std::string_view t) override {
        text.replace(start, length, t);
        charsets.erase(charsets.begin() + start, charsets.begin() + start + length);
        charsets.insert(charsets.begin() + start, t.size(), charset);
        start += static_cast<int>(t.size());
        length = 0;
        const size_t at = static_cast<size_t>(start);
        if (at > 0 && text[at - 1] != '\n')
            charset = charsets[at - 1];
        else if (at < text.size() && text[at] != '\r')
            charset = charsets[at];
    }
    bool hasRoomFor(int n) const override {
        return text.size() - static_cast<size_t>(length) + static_cast<size_t>(n) <= maxLength;
    }
    int insertCharset() const override { return charset; }
    void setInsertCharset(int c) override {
        charset = c;
        ++charsetChanges;
    }
    int selStart() const override { return start; }
    void placeCaret(int position) override {
        start = position;
        length = 0;
    }

    // One letter per character: L for Latin, C for Cyrillic, ? for any other set.
    std::string sets() const {
        std::string out;
        for (int c : charsets)
            out += c == 0 ? 'L' : c == 204 ? 'C' : '?';
        return out;
    }
};
