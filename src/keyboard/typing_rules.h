#pragma once
// The Smart Keyboard's typing rules: while the user types, they switch the insertion
// character set (204 Cyrillic, anything else Latin) from the TeX context. A backslash
// typed in Cyrillic opens a Latin command word that the first character not belonging to
// it closes; a dollar sign (or a ";" where a dollar sign is meant) opens mathematics in
// Latin; the closing dollar sign returns to Cyrillic when Shift is released.
//
// The rules own no state: they work on the editor's three flags, passed by reference, and
// on the editing control through the narrow TypingControl interface. They read one
// character of the document per keystroke, the one before the caret.

namespace keyboard {

// What the rules need of the editing control.
class TypingControl {
  public:
    virtual ~TypingControl() = default;
    virtual int InsertCharset() const = 0;
    virtual void SetInsertCharset(int charset) = 0;
    // The CP1251 byte just before the selection start ('\n' at the start of a line), or -1
    // at the start of the text. Must not copy the text.
    virtual int CharBeforeCaret() const = 0;
};

// The editor state the rules read and write.
struct TypingFlags {
    const bool& smartKeyboardOn;
    bool& inCommandWord;
    bool& dollarSeen;
    bool& restoreAfterShift;
};

// Letters a-z and A-Z, digits, "_", "#", "^", ".", "{", "(", ")" and "\".
bool IsCommandWordChar(char c);

// In Cyrillic, the character c opens mathematics: "$" always, ";" after a space, a line
// feed or at the start of the text (charBefore -1).
bool OpensMathematics(char c, int charBefore);

class TypingRules {
  public:
    TypingRules(TypingControl& control, TypingFlags flags) : control_(control), flags_(flags) {}

    // Key-down: the backslash key without Shift opens a command word from Cyrillic.
    void KeyDown(int virtualKey, bool shiftHeld);
    // Key-press, before the control inserts c with the insertion character set; c may be
    // replaced ("$" for a ";" that opens mathematics).
    void KeyPress(char& c);
    // Key-up: the release of Shift after a closing dollar sign returns to Cyrillic. The
    // caller refreshes the layout indicator afterwards.
    void KeyUp(int virtualKey);

  private:
    TypingControl& control_;
    TypingFlags flags_;
};

} // namespace keyboard
