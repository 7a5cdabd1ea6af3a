// The Smart Keyboard's typing rules against a stand-in control, grouped by the state the
// keystroke finds: Cyrillic, a Latin command word, Latin mathematics, asleep.
#include <gtest/gtest.h>

#include "keyboard/typing_rules.h"
#include "keyboard/typist.h"

using namespace keyboard;
using namespace keyboard_test;

namespace {

struct Flags {
    bool inCommandWord, dollarSeen, restoreAfterShift;
    bool operator==(const Flags&) const = default;
};

Flags flagsOf(const Typist& t) {
    return {t.inCommandWord, t.dollarSeen, t.restoreAfterShift};
}

void PrintTo(const Flags& f, std::ostream* os) {
    *os << "{cmd " << f.inCommandWord << ", $seen " << f.dollarSeen << ", restore "
        << f.restoreAfterShift << "}";
}

} // namespace

TEST(CharacterClasses, CommandWordCharactersAreExactlyTheTwoClassStrings) {
    const std::string expected = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_#^"
                                 "0123456789._{()\\";
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(IsCommandWordChar(c), expected.find(c) != std::string::npos) << "byte " << b;
    }
}

TEST(CharacterClasses, SemicolonOpensMathematicsOnlyAfterSpaceLineFeedOrAtTheStart) {
    EXPECT_TRUE(OpensMathematics(';', ' '));
    EXPECT_TRUE(OpensMathematics(';', '\n'));
    EXPECT_TRUE(OpensMathematics(';', -1));
    for (int before : std::initializer_list<int>{'a', '7', '\t', '\r', 0xE0, '$', ';'})
        EXPECT_FALSE(OpensMathematics(';', before)) << before;
    for (int before : std::initializer_list<int>{'a', ' ', -1})
        EXPECT_TRUE(OpensMathematics('$', before));
    EXPECT_FALSE(OpensMathematics(':', ' '));
}

// ---------------------------------------------------------------- Cyrillic

TEST(InCyrillic, BackslashKeyOpensACommandWordTypedInLatin) {
    Typist t;
    t.keys(russianKeys("слово "));
    t.keys("\\");
    EXPECT_EQ(t.text, cp("слово \\"));
    EXPECT_EQ(t.layouts, "CCCCCCL");
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    EXPECT_EQ(flagsOf(t), (Flags{true, false, false}));
}

TEST(InCyrillic, ShiftBackslashTypesASlashAndOpensNoCommandWord) {
    Typist t;
    t.keys("|");
    EXPECT_EQ(t.text, "/");
    EXPECT_EQ(t.layouts, "C");
    EXPECT_EQ(flagsOf(t), (Flags{false, false, false}));
}

TEST(InCyrillic, DollarOpensMathematicsWhereverItIsTyped) {
    Typist t;
    t.keys(russianKeys("а"));
    char c = '$';
    t.rules.KeyPress(c);
    EXPECT_EQ(c, '$');
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    EXPECT_EQ(flagsOf(t), (Flags{false, true, false}));
}

TEST(InCyrillic, ShiftFourAfterSpaceLineFeedOrAtTheStartTypesAnOpeningDollar) {
    {
        Typist t; // start of the text
        t.keys("$");
        EXPECT_EQ(t.text, "$");
        EXPECT_EQ(t.layouts, "L");
        EXPECT_EQ(flagsOf(t), (Flags{false, true, false}));
    }
    {
        Typist t; // start of a line
        t.keys(russianKeys("а"));
        t.enter();
        t.keys("$");
        EXPECT_EQ(t.text, cp("а\r\n$"));
        EXPECT_EQ(t.layouts, "CCCL");
    }
    {
        Typist t; // after a space
        t.keys(russianKeys("а ") + "$x");
        EXPECT_EQ(t.text, cp("а $x"));
        EXPECT_EQ(t.layouts, "CCLL");
    }
}

TEST(InCyrillic, SemicolonAfterLetterDigitOrTabStaysASemicolon) {
    for (const char* before : {"а", "7", "\t"}) {
        Typist t;
        t.keys(russianKeys(before));
        t.keys("$");
        EXPECT_EQ(t.text, cp(before) + ";") << before;
        EXPECT_EQ(t.layouts, "CC");
        EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset);
        EXPECT_EQ(flagsOf(t), (Flags{false, false, false}));
    }
}

TEST(InCyrillic, OtherCharactersLeaveTheDollarBookkeepingAlone) {
    Typist t;
    t.dollarSeen = true;
    t.restoreAfterShift = true;
    t.keys(russianKeys("Слово, 1."));
    EXPECT_EQ(t.layouts, "CCCCCCCCC");
    EXPECT_EQ(flagsOf(t), (Flags{false, true, true}));
}

// ------------------------------------------------------- Latin command word

TEST(InCommandWord, CommandWordCharactersKeepLatin) {
    Typist t;
    t.keys("\\sec_2.x{y(z)#^");
    t.keys("\\"); // a second backslash inside the word
    EXPECT_EQ(t.text, "\\sec_2.x{y(z)#^\\");
    EXPECT_EQ(t.layouts, std::string(t.text.size(), 'L'));
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    EXPECT_EQ(flagsOf(t), (Flags{true, false, false}));
}

