#pragma once
// A fresh editor for the window tests, a document open and the insertion set Cyrillic.
#include <string>

#include "platform/codepage.h"
#include "support/editor.h"
#include "support/text.h"

using support::cp1251;

struct Editor : support::Editor {
    Editor() {
        prompts->shown.clear();
        edit().setEnabled(true);
        edit().Clear();
        edit().SetInsertCharset(204);
        form->ShownCharset = 204;
    }

    // One letter per character: L Latin, C Cyrillic, ? other.
    std::string sets() {
        std::string out;
        for (int i = 0; i < edit().TextLength(); ++i) {
            const int c = edit().CharsetAt(i);
            out += c == 0 ? 'L' : c == 204 ? 'C' : '?';
        }
        return out;
    }
};

inline platform::StringList listOf(const char* utf8Lines) {
    platform::StringList list;
    list.setText(cp1251(utf8Lines));
    return list;
}
