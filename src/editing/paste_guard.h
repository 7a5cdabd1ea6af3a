#pragma once
// The paste guard: text pasted from outside the editor holds only what the document's
// encoding can save. A UTF-8 document takes every character. A CP866 document takes what
// CP866 holds, but typographic characters get their TeX spelling first (« as <<, — as ---,
// a no-break space as ~), as CP866 documents always had them; a CP1251 or KOI8-R document
// keeps what its code page holds and spells the rest. What is left becomes "?", and so do
// NUL and Ctrl+Z, which no document holds.
#include <QString>
#include <QStringView>

#include "platform/text_encoding.h"

namespace editing {

struct GuardedPaste {
    QString text;    // ready to insert
    int changed = 0; // how many characters of the pasted text were replaced
};

// The TeX spelling of a character, or nullptr when the guard has none for it.
const char* texSpelling(char16_t ch);

GuardedPaste guardPastedText(QStringView text, platform::TextEncoding encoding);

} // namespace editing