TEST(InCommandWord, AnyOtherCharacterEndsItAndIsTypedInCyrillic) {
    // The key after the word still types in Latin; the character it typed goes in Cyrillic.
    for (const char* end : {"}", "[", " ", ",", "]"}) {
        Typist t;
        t.keys(std::string("\\it") + end);
        EXPECT_EQ(t.text, std::string("\\it") + end);
        EXPECT_EQ(t.layouts, "LLLC") << end;
        EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset) << end;
        EXPECT_FALSE(t.inCommandWord) << end;
    }
}

TEST(InCommandWord, EnterAndBackspaceEndItAndStillDoTheirWork) {
    Typist t;
    t.keys("\\par");
    t.enter();
    EXPECT_EQ(t.text, "\\par\r\n");
    EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset);
    EXPECT_FALSE(t.inCommandWord);

    Typist u;
    u.keys("\\pat");
    u.backspace();
    EXPECT_EQ(u.text, "\\pa");
    EXPECT_EQ(u.insertCharset, platform::kCyrillicCharset);
    EXPECT_FALSE(u.inCommandWord);
    u.keys(russianKeys("я"));
    EXPECT_EQ(u.text, cp("\\paя"));
}

TEST(InCommandWord, DollarEndsItAndOpensMathematics) {
    Typist t;
    t.keys("\\x$");
    EXPECT_EQ(t.text, "\\x$");
    EXPECT_EQ(t.layouts, "LLL");
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    EXPECT_EQ(flagsOf(t), (Flags{false, true, false}));
}

TEST(InCommandWord, SemicolonAfterASpaceEndsItAndOpensMathematics) {
    // The caret was moved next to a space while the word was open.
    Typist t;
    t.text = "a ";
    // Built, not assigned from a literal: GCC 12 at -O3 warns of an uninitialized read
    // inside std::string's copy of "LL" (a false -Wmaybe-uninitialized).
    t.layouts = std::string(2, 'L');
    t.caret = 2;
    t.insertCharset = platform::kLatinCharset;
    t.inCommandWord = true;
    t.keys(";");
    EXPECT_EQ(t.text, "a $");
    EXPECT_EQ(t.layouts, "LLL");
    EXPECT_EQ(flagsOf(t), (Flags{false, true, false}));
}

TEST(InCommandWord, CharactersKeepTheDollarBookkeepingOfLatin) {
    Typist t;
    t.insertCharset = platform::kLatinCharset;
    t.inCommandWord = true;
    t.dollarSeen = true;
    t.restoreAfterShift = true;
    t.keys("a");
    EXPECT_EQ(flagsOf(t), (Flags{true, false, true}));
    t.keys("b");
    EXPECT_EQ(flagsOf(t), (Flags{true, false, false}));
}

TEST(InCommandWord, ArrowKeysNeitherContinueNorEndIt) {
    Typist t;
    t.keys(russianKeys("ая "));
    t.keys("\\al");
    t.left();
    t.left();
    EXPECT_TRUE(t.inCommandWord);
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset); // the caret is after "\", Latin text
    t.left();
    EXPECT_TRUE(t.inCommandWord);
    EXPECT_EQ(t.insertCharset,
              platform::kCyrillicCharset); // the caret followed the text to the space
    // The next character that cannot belong to a word ends it there.
    t.keys(russianKeys("ю"));
    EXPECT_FALSE(t.inCommandWord);
    EXPECT_EQ(t.text, cp("ая ю\\al"));
}

// ------------------------------------------------------- Latin mathematics

TEST(InMathematics, TheDollarBookkeepingFollowsTheStateTable) {
    struct Row {
        char c;
        bool dollarSeenBefore, restoreBefore;
        bool dollarSeenAfter, restoreAfter;
    };
    const Row rows[] = {
        {'$', false, false, true, true},   // closing dollar arms the return
        {'$', false, true, true, true},    //
        {'$', true, false, true, false},   // "$$": the return is left as it was
        {'$', true, true, true, true},     //
        {'x', false, false, false, false}, // another character disarms
        {'x', false, true, false, false},  //
        {'x', true, false, false, false},  // right after a dollar: left as it was
        {'x', true, true, false, true},    //
    };
    for (const Row& r : rows) {
        Typist t;
        t.insertCharset = platform::kLatinCharset;
        t.dollarSeen = r.dollarSeenBefore;
        t.restoreAfterShift = r.restoreBefore;
        char c = r.c;
        t.rules.KeyPress(c);
        EXPECT_EQ(c, r.c);
        EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
        EXPECT_EQ(flagsOf(t), (Flags{false, r.dollarSeenAfter, r.restoreAfter}))
            << r.c << r.dollarSeenBefore << r.restoreBefore;
    }
}

TEST(InMathematics, BackslashStartsNoCommandWordAndSemicolonStaysASemicolon) {
    Typist t;
    t.insertCharset = platform::kLatinCharset;
    t.keys("\\a ;");
    EXPECT_EQ(t.text, "\\a ;");
    EXPECT_EQ(t.layouts, "LLLL");
    EXPECT_FALSE(t.inCommandWord);
}

