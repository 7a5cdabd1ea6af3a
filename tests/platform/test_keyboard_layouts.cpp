#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"

#include <Qt>

using namespace platform;

namespace {

// A key as the offscreen platform and QTest deliver it: no scan code, the US text.
KeyInput usKey(int qtKey, const QString& text, bool shift = false) {
    KeyInput key;
    key.qtKey = qtKey;
    key.text = text;
    key.shift = shift;
    return key;
}

// A key as X11 delivers it: the keycode of the physical key, and whatever text the
// desktop's own layout produced (here deliberately misleading).
KeyInput x11Key(std::uint32_t keycode, bool shift = false, bool capsLock = false) {
    KeyInput key;
    key.scanCode = keycode;
    key.qtKey = Qt::Key_unknown;
    key.text = QStringLiteral("#");
    key.shift = shift;
    key.capsLock = capsLock;
    return key;
}

std::string typed(const KeyInput& key, bool cyrillic) {
    const int c = mapKey(key, cyrillic).character;
    return c < 0 ? std::string("<none>") : std::string(1, static_cast<char>(c));
}

std::string cp(const char16_t* text) {
    return toCp1251(QStringView(text));
}

} // namespace

TEST(KeyboardLayouts, RussianLayoutByUsKeyIdentity) {
    EXPECT_EQ(typed(usKey(Qt::Key_Q, "q"), true), cp(u"й"));
    EXPECT_EQ(typed(usKey(Qt::Key_Q, "Q", true), true), cp(u"Й"));
    EXPECT_EQ(typed(usKey(Qt::Key_QuoteLeft, "`"), true), cp(u"ё"));
    EXPECT_EQ(typed(usKey(Qt::Key_AsciiTilde, "~", true), true), cp(u"Ё"));
    EXPECT_EQ(typed(usKey(Qt::Key_Dollar, "$", true), true), ";");
    EXPECT_EQ(typed(usKey(Qt::Key_NumberSign, "#", true), true), cp(u"№"));
    EXPECT_EQ(typed(usKey(Qt::Key_Ampersand, "&", true), true), "?");
    EXPECT_EQ(typed(usKey(Qt::Key_At, "@", true), true), "\"");
    EXPECT_EQ(typed(usKey(Qt::Key_AsciiCircum, "^", true), true), ":");
    EXPECT_EQ(typed(usKey(Qt::Key_Slash, "/"), true), ".");
    EXPECT_EQ(typed(usKey(Qt::Key_Question, "?", true), true), ",");
    EXPECT_EQ(typed(usKey(Qt::Key_Backslash, "\\"), true), "\\");
    EXPECT_EQ(typed(usKey(Qt::Key_Bar, "|", true), true), "/");
    EXPECT_EQ(typed(usKey(Qt::Key_BracketLeft, "["), true), cp(u"х"));
    EXPECT_EQ(typed(usKey(Qt::Key_Apostrophe, "'"), true), cp(u"э"));
    EXPECT_EQ(typed(usKey(Qt::Key_Period, "."), true), cp(u"ю"));
    EXPECT_EQ(typed(usKey(Qt::Key_M, "m"), true), cp(u"ь"));
    EXPECT_EQ(typed(usKey(Qt::Key_Space, " "), true), " ");
    EXPECT_EQ(typed(usKey(Qt::Key_5, "5"), true), "5");
}

TEST(KeyboardLayouts, UsLayoutTypesTheUsCharacters) {
    EXPECT_EQ(typed(usKey(Qt::Key_Q, "q"), false), "q");
    EXPECT_EQ(typed(usKey(Qt::Key_Dollar, "$", true), false), "$");
    EXPECT_EQ(typed(usKey(Qt::Key_QuoteLeft, "`"), false), "`");
    EXPECT_EQ(typed(usKey(Qt::Key_Backslash, "\\"), false), "\\");
    // Without text the key code and Shift say which character it is.
    EXPECT_EQ(typed(usKey(Qt::Key_A, ""), false), "a");
    EXPECT_EQ(typed(usKey(Qt::Key_A, "", true), false), "A");
    EXPECT_EQ(typed(usKey(Qt::Key_4, "", true), false), "$");
    EXPECT_EQ(typed(usKey(Qt::Key_4, "", true), true), ";");
}

TEST(KeyboardLayouts, ACyrillicDesktopLetterIsMappedBackToItsKey) {
    // Without a scan code, text typed by a Russian desktop layout still identifies the key.
    EXPECT_EQ(typed(usKey(0, QString(QChar(0x0439))), false), "q"); // й
    EXPECT_EQ(typed(usKey(0, QString(QChar(0x0419))), false), "Q"); // Й
    EXPECT_EQ(typed(usKey(0, QString(QChar(0x0451))), true), cp(u"ё"));
}

