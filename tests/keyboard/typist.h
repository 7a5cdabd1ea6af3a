#pragma once
// A stand-in for the editing control that types like it: each physical key types its
// character in the Russian layout while the insertion set is 204 and in the US layout
// otherwise, the character is inserted with the insertion set in force after key-press,
// and the events come in the order key-down, key-press, key-up.
#include <QString>
#include <string>
#include <string_view>

#include "keyboard/typing_rules.h"
#include "platform/charsets.h"
#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"

namespace keyboard_test {

inline std::string cp(const char* utf8) {
    return platform::toCp1251(QString::fromUtf8(utf8));
}

// Physical keys named by what they type on the US layout, and what they type on the
// Russian layout, without and with Shift.
inline const std::string kUsKeys = "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./ \t";
inline const std::string kUsShifted = "~!@#$%^&*()_+QWERTYUIOP{}|ASDFGHJKL:\"ZXCVBNM<>? \t";
inline const std::string kRuKeys = cp("ё1234567890-=йцукенгшщзхъ\\фывапролджэячсмитьбю. \t");
inline const std::string kRuShifted = cp("Ё!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪ/ФЫВАПРОЛДЖЭЯЧСМИТЬБЮ, \t");

// The US key string a user presses on the Russian layout for a Russian text.
inline std::string russianKeys(const char* utf8) {
    std::string keys;
    for (char c : cp(utf8)) {
        if (auto i = kRuKeys.find(c); i != std::string::npos)
            keys += kUsKeys[i];
        else if (auto j = kRuShifted.find(c); j != std::string::npos)
            keys += kUsShifted[j];
        else
            keys += c;
    }
    return keys;
}

class Typist : public keyboard::TypingControl {
  public:
    std::string text;    // CP1251, line breaks CR LF
    std::string layouts; // per character of text: 'C' (204), 'L' (0) or '?' (any other set)
    int caret = 0;
    int insertCharset = platform::kCyrillicCharset;
    bool shiftHeld = false;

    bool smartKeyboardOn = true;
    bool inCommandWord = false;
    bool dollarSeen = false;
    bool restoreAfterShift = false;
    keyboard::TypingRules rules{*this,
                                {smartKeyboardOn, inCommandWord, dollarSeen, restoreAfterShift}};

    int InsertCharset() const override { return insertCharset; }
    void SetInsertCharset(int charset) override { insertCharset = charset; }
    int CharBeforeCaret() const override {
        return caret > 0 ? static_cast<unsigned char>(text[caret - 1]) : -1;
    }

    void shiftDown() {
        shiftHeld = true;
        rules.KeyDown(platform::VK_SHIFT, true);
    }
    void shiftUp() {
        shiftHeld = false;
        rules.KeyUp(platform::VK_SHIFT);
    }

    // One physical key, named by its unshifted US character, under the current Shift.
    void key(char usKey) {
        const auto index = kUsKeys.find(usKey);
        const int vk = usKey == '\\' ? platform::VK_OEM_5 : 0x100 + int(index);
        rules.KeyDown(vk, shiftHeld);
        const std::string& layout = insertCharset == platform::kCyrillicCharset
                                        ? (shiftHeld ? kRuShifted : kRuKeys)
                                        : (shiftHeld ? kUsShifted : kUsKeys);
        char c = layout[index];
        rules.KeyPress(c);
        insert(c);
        rules.KeyUp(vk);
    }

    // Keys named by the US characters they type; shifted characters are typed with Shift
    // pressed before the key and released after it.
    void keys(std::string_view us) {
        for (char c : us) {
            if (auto i = kUsShifted.find(c);
                i != std::string::npos && kUsKeys.find(c) == std::string::npos) {
                shiftDown();
                key(kUsKeys[i]);
                shiftUp();
            } else {
                key(c);
            }
        }
    }

    void enter() {
        rules.KeyDown(13, shiftHeld);
        char c = '\r';
        rules.KeyPress(c);
        if (c == '\r') insert('\r'), insert('\n');
        rules.KeyUp(13);
    }

    void backspace() {
        rules.KeyDown(8, shiftHeld);
        char c = '\b';
        rules.KeyPress(c);
        if (c == '\b' && caret > 0) {
            int n = caret >= 2 && text.compare(caret - 2, 2, "\r\n") == 0 ? 2 : 1;
            text.erase(caret - n, n);
            layouts.erase(caret - n, n);
            caret -= n;
        }
        rules.KeyUp(8);
    }

    // The left arrow types nothing; the set follows the text at the new caret position.
    void left() {
        rules.KeyDown(37, shiftHeld);
        if (caret > 0) --caret;
        if (caret > 0) insertCharset = charsetOf(layouts[caret - 1]);
        rules.KeyUp(37);
    }

  private:
    static int charsetOf(char layout) {
        return layout == 'C'   ? platform::kCyrillicCharset
               : layout == 'L' ? platform::kLatinCharset
                               : 161;
    }
    void insert(char c) {
        if (c == 0) return;
        text.insert(text.begin() + caret, c);
        const char layout = insertCharset == platform::kCyrillicCharset ? 'C'
                            : insertCharset == platform::kLatinCharset  ? 'L'
                                                                        : '?';
        layouts.insert(layouts.begin() + caret, layout);
        ++caret;
    }
};

} // namespace keyboard_test