TEST(InMathematics, ReleasingShiftAfterTheClosingDollarReturnsToCyrillic) {
    Typist t;
    t.insertCharset = platform::kLatinCharset;
    t.shiftDown();
    t.key('4');
    EXPECT_TRUE(t.restoreAfterShift);
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset); // still held
    t.rules.KeyUp(0x41);                                 // releasing another key does nothing
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    t.shiftUp();
    EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset);
    EXPECT_EQ(flagsOf(t), (Flags{false, true, false}));
}

TEST(InMathematics, ShiftReleasedWhileTheSetIsNotLatinKeepsTheReturnArmed) {
    Typist t;
    t.insertCharset = platform::kLatinCharset;
    char dollar = '$';
    t.rules.KeyPress(dollar);
    ASSERT_TRUE(t.restoreAfterShift);
    for (int other : {platform::kCyrillicCharset, 161}) {
        t.insertCharset = other; // e.g. the caret moved into other text
        t.shiftDown();
        t.shiftUp();
        EXPECT_EQ(t.insertCharset, other);
        EXPECT_TRUE(t.restoreAfterShift);
    }
    t.insertCharset = platform::kLatinCharset;
    t.shiftDown();
    t.shiftUp();
    EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset);
    EXPECT_FALSE(t.restoreAfterShift);
}

TEST(InMathematics, AnotherCharacterSetCountsAsLatin) {
    Typist t;
    t.insertCharset = 161;
    t.keys("\\"); // no command word from a set that is not Cyrillic
    EXPECT_FALSE(t.inCommandWord);
    t.keys(" ;"); // no dollar trigger
    EXPECT_EQ(t.text, "\\ ;");
    t.keys("$"); // the Latin bookkeeping: the closing dollar arms the return...
    EXPECT_EQ(flagsOf(t), (Flags{false, true, true}));
    EXPECT_EQ(t.insertCharset, 161); // ...which only a set of exactly 0 takes
    EXPECT_EQ(t.layouts, "????");
}

// ------------------------------------------------------------------ asleep

TEST(Asleep, NoRuleApplies) {
    Typist t;
    t.smartKeyboardOn = false;
    t.keys(russianKeys("а ") + "$"); // ";" after a space stays ";"
    t.keys("\\");                    // no command word
    EXPECT_EQ(t.text, cp("а ;\\"));
    EXPECT_EQ(t.layouts, "CCCC");
    EXPECT_EQ(flagsOf(t), (Flags{false, false, false}));

    t.insertCharset = platform::kLatinCharset;
    t.keys("x$"); // the closing dollar does not return
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    EXPECT_EQ(flagsOf(t), (Flags{false, false, false}));

    // Flags set while awake are left as they are, and apply again on waking.
    t.restoreAfterShift = true;
    t.shiftDown();
    t.shiftUp();
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset);
    t.smartKeyboardOn = true;
    t.shiftDown();
    t.shiftUp();
    EXPECT_EQ(t.insertCharset, platform::kCyrillicCharset);
}

// ------------------------------------------------------- whole sentences

TEST(Sentences, InlineMathematicsAndACommandWord) {
    Typist t;
    t.keys(russianKeys("Пусть "));
    t.keys("$");   // Shift+4 on the Russian layout types ";"
    t.keys("x^2"); // Latin now
    t.keys("$");   // closing; the release of Shift returns to Cyrillic
    t.keys(russianKeys(", и "));
    t.keys("\\alpha");
    t.keys(" ");
    t.keys(russianKeys("ещё."));
    EXPECT_EQ(t.text, cp("Пусть $x^2$, и \\alpha ещё."));
    EXPECT_EQ(t.layouts, "CCCCCC"
                         "LLLLL"
                         "CCCC"
                         "LLLLLL"
                         "CCCCC");
    EXPECT_EQ(flagsOf(t), (Flags{false, false, false}));
}

TEST(Sentences, DisplayMathematicsWithBothDollarsUnderShift) {
    Typist t;
    t.keys(russianKeys("Итак "));
    t.shiftDown();
    t.key('4');
    t.key('4');
    t.shiftUp();
    EXPECT_EQ(t.insertCharset, platform::kLatinCharset); // the opening pair does not arm the return
    t.keys("a+b");
    t.shiftDown();
    t.key('4');
    t.key('4');
    EXPECT_TRUE(t.restoreAfterShift);
    t.shiftUp();
    t.keys(russianKeys(" и"));
    EXPECT_EQ(t.text, cp("Итак $$a+b$$ и"));
    EXPECT_EQ(t.layouts, "CCCCC"
                         "LLLLLLL"
                         "CC");
}

TEST(Sentences, ClosingDollarsTypedWithShiftReleasedBetweenThem) {
    // "$" then Shift released returns at once: the second "$" is then a Cyrillic ";"-key
    // after a "$", which stays ";".
    Typist t;
    t.insertCharset = platform::kLatinCharset;
    t.keys("a$$");
    EXPECT_EQ(t.text, "a$;");
    EXPECT_EQ(t.layouts, "LLC");
}
