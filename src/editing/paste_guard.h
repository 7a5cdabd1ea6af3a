#pragma once
// The paste guard: text pasted from outside the editor holds only what the document's
// encoding can save. A UTF-8 document takes every character. A CP866 document takes what
// CP866 holds, but typographic characters get their TeX spelling first (« as <<, — as ---,
// a no-break space as ~), as CP866 documents always had them; a CP1251 or KOI8-R document
// keeps what its code page holds and spells the rest. What is left becomes "?", and so do
// NUL and Ctrl+Z, which no document holds; the notice after the paste names the first such
// character, in every encoding alike.
#include <QString>
#include <QStringView>

#include "platform/text_encoding.h"

namespace editing {

struct GuardedPaste {
    QString text;    // ready to insert
    int changed = 0; // how many characters of the pasted text were replaced
    // How many of them became "?", and the first of those.
    int lost = 0;
    char32_t firstLost = 0;
};

// The TeX spelling of a character, or nullptr when the guard has none for it.
const char* texSpelling(char16_t ch);

GuardedPaste guardPastedText(QStringView text, platform::TextEncoding encoding);

// What the user is told after the paste: the first character that became "?" by name, and
// how many more did; else how many took their TeX spelling. Empty when nothing was replaced.
QString pasteNotice(const GuardedPaste& paste);

} // namespace editing
