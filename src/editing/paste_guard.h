#pragma once
// The paste guard. Documents are saved by a byte-for-byte substitution of the Russian
// letters between CP1251 and CP866, so any other CP1251 byte that sits where CP866 keeps a
// Russian letter comes back from the next load as that letter (« as л, — as Ч). Text
// pasted from outside the editor is therefore converted with care: typographic characters
// get their TeX spelling, and characters that CP1251 cannot hold, or that would not come
// back from a save and a load, become "?".
#include <QStringView>
#include <string>

namespace editing {

struct GuardedPaste {
    std::string text; // CP1251, ready to insert
    int changed = 0;  // how many characters of the pasted text were replaced
};

// True when a CP1251 byte comes back unchanged from a save and a load.
bool survivesCp866RoundTrip(unsigned char byte);

// The TeX spelling of a character, or nullptr when the guard has none for it.
const char* texSpelling(char16_t ch);

// A UTF-8 document writes every CP1251 character back as itself, so there only what
// CP1251 cannot hold becomes "?"; typographic characters stay.
GuardedPaste guardPastedText(QStringView text, bool utf8Document = false);

} // namespace editing
