#pragma once
// A line of the editing control as a reader of its words sees it: its characters, and for
// each whether it stands in a Latin run (character set 0), and ranges of those characters.
#include <QString>
#include <vector>

namespace platform {

struct TextLine {
    QString text;
    std::vector<bool> latin; // one flag per character of text
};

// Characters [start, start + length) of a line.
struct LineRange {
    int start = 0;
    int length = 0;
    int end() const { return start + length; }
    bool operator==(const LineRange&) const = default;
};

} // namespace platform
