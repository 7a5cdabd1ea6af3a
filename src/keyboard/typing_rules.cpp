#include "keyboard/typing_rules.h"

#include <string_view>

#include "platform/charsets.h"
#include "platform/keyboard_layouts.h"
#include "platform/tex_characters.h"

namespace keyboard {

namespace {

// The two character classes of a command word. In the first, only the characters from the
// third on count: its leading "$" and "\" are there to be left out ("\" belongs to the
// second class anyway, so "$" is the one character of the first string that ends a word).
constexpr std::string_view kCommandLetters = platform::kTexMarkupLetters;
constexpr std::string_view kCommandOthers = platform::kCommandWordOthers;

constexpr int kSpace = 0x20;
constexpr int kLineFeed = 0x0A;

} // namespace

bool IsCommandWordChar(char c) {
    const auto pos = kCommandLetters.find(c);
    if (pos != std::string_view::npos && pos >= 2) return true;
    return kCommandOthers.find(c) != std::string_view::npos;
}

bool OpensMathematics(char c, int charBefore) {
    if (c == '$') return true;
    return c == ';' && (charBefore == kSpace || charBefore == kLineFeed || charBefore < 0);
}

void TypingRules::KeyDown(int virtualKey, bool shiftHeld) {
    if (!flags_.smartKeyboardOn || virtualKey != platform::VK_OEM_5 || flags_.inCommandWord ||
        shiftHeld)
        return;
    if (control_.InsertCharset() == platform::kCyrillicCharset) {
        control_.SetInsertCharset(platform::kLatinCharset);
        flags_.inCommandWord = true;
    }
}

void TypingRules::KeyPress(char& c) {
    if (!flags_.smartKeyboardOn) return;
    if (flags_.inCommandWord && !IsCommandWordChar(c)) {
        control_.SetInsertCharset(platform::kCyrillicCharset);
        flags_.inCommandWord = false;
    }
    if (control_.InsertCharset() == platform::kCyrillicCharset) {
        // Only "$" and ";" can open mathematics: the character before the caret is read
        // for them alone.
        if ((c == '$' || c == ';') && OpensMathematics(c, control_.CharBeforeCaret())) {
            flags_.dollarSeen = true;
            control_.SetInsertCharset(platform::kLatinCharset);
            c = '$';
        }
        return;
    }
    if (!flags_.dollarSeen) flags_.restoreAfterShift = (c == '$');
    flags_.dollarSeen = (c == '$');
}

void TypingRules::KeyUp(int virtualKey) {
    if (flags_.smartKeyboardOn && flags_.restoreAfterShift && virtualKey == platform::VK_SHIFT &&
        control_.InsertCharset() == platform::kLatinCharset) {
        control_.SetInsertCharset(platform::kCyrillicCharset);
        flags_.restoreAfterShift = false;
    }
}

} // namespace keyboard
