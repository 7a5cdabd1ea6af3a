#pragma once
// The editor's own keyboard layouts. The editing control types the Russian (ЙЦУКЕН)
// layout while its insertion character set is 204 and the US layout otherwise, whatever
// layout the desktop has. Keys are identified by their physical position: by the native
// scan code (X11/evdev keycode) where the platform gives one, otherwise by the character
// or key the US layout gives for them.
#include <QString>
#include <cstdint>

namespace platform {

// The Windows virtual-key codes the editor names; letters and digits are their upper-case
// ASCII codes.
enum VirtualKey : int {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_OEM_5 = 220, // the backslash key: types "\" in both the US and the Russian layout
};

// What a key event says about the key, independent of any widget.
struct KeyInput {
    std::uint32_t scanCode = 0; // native scan code; 0 when unknown
    int qtKey = 0;              // Qt::Key
    QString text;               // the text the desktop produced for the key
    bool shift = false;
    bool control = false;
    bool alt = false;
    bool capsLock = false; // only meaningful together with a scan code
    bool keypad = false;
};

// The Windows virtual-key code and the CP1251 character a key types (-1: none).
struct KeyMapping {
    int virtualKey = 0;
    int character = -1;
};

// Maps a key to its virtual-key code and, for keys that type, the character of the
// Russian layout (cyrillic) or of the US layout. Enter types 13 and Backspace 8; Tab and
// combinations with Ctrl or Alt type nothing.
KeyMapping mapKey(const KeyInput& key, bool cyrillic);

// The virtual-key code alone (the same for both layouts).
int virtualKeyOf(const KeyInput& key);

// The key of "Исправить раскладку", in the editing area and in the program's text fields.
inline constexpr const char* kFixLayoutShortcut = "Pause";

// Text typed in the wrong layout, as the same keys type it in the other: toCyrillic from the
// US layout to the Russian one ("ghbdtn" -> "привет"), otherwise back. A character no key of
// the first layout types stays as it is.
QChar retypedCharacter(QChar c, bool toCyrillic);
QString retypeInLayout(QStringView text, bool toCyrillic);
// Which way a text goes: to the Russian layout when it has more Latin letters than Cyrillic.
bool retypesToCyrillic(QStringView text);
// Where the word typed in the wrong layout that ends at `end` of a line begins (`end` when
// there is none): a run of Cyrillic letters, or of the US keys that type Russian letters
// ("j,sxysq" for "обычный"), after any "\command{" it stands in.
int wrongLayoutWordStart(QStringView line, int end);

// The user's own layout switch: Ctrl+Shift or Alt+Shift pressed and released with no other
// key or click in between. Fed with the Qt keys of presses (auto-repeats left out) and
// releases.
class LayoutSwitchKeys {
  public:
    void keyDown(int qtKey);
    // True when this release completes the switch.
    bool keyUp(int qtKey);
    // A click while modifiers are held: this chord no longer switches.
    void click();
    // The focus went elsewhere: the held keys are forgotten.
    void reset();

  private:
    int held_ = 0;
    bool otherKeyPressed_ = false;
    bool armed_ = false;
};

} // namespace platform