TEST(KeyboardLayouts, ScanCodesDecideOverTheDesktopText) {
    EXPECT_EQ(typed(x11Key(24), true), cp(u"й"));
    EXPECT_EQ(typed(x11Key(24), false), "q");
    EXPECT_EQ(typed(x11Key(24, true), false), "Q");
    EXPECT_EQ(typed(x11Key(49), true), cp(u"ё"));
    EXPECT_EQ(typed(x11Key(13, true), true), ";");
    EXPECT_EQ(typed(x11Key(13, true), false), "$");
    EXPECT_EQ(typed(x11Key(12, true), true), cp(u"№"));
    EXPECT_EQ(typed(x11Key(61), true), ".");
    EXPECT_EQ(typed(x11Key(51), true), "\\");
    EXPECT_EQ(typed(x11Key(65), true), " ");
    EXPECT_EQ(mapKey(x11Key(51), true).virtualKey, 220);
    EXPECT_EQ(mapKey(x11Key(24), true).virtualKey, 'Q');
}

TEST(KeyboardLayouts, CapsLockShiftsLettersOfTheActiveLayoutOnly) {
    EXPECT_EQ(typed(x11Key(24, false, true), false), "Q");
    EXPECT_EQ(typed(x11Key(24, true, true), false), "q");
    EXPECT_EQ(typed(x11Key(10, false, true), false), "1");
    // The "`" key is a letter only in the Russian layout.
    EXPECT_EQ(typed(x11Key(49, false, true), true), cp(u"Ё"));
    EXPECT_EQ(typed(x11Key(49, false, true), false), "`");
}

TEST(KeyboardLayouts, ControlKeysAndCombinations) {
    EXPECT_EQ(mapKey(usKey(Qt::Key_Return, "\r"), true).character, 13);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Enter, "\r"), false).character, 13);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Return, "\r", true), false).character, 13);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Backspace, "\b"), true).character, 8);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Backspace, "\b"), true).virtualKey, 8);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Tab, "\t"), true).character, -1);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Tab, "\t"), true).virtualKey, 9);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Left, ""), true).character, -1);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Left, ""), true).virtualKey, 37);
    EXPECT_EQ(mapKey(usKey(Qt::Key_Shift, ""), true).virtualKey, 16);
    EXPECT_EQ(mapKey(usKey(Qt::Key_F7, ""), true).virtualKey, 118);

    KeyInput controlC = usKey(Qt::Key_C, "\x03");
    controlC.control = true;
    EXPECT_EQ(mapKey(controlC, true).character, -1);
    EXPECT_EQ(mapKey(controlC, true).virtualKey, 'C');
    KeyInput altQ = x11Key(24);
    altQ.alt = true;
    EXPECT_EQ(mapKey(altQ, true).character, -1);
}

TEST(KeyboardLayouts, KeypadTypesItsOwnText) {
    KeyInput seven = usKey(Qt::Key_7, "7");
    seven.keypad = true;
    seven.scanCode = 79;
    EXPECT_EQ(typed(seven, true), "7");
    EXPECT_EQ(mapKey(seven, true).virtualKey, 103);
}

TEST(KeyboardLayouts, TextTypedInTheWrongLayoutIsRetypedByTheSameKeys) {
    struct Case {
        const char* typed;
        const char* meant;
    };
    const Case cases[] = {
        {"ghbdtn", "привет"},
        {"Ntjhtvf", "Теорема"},
        {"j,sxysq", "обычный"},
        {"`; \"[]\" f", "ёж ЭхъЭ а"},
        {"Ghbdtn? 123 #", "Привет, 123 №"},
    };
    for (const Case& c : cases) {
        const QString typed = QString::fromUtf8(c.typed);
        const QString meant = QString::fromUtf8(c.meant);
        EXPECT_TRUE(retypesToCyrillic(typed)) << c.typed;
        EXPECT_EQ(retypeInLayout(typed, true), meant) << c.typed;
        EXPECT_EQ(retypeInLayout(meant, false), typed) << c.meant;
    }
}

TEST(KeyboardLayouts, TheWrongLayoutWordEndsAtTheCaretAndLeavesMarkupAlone) {
    struct Case {
        const char* line;
        int start; // of the word ending at the line's end
    };
    const Case cases[] = {
        {"text ghbdtn", 5}, {"\\textbf{ghbdtn", 8}, {"{[ghbdtn", 0},
        {"слово руддщ", 6}, {"x = 5", 5},           {"", 0},
    };
    for (const Case& c : cases) {
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(wrongLayoutWordStart(line, static_cast<int>(line.size())), c.start) << c.line;
    }
}
