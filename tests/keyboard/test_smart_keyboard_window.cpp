// The Smart Keyboard in the main window: real key events into RichEdit1, the characters and
// character sets the control ends up with, and the layout indicator with its beeps.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "app/tform1.h"
#include "keyboard/typist.h"
#include "support/editor.h"

using keyboard_test::cp;
using keyboard_test::russianKeys;

namespace {

constexpr int kLatin = platform::kLatinCharset;
constexpr int kCyrillic = platform::kCyrillicCharset;

// A main window with a new, empty document, as the new-file command leaves it: Cyrillic,
// the indicator forced to show, beeps on.
class SmartKeyboard : public ::testing::Test {
  protected:
    void SetUp() override {
        editor = form->RichEdit1;
        editor->setEnabled(true);
        editor->Clear();
        editor->SetInsertCharset(kCyrillic);
        form->SmartKeyboardOn = true;
        form->LayoutBeep = true;
        form->ShownCharset = -1;
        form->RefreshLayoutIndicator();
        beepsBefore = prompts->beeps;
    }

    // Key events as a US desktop reports them: the Qt key, the modifiers and the US text.
    // (QTest's own clicks with modifiers would press and release Shift around every key.)
    void send(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers, QString text) {
        QKeyEvent event(type, qtKey, modifiers, text);
        QApplication::sendEvent(editor, &event);
    }
    void shiftDown() { send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, {}); }
    void shiftUp() { send(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, {}); }
    // One key, named by the US character it types, under the Shift state its character
    // needs (or with Shift held down already).
    void press(char us, bool shiftHeld) {
        const int qtKey =
            us >= 'a' && us <= 'z' ? Qt::Key_A + (us - 'a') : QChar(us).toUpper().unicode();
        const auto modifiers = shiftHeld ? Qt::ShiftModifier : Qt::NoModifier;
        send(QEvent::KeyPress, qtKey, modifiers, QString(QChar(us)));
        send(QEvent::KeyRelease, qtKey, modifiers, QString(QChar(us)));
    }
    // Shifted characters are typed with Shift pressed before the key and released after it.
    void key(char us) {
        static const std::string unshifted = "`1234567890-=qwertyuiop[]\\asdfghjkl;'zxcvbnm,./ ";
        const bool shifted = unshifted.find(us) == std::string::npos;
        if (shifted) shiftDown();
        press(us, shifted);
        if (shifted) shiftUp();
    }
    void keys(std::string_view us) {
        for (char c : us)
            key(c);
    }
    // A shifted key with Shift kept down.
    void shiftedKey(char us) { press(us, true); }

    // The character sets of the text, one letter a character: C (204), L (0), ? (other).
    std::string layouts() const {
        std::string out;
        for (int i = 0; i < editor->TextLength(); ++i) {
            const int cs = editor->CharsetAt(i);
            out += cs == kCyrillic ? 'C' : cs == kLatin ? 'L' : '?';
        }
        return out;
    }
    std::string indicator() const { return form->Label1->text().toStdString(); }
    int beeps() const { return prompts->beeps - beepsBefore; }

    support::Editor window;
    support::ScriptedPrompts* prompts = window.prompts;
    TForm1* form = window.form.get();
    platform::TRichEdit* editor = nullptr;
    int beepsBefore = 0;
};

const std::string kLatinCaption = "Latin";
const std::string kCyrillicCaption = "Кириллица";

} // namespace

