#include "platform/keyboard_layouts.h"

#include "platform/codepage.h"

#include <Qt>
#include <array>

namespace platform {
namespace {

// One key of the main block: its X11/evdev keycode, its Windows virtual-key code, and the
// characters it types unshifted and shifted in the US and in the Russian layout.
struct PhysicalKey {
    std::uint32_t keycode;
    int virtualKey;
    char16_t us;
    char16_t usShifted;
    char16_t ru;
    char16_t ruShifted;
};

// The standard Windows US and Russian layouts. The backslash key comes before the extra
// key of 102-key keyboards so that "\" is found on it first.
constexpr std::array<PhysicalKey, 49> kKeys = {{
    {49, 192, u'`', u'~', u'ё', u'Ё'},   {10, '1', u'1', u'!', u'1', u'!'},
    {11, '2', u'2', u'@', u'2', u'"'},   {12, '3', u'3', u'#', u'3', u'№'},
    {13, '4', u'4', u'$', u'4', u';'},   {14, '5', u'5', u'%', u'5', u'%'},
    {15, '6', u'6', u'^', u'6', u':'},   {16, '7', u'7', u'&', u'7', u'?'},
    {17, '8', u'8', u'*', u'8', u'*'},   {18, '9', u'9', u'(', u'9', u'('},
    {19, '0', u'0', u')', u'0', u')'},   {20, 189, u'-', u'_', u'-', u'_'},
    {21, 187, u'=', u'+', u'=', u'+'},   {24, 'Q', u'q', u'Q', u'й', u'Й'},
    {25, 'W', u'w', u'W', u'ц', u'Ц'},   {26, 'E', u'e', u'E', u'у', u'У'},
    {27, 'R', u'r', u'R', u'к', u'К'},   {28, 'T', u't', u'T', u'е', u'Е'},
    {29, 'Y', u'y', u'Y', u'н', u'Н'},   {30, 'U', u'u', u'U', u'г', u'Г'},
    {31, 'I', u'i', u'I', u'ш', u'Ш'},   {32, 'O', u'o', u'O', u'щ', u'Щ'},
    {33, 'P', u'p', u'P', u'з', u'З'},   {34, 219, u'[', u'{', u'х', u'Х'},
    {35, 221, u']', u'}', u'ъ', u'Ъ'},   {38, 'A', u'a', u'A', u'ф', u'Ф'},
    {39, 'S', u's', u'S', u'ы', u'Ы'},   {40, 'D', u'd', u'D', u'в', u'В'},
    {41, 'F', u'f', u'F', u'а', u'А'},   {42, 'G', u'g', u'G', u'п', u'П'},
    {43, 'H', u'h', u'H', u'р', u'Р'},   {44, 'J', u'j', u'J', u'о', u'О'},
    {45, 'K', u'k', u'K', u'л', u'Л'},   {46, 'L', u'l', u'L', u'д', u'Д'},
    {47, 186, u';', u':', u'ж', u'Ж'},   {48, 222, u'\'', u'"', u'э', u'Э'},
    {51, 220, u'\\', u'|', u'\\', u'/'}, {52, 'Z', u'z', u'Z', u'я', u'Я'},
    {53, 'X', u'x', u'X', u'ч', u'Ч'},   {54, 'C', u'c', u'C', u'с', u'С'},
    {55, 'V', u'v', u'V', u'м', u'М'},   {56, 'B', u'b', u'B', u'и', u'И'},
    {57, 'N', u'n', u'N', u'т', u'Т'},   {58, 'M', u'm', u'M', u'ь', u'Ь'},
    {59, 188, u',', u'<', u'б', u'Б'},   {60, 190, u'.', u'>', u'ю', u'Ю'},
    {61, 191, u'/', u'?', u'.', u','},   {65, 32, u' ', u' ', u' ', u' '},
    {94, 226, u'\\', u'|', u'\\', u'/'},
}};

const PhysicalKey* keyByScanCode(std::uint32_t code) {
    for (const auto& k : kKeys)
        if (k.keycode == code) return &k;
    return nullptr;
}

// The key that types ch in the US layout (or, failing that, in the Russian one), and
// whether it is typed shifted.
const PhysicalKey* keyByCharacter(char16_t ch, bool& shifted) {
    for (const auto& k : kKeys) {
        if (k.us == ch || k.usShifted == ch) {
            shifted = k.us != ch;
            return &k;
        }
    }
    for (const auto& k : kKeys) {
        if (k.ru == ch || k.ruShifted == ch) {
            shifted = k.ru != ch;
            return &k;
        }
    }
    return nullptr;
}

bool isLetter(char16_t ch) {
    return QChar(ch).isLetter();
}

// The physical key of an event and whether it types shifted; nullptr for keys outside the
// main block (and for the keypad, whose keys type the same in every layout).
const PhysicalKey* physicalKey(const KeyInput& key, bool cyrillic, bool& shifted) {
    if (key.keypad) return nullptr;
    if (key.scanCode != 0) {
        if (const PhysicalKey* k = keyByScanCode(key.scanCode)) {
            const char16_t base = cyrillic ? k->ru : k->us;
            shifted = key.shift != (key.capsLock && isLetter(base));
            return k;
        }
    }
    // No scan code: the US identity of the key from its text, else from its key code.
    if (key.text.size() == 1 && key.text.at(0).isPrint()) {
        if (const PhysicalKey* k = keyByCharacter(key.text.at(0).unicode(), shifted)) return k;
    }
    if (key.qtKey >= 0x20 && key.qtKey < 0x7f) {
        char16_t ch = static_cast<char16_t>(key.qtKey);
        if (ch >= u'A' && ch <= u'Z') ch = static_cast<char16_t>(ch - u'A' + u'a');
        if (const PhysicalKey* k = keyByCharacter(ch, shifted)) {
            shifted = shifted || key.shift;
            return k;
        }
    }
    return nullptr;
}

int virtualKeyOfQtKey(const KeyInput& key) {
    const int k = key.qtKey;
    if (key.keypad) {
        if (k >= Qt::Key_0 && k <= Qt::Key_9) return 96 + (k - Qt::Key_0);
        switch (k) {
        case Qt::Key_Asterisk:
            return 106;
        case Qt::Key_Plus:
            return 107;
        case Qt::Key_Minus:
            return 109;
        case Qt::Key_Period:
        case Qt::Key_Comma:
            return 110;
        case Qt::Key_Slash:
            return 111;
        default:
            break;
        }
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
    if ((k >= Qt::Key_0 && k <= Qt::Key_9) || (k >= Qt::Key_A && k <= Qt::Key_Z)) return k;
    switch (k) {
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Clear:
        return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        return VK_MENU;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        return 0;
    }
}

} // namespace

QChar retypedCharacter(QChar c, bool toCyrillic) {
    const char16_t u = c.unicode();
    for (const auto& k : kKeys) {
        const char16_t from = toCyrillic ? k.us : k.ru;
        const char16_t fromShifted = toCyrillic ? k.usShifted : k.ruShifted;
        if (u == from) return toCyrillic ? k.ru : k.us;
        if (u == fromShifted) return toCyrillic ? k.ruShifted : k.usShifted;
    }
    return c;
}

QString retypeInLayout(QStringView text, bool toCyrillic) {
    QString retyped;
    retyped.reserve(text.size());
    for (const QChar c : text)
        retyped += retypedCharacter(c, toCyrillic);
    return retyped;
}

namespace {

bool isLatinLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isCyrillic(QChar c) {
    return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF && c.isLetter();
}

} // namespace

bool retypesToCyrillic(QStringView text) {
    qsizetype latin = 0;
    qsizetype cyrillic = 0;
    for (const QChar c : text) {
        latin += isLatinLetter(c);
        cyrillic += isCyrillic(c);
    }
    return latin > cyrillic;
}

int wrongLayoutWordStart(QStringView line, int end) {
    if (end <= 0 || end > line.size()) return end;
    int start = end;
    if (isCyrillic(line[end - 1])) {
        while (start > 0 && isCyrillic(line[start - 1]))
            --start;
        return start;
    }
    while (start > 0 && isCyrillic(retypedCharacter(line[start - 1], true)))
        --start;
    // "\textbf{ghbdtn": the command and its brace are no part of the word.
    for (int brace = end - 1; brace >= start; --brace) {
        if (line[brace] != u'{' && line[brace] != u'[') continue;
        int name = brace;
        while (name > 0 && isLatinLetter(line[name - 1]))
            --name;
        if (name > 0 && name < brace && line[name - 1] == u'\\') return brace + 1;
    }
    return start;
}

int virtualKeyOf(const KeyInput& key) {
    switch (key.qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return virtualKeyOfQtKey(key);
    default:
        break;
    }
    bool shifted = false;
    if (const PhysicalKey* k = physicalKey(key, false, shifted)) return k->virtualKey;
    return virtualKeyOfQtKey(key);
}

KeyMapping mapKey(const KeyInput& key, bool cyrillic) {
    KeyMapping result;
    result.virtualKey = virtualKeyOf(key);
    const bool typing = !key.control && !key.alt;
    switch (key.qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (typing) result.character = 13;
        return result;
    case Qt::Key_Backspace:
        if (typing) result.character = 8;
        return result;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return result;
    default:
        break;
    }
    if (!typing) return result;
    bool shifted = false;
    if (const PhysicalKey* k = physicalKey(key, cyrillic, shifted)) {
        const char16_t ch =
            cyrillic ? (shifted ? k->ruShifted : k->ru) : (shifted ? k->usShifted : k->us);
        unsigned char byte = 0;
        if (unicodeToCp1251(ch, byte)) result.character = byte;
        return result;
    }
    // Keys outside the main block (the keypad, keys of other keyboards) type what the
    // desktop gives for them, when CP1251 has it.
    if (key.text.size() == 1 && key.text.at(0).isPrint()) {
        unsigned char byte = 0;
        if (unicodeToCp1251(key.text.at(0).unicode(), byte)) result.character = byte;
    }
    return result;
}

namespace {

enum ModifierBit { kShiftBit = 1, kControlBit = 2, kAltBit = 4 };

int modifierBit(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
        return kShiftBit;
    case Qt::Key_Control:
        return kControlBit;
    case Qt::Key_Alt:
    // Alt pressed while Shift is held is Meta in the X keymaps (Shift+Alt_L gives Meta_L).
    case Qt::Key_Meta:
        return kAltBit;
    default:
        return 0;
    }
}

} // namespace

void LayoutSwitchKeys::keyDown(int qtKey) {
    if (const int bit = modifierBit(qtKey)) {
        held_ |= bit;
        armed_ = !otherKeyPressed_ &&
                 (held_ == (kShiftBit | kControlBit) || held_ == (kShiftBit | kAltBit));
    } else {
        otherKeyPressed_ = held_ != 0;
        armed_ = false;
    }
}

bool LayoutSwitchKeys::keyUp(int qtKey) {
    const int bit = modifierBit(qtKey);
    if (!bit) return false;
    const bool switched = armed_;
    armed_ = false;
    held_ &= ~bit;
    if (held_ == 0) otherKeyPressed_ = false;
    return switched;
}

void LayoutSwitchKeys::click() {
    if (held_ != 0) otherKeyPressed_ = true;
    armed_ = false;
}

void LayoutSwitchKeys::reset() {
    *this = {};
}

} // namespace platform
