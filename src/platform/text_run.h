#pragma once
// One run of a document: text with its character set and character formatting. The readers
// of documents and templates give their text as runs, and the editing control loads them as
// they are.
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/charsets.h"

namespace platform {

struct TextRun {
    QString text; // "\n" breaks a line
    int charset = kLatinCharset;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0;            // font size in half points; 0: the control's size
    std::optional<uint32_t> color; // 0xRRGGBB; none: the automatic colour
};

} // namespace platform