TEST_F(SmartKeyboard, TheWorkedSentenceSwitchesAndShowsEverySwitch) {
    ASSERT_EQ(indicator(), kCyrillicCaption);

    keys(russianKeys("Пусть "));
    EXPECT_EQ(beeps(), 0);

    key('$'); // Shift+4: ";" on the Russian layout, after a space it opens mathematics
    EXPECT_EQ(indicator(), kLatinCaption);
    EXPECT_EQ(form->Label1->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(beeps(), 1);
    EXPECT_TRUE(form->DollarSeen);

    keys("x^2");
    EXPECT_FALSE(form->DollarSeen);
    EXPECT_FALSE(form->RestoreAfterShift);

    shiftDown();
    shiftedKey('$');
    EXPECT_TRUE(form->RestoreAfterShift);
    EXPECT_EQ(indicator(), kLatinCaption); // Shift still held
    shiftUp();
    EXPECT_EQ(indicator(), kCyrillicCaption);
    EXPECT_EQ(form->Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(beeps(), 2);
    EXPECT_FALSE(form->RestoreAfterShift);

    keys(russianKeys(" тогда "));
    EXPECT_EQ(beeps(), 2);

    send(QEvent::KeyPress, Qt::Key_Backslash, Qt::NoModifier, "\\");
    EXPECT_TRUE(form->InCommandWord);
    EXPECT_EQ(editor->InsertCharset(), kLatin);
    EXPECT_EQ(indicator(), kCyrillicCaption); // the indicator follows at the key-up
    send(QEvent::KeyRelease, Qt::Key_Backslash, Qt::NoModifier, "\\");
    EXPECT_EQ(indicator(), kLatinCaption);
    EXPECT_EQ(beeps(), 3);

    keys("alpha");
    EXPECT_EQ(beeps(), 3);
    keys(" ");
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_EQ(indicator(), kCyrillicCaption);
    EXPECT_EQ(beeps(), 4);

    EXPECT_EQ(editor->Text(), cp("Пусть $x^2$ тогда \\alpha "));
    EXPECT_EQ(layouts(), "CCCCCC"
                         "LLLLL"
                         "CCCCCCC"
                         "LLLLLL"
                         "C");
}

TEST_F(SmartKeyboard, DisplayMathematicsTypedWithBothDollarsUnderShift) {
    keys(russianKeys("Итак "));
    shiftDown();
    shiftedKey('$');
    shiftedKey('$');
    shiftUp();
    EXPECT_EQ(editor->InsertCharset(), kLatin);
    keys("a+b");
    shiftDown();
    shiftedKey('$');
    shiftedKey('$');
    shiftUp();
    EXPECT_EQ(editor->InsertCharset(), kCyrillic);
    keys(russianKeys(" и"));
    EXPECT_EQ(editor->Text(), cp("Итак $$a+b$$ и"));
    EXPECT_EQ(layouts(), "CCCCC"
                         "LLLLLLL"
                         "CC");
    EXPECT_EQ(beeps(), 2);
}

TEST_F(SmartKeyboard, EnterEndsACommandWordAndStillBreaksTheLine) {
    keys("\\par");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_EQ(editor->InsertCharset(), kCyrillic);
    EXPECT_EQ(editor->Text(), "\\par\r\n");
    key('$'); // at the start of a line, Shift+4 opens mathematics
    EXPECT_EQ(editor->Text(), "\\par\r\n$");
    EXPECT_EQ(editor->InsertCharset(), kLatin);
}

TEST_F(SmartKeyboard, BackspaceEndsACommandWordAndStillDeletes) {
    keys("\\pat");
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_EQ(editor->Text(), "\\pa");
    // The deletion moves the caret into Latin text, yet the layout stays Cyrillic.
    EXPECT_EQ(editor->InsertCharset(), kCyrillic);
}

TEST_F(SmartKeyboard, EscEndsACommandWordAndTypesNothing) {
    keys("\\par");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_EQ(editor->Text(), "\\par");
    EXPECT_EQ(editor->InsertCharset(), kCyrillic);
    EXPECT_EQ(indicator(), kCyrillicCaption);
}

TEST_F(SmartKeyboard, CommandWordCharactersKeepLatinAndOthersReturn) {
    keys("\\frac{a_1(b).c\\x");
    EXPECT_TRUE(form->InCommandWord);
    EXPECT_EQ(layouts(), std::string(editor->TextLength(), 'L'));
    keys("}");
    EXPECT_FALSE(form->InCommandWord);
    keys("[");
    EXPECT_EQ(editor->Text(), cp("\\frac{a_1(b).c\\x}х"));
    EXPECT_EQ(layouts().substr(editor->TextLength() - 2), "CC");
}

TEST_F(SmartKeyboard, ShiftBackslashAndSemicolonAfterALetterStayCyrillic) {
    keys(russianKeys("а"));
    key('|');
    key('$');
    EXPECT_EQ(editor->Text(), cp("а/;"));
    EXPECT_EQ(layouts(), "CCC");
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_FALSE(form->DollarSeen);
    EXPECT_EQ(beeps(), 0);
}

TEST_F(SmartKeyboard, ArrowKeysLeaveTheCommandWordAndTheIndicatorFollowsTheCaret) {
    keys(russianKeys("ая "));
    keys("\\al");
    ASSERT_EQ(indicator(), kLatinCaption);
    const int beepsInWord = beeps();
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_TRUE(form->InCommandWord);
    EXPECT_EQ(indicator(), kLatinCaption);
    EXPECT_EQ(beeps(), beepsInWord);
    QTest::keyClick(editor, Qt::Key_Left);
    QTest::keyClick(editor, Qt::Key_Left);
    EXPECT_TRUE(form->InCommandWord);
    EXPECT_EQ(editor->InsertCharset(), kCyrillic);
    EXPECT_EQ(indicator(), kCyrillicCaption);
    EXPECT_EQ(beeps(), beepsInWord + 1);
    keys(russianKeys("ю"));
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_EQ(editor->Text(), cp("аяю \\al"));
}

TEST_F(SmartKeyboard, AsleepNothingSwitchesButTheIndicatorStillFollows) {
    form->SmartKeyboardOn = false;
    keys(russianKeys("а "));
    key('$');
    key('\\');
    EXPECT_EQ(editor->Text(), cp("а ;\\"));
    EXPECT_EQ(layouts(), "CCCC");
    EXPECT_EQ(indicator(), kCyrillicCaption);
    EXPECT_EQ(beeps(), 0);

    editor->SetInsertCharset(kLatin); // the user's own switch
    keys("x$");
    EXPECT_EQ(editor->InsertCharset(), kLatin);
    EXPECT_EQ(indicator(), kLatinCaption);
    EXPECT_EQ(beeps(), 1);
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_FALSE(form->DollarSeen);
    EXPECT_FALSE(form->RestoreAfterShift);
}

TEST_F(SmartKeyboard, AnotherCharacterSetIsLatinToTheRulesAndCyrillicToTheIndicator) {
    editor->SetInsertCharset(161);
    keys("\\a$");
    EXPECT_FALSE(form->InCommandWord);
    EXPECT_TRUE(form->RestoreAfterShift); // armed, but only a set of exactly 0 returns
    EXPECT_EQ(editor->InsertCharset(), 161);
    EXPECT_EQ(editor->Text(), "\\a$");
    EXPECT_EQ(layouts(), "???");
    EXPECT_EQ(indicator(), kCyrillicCaption);
}
