#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/richedit.h"
#include "platform/text_marks.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QMainWindow>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

using namespace platform;

namespace {

std::string cp(const char16_t* text) {
    return toCp1251(QStringView(text));
}

TextRun run(std::string text, int charset) {
    TextRun r;
    r.text = fromCp1251(text);
    r.charset = charset;
    return r;
}

// The font family the control shows the character at a Qt position in.
QString familyAt(TRichEdit& edit, int qtPosition) {
    QTextCursor cursor(edit.document());
    cursor.setPosition(qtPosition + 1);
    return cursor.charFormat().fontFamilies().toStringList().value(0);
}

void sendKey(QWidget* widget, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers,
             const QString& text, quint32 scanCode = 0) {
    QKeyEvent event(type, key, modifiers, scanCode, 0, 0, text);
    QApplication::sendEvent(widget, &event);
}

// A key filter made of functions, so that each test states only the keys it watches.
struct KeyFunctions : KeyFilter {
    std::function<void(int, Qt::KeyboardModifiers)> OnKeyDown;
    std::function<void(char&)> OnKeyPress;
    std::function<void(int, Qt::KeyboardModifiers)> OnKeyUp;
    void KeyDown(int vk, Qt::KeyboardModifiers m) override {
        if (OnKeyDown) OnKeyDown(vk, m);
    }
    void KeyPress(char& c) override {
        if (OnKeyPress) OnKeyPress(c);
    }
    void KeyUp(int vk, Qt::KeyboardModifiers m) override {
        if (OnKeyUp) OnKeyUp(vk, m);
    }
};

class RichEditTest : public ::testing::Test {
  protected:
    RichEditTest() { edit.SetKeyFilter(&keys); }

    KeyFunctions keys; // outlives the control
    TRichEdit edit;
    std::vector<std::string> events;

    void recordEvents() {
        keys.OnKeyDown = [this](int vk, Qt::KeyboardModifiers) {
            events.push_back("down " + std::to_string(vk));
        };
        keys.OnKeyPress = [this](char& c) {
            events.push_back("press " + std::to_string(static_cast<unsigned char>(c)));
        };
        keys.OnKeyUp = [this](int vk, Qt::KeyboardModifiers) {
            events.push_back("up " + std::to_string(vk));
        };
    }
};

} // namespace

// --- Text, lines and positions ---

TEST_F(RichEditTest, PositionsCountEveryLineBreakAsTwoCharacters) {
    edit.LoadRuns({run("ab\ncd", kLatinCharset), run("\n\nxyz", kCyrillicCharset)});
    const std::string text = "ab\r\ncd\r\n\r\nxyz";
    EXPECT_EQ(edit.Text(), text);
    EXPECT_EQ(edit.TextLength(), static_cast<int>(text.size()));
    ASSERT_EQ(edit.LineCount(), 4);
    EXPECT_EQ(edit.Line(0), "ab");
    EXPECT_EQ(edit.Line(2), "");
    EXPECT_EQ(edit.Line(3), "xyz");
    EXPECT_EQ(edit.Line(4), "");
    EXPECT_EQ(edit.LineLength(1), 2);

    for (int p = 0; p <= edit.TextLength(); ++p) {
        EXPECT_EQ(edit.CharBefore(p), p == 0 ? -1 : static_cast<unsigned char>(text[p - 1]))
            << "position " << p;
        const bool onLineFeed = p > 0 && text[p - 1] == '\r';
        if (!onLineFeed) {
            EXPECT_EQ(edit.FromQtPosition(edit.ToQtPosition(p)), p) << p;
        }
    }
    // A position on the LF of a line break stands for the end of that line.
    EXPECT_EQ(edit.ToQtPosition(3), 2);
    EXPECT_EQ(edit.ToQtPosition(10), 7);

    edit.SetSel(1, 4);
    EXPECT_EQ(edit.SelStart(), 1);
    EXPECT_EQ(edit.SelLength(), 4);
    EXPECT_EQ(edit.SelText(), "b\r\nc");
    edit.SetSelStart(10);
    EXPECT_EQ(edit.CharBeforeCaret(), '\n');
    edit.SetSel(edit.TextLength() + 5, 3);
    EXPECT_EQ(edit.SelStart(), edit.TextLength());
    EXPECT_EQ(edit.SelLength(), 0);
    edit.SetSel(11, 100);
    EXPECT_EQ(edit.SelText(), "yz");
}

TEST_F(RichEditTest, LineCountLeavesOutALastEmptyLineAndLinesComeWhole) {
    EXPECT_EQ(edit.LineCount(), 0);
    edit.LoadRuns({run("one\r\ntwo\r\n", kLatinCharset)});
    EXPECT_EQ(edit.LineCount(), 2);
    EXPECT_EQ(edit.Text(), "one\r\ntwo\r\n");
    // A lone CR and a lone LF break lines too.
    edit.LoadRuns({run("a\rb\nc", kLatinCharset)});
    EXPECT_EQ(edit.Text(), "a\r\nb\r\nc");
    const std::string longLine(10000, 'x');
    edit.LoadRuns({run(longLine + "\n", kLatinCharset)});
    EXPECT_EQ(edit.Line(0), longLine);
    // Every CP1251 byte but the line breaks survives, the no-break space included.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n') all += static_cast<char>(b);
    edit.LoadRuns({run(all, kCyrillicCharset)});
    EXPECT_EQ(edit.Text(), all);
    EXPECT_EQ(edit.Line(0), all);
}

TEST_F(RichEditTest, WalkTextGivesEveryCharacterAndOnlyTheBreaksBetweenLines) {
    auto walked = [this] {
        std::u16string text;
        edit.WalkText([&](char16_t u) { text += u; }, [&] { text += u'|'; });
        return text;
    };
    EXPECT_EQ(walked(), u"");
    edit.LoadRuns({run(cp(u"ab\r\nв\r\n"), kCyrillicCharset)});
    EXPECT_EQ(walked(), u"ab|в|");
}

// --- Character sets ---

TEST_F(RichEditTest, RunsKeepTheirCharsetsAndFonts) {
    TextRun bold = run("B", kLatinCharset);
    bold.bold = true;
    bold.halfPoints = 28;
    bold.color = 0xFF0000;
    edit.LoadRuns({run(cp(u"абв"), kCyrillicCharset), run("\\x", kLatinCharset),
                   run(cp(u"г\n"), kCyrillicCharset), run("q", 238), bold});
    EXPECT_EQ(edit.CharsetAt(0), kCyrillicCharset);
    EXPECT_EQ(edit.CharsetAt(2), kCyrillicCharset);
    EXPECT_EQ(edit.CharsetAt(3), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(4), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(5), kCyrillicCharset);
    EXPECT_EQ(edit.CharsetAt(8), 238);
    EXPECT_EQ(edit.CharsetAt(9), kLatinCharset);

    EXPECT_NE(familyAt(edit, 0), familyAt(edit, 3));
    EXPECT_EQ(familyAt(edit, 0), familyAt(edit, 7)); // 238 is shown as Cyrillic
    QTextCursor cursor(edit.document());
    cursor.setPosition(9);
    EXPECT_EQ(cursor.charFormat().fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(cursor.charFormat().fontPointSize(), 14.0);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));

    EXPECT_FALSE(edit.Modified());
    EXPECT_FALSE(edit.document()->isUndoAvailable());
    EXPECT_EQ(edit.SelStart(), 0);
}

TEST_F(RichEditTest, InsertionSetFollowsTheTextAtTheCaret) {
    edit.LoadRuns({run(cp(u"абв"), kCyrillicCharset), run("xyz\n", kLatinCharset),
                   run(cp(u"где\n"), kCyrillicCharset)});
    edit.SetSelStart(2);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    edit.SetSelStart(4);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
    edit.SetSelStart(8); // start of the second line: its first character counts
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    edit.SetSelStart(edit.TextLength()); // the empty last line keeps its break's set
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);

    edit.SetSelStart(2);
    edit.SetInsertCharset(kLatinCharset);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
    edit.SetSelText("\\f");
    EXPECT_EQ(edit.Text().substr(0, 4), cp(u"аб") + "\\f");
    EXPECT_EQ(edit.CharsetAt(2), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(3), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(4), kCyrillicCharset);
    EXPECT_EQ(edit.SelStart(), 4);
    EXPECT_EQ(edit.SelLength(), 0);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
    EXPECT_TRUE(edit.Modified());

    // Setting the set again at the same place changes nothing; moving the caret follows the
    // text there.
    edit.SetSelStart(1);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    QTest::keyClick(&edit, Qt::Key_Right);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    QTest::keyClick(&edit, Qt::Key_Right);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
}

TEST_F(RichEditTest, SettingTheSetOnASelectionChangesItWithoutMarkingTheTextModified) {
    edit.LoadRuns({run(cp(u"аб"), kCyrillicCharset), run("cd", kLatinCharset)});
    edit.SetSel(1, 2);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset); // the first selected character
    edit.SetInsertCharset(kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(0), kCyrillicCharset);
    EXPECT_EQ(edit.CharsetAt(1), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(2), kLatinCharset);
    EXPECT_EQ(edit.CharsetAt(3), kLatinCharset);
    EXPECT_EQ(familyAt(edit, 1), familyAt(edit, 3));
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.SelText(), cp(u"б") + "c");
}

TEST_F(RichEditTest, ClearEmptiesKeepsTheSetAndClearsModified) {
    edit.LoadRuns({run("abc", kLatinCharset)});
    edit.SetSelStart(3);
    edit.SetSelText("d");
    EXPECT_TRUE(edit.Modified());
    edit.SetInsertCharset(kCyrillicCharset);
    edit.Clear();
    EXPECT_EQ(edit.TextLength(), 0);
    EXPECT_FALSE(edit.Modified());
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    QTest::keyClick(&edit, Qt::Key_Q);
    EXPECT_EQ(edit.Text(), cp(u"й"));
    EXPECT_TRUE(edit.Modified());
    edit.SetModified(false);
    EXPECT_FALSE(edit.Modified());
}

// --- Keys ---

TEST_F(RichEditTest, KeyEventsRunDownPressUpAndTypeTheLayoutOfTheSet) {
    recordEvents();
    edit.SetInsertCharset(kCyrillicCharset);
    QTest::keyClick(&edit, Qt::Key_Q);
    EXPECT_EQ(events,
              (std::vector<std::string>{"down 81", "press " + std::to_string(0xE9), "up 81"}));
    EXPECT_EQ(edit.Text(), cp(u"й"));
    EXPECT_EQ(edit.CharsetAt(0), kCyrillicCharset);

    events.clear();
    QTest::keyClick(&edit, Qt::Key_Left);
    EXPECT_EQ(events, (std::vector<std::string>{"down 37", "up 37"}));
    QTest::keyClick(&edit, Qt::Key_End);

    // Cyrillic layout: `, Shift+4, Shift+3, Shift+7, /.
    QTest::keyClicks(&edit, "`$#?/");
    EXPECT_EQ(edit.Text(), cp(u"йё;№,."));
    edit.SetInsertCharset(kLatinCharset);
    QTest::keyClicks(&edit, "`$q");
    EXPECT_EQ(edit.Text(), cp(u"йё;№,.`$q"));
    EXPECT_EQ(edit.CharsetAt(edit.TextLength() - 1), kLatinCharset);
}

TEST_F(RichEditTest, TypedCharactersLeaveTheCaretAfterThemWithOrWithoutASelection) {
    edit.LoadRuns({run("abcd", kLatinCharset)});
    edit.SetSel(2, 0);
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(edit.Text(), "abxcd");
    EXPECT_EQ(edit.SelStart(), 3);
    EXPECT_FALSE(edit.textCursor().hasSelection());

    edit.SetSel(0, 2);
    QTest::keyClick(&edit, Qt::Key_Y);
    QTest::keyClick(&edit, Qt::Key_Z);
    EXPECT_EQ(edit.Text(), "yzxcd");
    EXPECT_EQ(edit.SelStart(), 2);
    EXPECT_EQ(edit.SelLength(), 0);

    // The view follows the caret down a document longer than the window.
    edit.resize(300, 120);
    edit.SetSelStart(edit.TextLength());
    for (int i = 0; i < 40; ++i)
        QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Q);
    EXPECT_TRUE(edit.viewport()->rect().contains(edit.cursorRect()));
}

TEST_F(RichEditTest, KeyPressMayReplaceOrSwallowTheCharacterAndSwitchItsSet) {
    edit.SetInsertCharset(kCyrillicCharset);
    keys.OnKeyPress = [this](char& c) {
        if (c == ';') { // as the typing rules turn ";" into an opening "$"
            c = '$';
            edit.SetInsertCharset(kLatinCharset);
        } else if (c == 'x') {
            c = 0;
        }
    };
    QTest::keyClick(&edit, Qt::Key_Dollar, Qt::ShiftModifier);
    EXPECT_EQ(edit.Text(), "$");
    EXPECT_EQ(edit.CharsetAt(0), kLatinCharset);
    QTest::keyClick(&edit, Qt::Key_X);
    EXPECT_EQ(edit.Text(), "$");

    // A key-down handler that switches the set changes the layout of that very key.
    edit.SetInsertCharset(kCyrillicCharset);
    keys.OnKeyPress = nullptr;
    keys.OnKeyDown = [this](int vk, Qt::KeyboardModifiers) {
        if (vk == 'Q') edit.SetInsertCharset(kLatinCharset);
    };
    QTest::keyClick(&edit, Qt::Key_Q);
    EXPECT_EQ(edit.Text(), "$q");
}

TEST_F(RichEditTest, EnterAndBackspaceGoThroughKeyPressThenDoTheirWork) {
    recordEvents();
    edit.LoadRuns({run("ab", kLatinCharset)});
    edit.SetSelStart(2);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(events, (std::vector<std::string>{"down 13", "press 13", "up 13"}));
    EXPECT_EQ(edit.Text(), "ab\r\n");
    EXPECT_EQ(edit.SelStart(), 4);

    events.clear();
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(events, (std::vector<std::string>{"down 8", "press 8", "up 8"}));
    EXPECT_EQ(edit.Text(), "ab"); // the whole line break goes
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.Text(), "a");

    // Swallowed, Enter does nothing; Tab and Alt combinations type nothing.
    keys.OnKeyPress = [](char& c) { c = 0; };
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Tab);
    keys.OnKeyPress = nullptr;
    QTest::keyClick(&edit, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(edit.Text(), "a");
}

TEST_F(RichEditTest, NativeScanCodesDecideTheKeyWhateverTheDesktopLayout) {
    edit.SetInsertCharset(kCyrillicCharset);
    // The Q key (X11 keycode 24) while the desktop layout is US.
    sendKey(&edit, QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q", 24);
    sendKey(&edit, QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, "q", 24);
    EXPECT_EQ(edit.Text(), cp(u"й"));
    // The Q key while the desktop layout is Russian: the control types its own US layout.
    edit.SetInsertCharset(kLatinCharset);
    sendKey(&edit, QEvent::KeyPress, 0x0419, Qt::NoModifier, QString(QChar(0x0439)), 24);
    EXPECT_EQ(edit.Text(), cp(u"й") + "q");
    // Shift+4 (keycode 13) in Cyrillic.
    edit.SetInsertCharset(kCyrillicCharset);
    sendKey(&edit, QEvent::KeyPress, Qt::Key_Dollar, Qt::ShiftModifier, "$", 13);
    EXPECT_EQ(edit.Text(), cp(u"й") + "q;");
    // The backslash key is virtual key 220 in both layouts.
    int downKey = 0;
    keys.OnKeyDown = [&downKey](int vk, Qt::KeyboardModifiers) { downKey = vk; };
    sendKey(&edit, QEvent::KeyPress, Qt::Key_Backslash, Qt::NoModifier, "\\", 51);
    EXPECT_EQ(downKey, VK_OEM_5);
}

TEST_F(RichEditTest, ControlShiftOrAltShiftAloneSwitchesTheLayout) {
    const auto press = [this](int key, Qt::KeyboardModifiers m) {
        sendKey(&edit, QEvent::KeyPress, key, m, {});
    };
    const auto release = [this](int key, Qt::KeyboardModifiers m) {
        sendKey(&edit, QEvent::KeyRelease, key, m, {});
    };
    recordEvents();
    edit.SetInsertCharset(kLatinCharset);
    press(Qt::Key_Control, Qt::ControlModifier);
    press(Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    release(Qt::Key_Shift, Qt::ControlModifier);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    release(Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    EXPECT_EQ(events, (std::vector<std::string>{"down 17", "down 16", "up 16", "up 17"}));

    press(Qt::Key_Alt, Qt::AltModifier);
    press(Qt::Key_Shift, Qt::AltModifier | Qt::ShiftModifier);
    release(Qt::Key_Alt, Qt::ShiftModifier);
    release(Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
    // Shift first: the X keymaps give Alt under Shift as Meta.
    press(Qt::Key_Shift, Qt::ShiftModifier);
    press(Qt::Key_Meta, Qt::ShiftModifier | Qt::AltModifier);
    release(Qt::Key_Meta, Qt::ShiftModifier);
    release(Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(edit.InsertCharset(), kCyrillicCharset);
    edit.SetInsertCharset(kLatinCharset);

    // With another key in between it is a shortcut, not a switch; Shift alone neither.
    press(Qt::Key_Control, Qt::ControlModifier);
    press(Qt::Key_Shift, Qt::ControlModifier | Qt::ShiftModifier);
    press(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    release(Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    release(Qt::Key_Shift, Qt::ControlModifier);
    release(Qt::Key_Control, Qt::NoModifier);
    press(Qt::Key_Shift, Qt::ShiftModifier);
    release(Qt::Key_Shift, Qt::NoModifier);
    EXPECT_EQ(edit.InsertCharset(), kLatinCharset);
    // Autorepeat of a held key sends no key-up until the real release.
    events.clear();
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Shift, Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(&edit, &repeat);
    EXPECT_TRUE(events.empty());
}

TEST_F(RichEditTest, MenuShortcutsWinOverTheControlsOwnKeys) {
    QMainWindow window;
    auto* control = new TRichEdit(&window);
    window.setCentralWidget(control);
    int saved = 0;
    int copied = 0;
    auto* statements = new QAction(&window);
    statements->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QObject::connect(statements, &QAction::triggered, [&saved] { ++saved; });
    auto* copy = new QAction(&window);
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    QObject::connect(copy, &QAction::triggered, [&copied] { ++copied; });
    window.addAction(statements);
    window.addAction(copy);
    // The window hands the control what it binds; the control holds no letters of its own.
    control->SetWindowShortcuts({statements->shortcut(), copy->shortcut(),
                                 QKeySequence(Qt::CTRL | Qt::Key_X),
                                 QKeySequence(Qt::CTRL | Qt::Key_V),
                                 QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::Key_F7)});
    window.show();
    QApplication::setActiveWindow(&window);
    control->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    control->LoadRuns({run("abc", kLatinCharset)});
    control->SetSel(0, 3);
    QApplication::clipboard()->setText("untouched");
    QTest::keyClick(control, Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(QApplication::clipboard()->text(), "untouched");

    for (int key :
         {int(Qt::Key_C), int(Qt::Key_X), int(Qt::Key_V), int(Qt::Key_Y), int(Qt::Key_F7)}) {
        QKeyEvent overrideEvent(QEvent::ShortcutOverride, key,
                                key == Qt::Key_F7 ? Qt::NoModifier : Qt::ControlModifier);
        QApplication::sendEvent(control, &overrideEvent);
        EXPECT_FALSE(overrideEvent.isAccepted()) << key;
    }
    // On a Russian desktop the C key reports a Cyrillic letter: its physical key decides.
    QKeyEvent russianCopy(QEvent::ShortcutOverride, 0x0421, Qt::ControlModifier, 54, 0, 0,
                          QString(QChar(0x0441)));
    QApplication::sendEvent(control, &russianCopy);
    EXPECT_FALSE(russianCopy.isAccepted());
    // Keys the main window does not bind stay the control's.
    QKeyEvent undo(QEvent::ShortcutOverride, Qt::Key_Z, Qt::ControlModifier);
    QApplication::sendEvent(control, &undo);
    EXPECT_TRUE(undo.isAccepted());
    QKeyEvent paste(QEvent::ShortcutOverride, Qt::Key_V, Qt::ControlModifier);
    control->SetWindowShortcuts({});
    QApplication::sendEvent(control, &paste);
    EXPECT_TRUE(paste.isAccepted());
}

TEST_F(RichEditTest, MouseDownSeesTheCaretAtTheClick) {
    edit.resize(400, 200);
    edit.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.LoadRuns({run("first line\nsecond line", kLatinCharset)});
    int caretAtDown = -1;
    bool up = false;
    edit.OnMouseDown = [&] { caretAtDown = edit.SelStart(); };
    edit.OnMouseUp = [&] { up = true; };
    QTextCursor target(edit.document());
    target.setPosition(edit.ToQtPosition(15));
    const QRect rect = edit.cursorRect(target);
    QTest::mouseClick(edit.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    EXPECT_EQ(caretAtDown, 15);
    EXPECT_TRUE(up);
}

// --- Find ---

TEST_F(RichEditTest, FindCountsLineBreaksFoldsCyrillicCaseAndHonoursWholeWords) {
    edit.LoadRuns({run(cp(u"Первая строка\nвторая СТРОКА ёлка\n"), kCyrillicCharset),
                   run("\\alpha \\alphabet", kLatinCharset)});
    const int end = edit.TextLength();
    EXPECT_EQ(edit.FindText(cp(u"строка"), 0, end, false, true), 7);
    EXPECT_EQ(edit.FindText(cp(u"строка"), 8, end, false, true), -1);
    EXPECT_EQ(edit.FindText(cp(u"строка"), 8, end, false, false), 22);
    EXPECT_EQ(edit.FindText(cp(u"ЁЛКА"), 0, end, false, false), 29);
    edit.SetSel(22, 6);
    EXPECT_EQ(edit.SelText(), cp(u"СТРОКА"));
    // A match across a line break, and one that starts on its LF.
    EXPECT_EQ(edit.FindText(cp(u"ка\r\nвт"), 0, end, false, true), 11);
    EXPECT_EQ(edit.FindText("\n", 14, end, false, true), 14);
    // Whole words; the range end is exclusive.
    EXPECT_EQ(edit.FindText("\\alpha", 0, end, true, true), 35);
    EXPECT_EQ(edit.FindText("\\alpha", 36, end, true, true), -1);
    EXPECT_EQ(edit.FindText("\\alpha", 36, end, false, true), 42);
    EXPECT_EQ(edit.FindText("bet", 0, end - 1, false, true), -1);
    EXPECT_EQ(edit.FindText("bet", 0, end, false, true), end - 3);
    EXPECT_EQ(edit.FindText("", 0, end, false, true), -1);
    EXPECT_EQ(edit.FindText("a", -5, 1000000, false, true), 36);
}

TEST_F(RichEditTest, BackwardFindOverManyMatchesReadsNoWholeCopies) {
    // 1,000,000 characters holding 10,000 matches; a backward find walks all of them with
    // one forward find each.
    std::vector<TextRun> runs;
    for (int i = 0; i < 10000; ++i) {
        runs.push_back(run(cp(u"текст и ещё текст, и снова текст ") + "x", kCyrillicCharset));
        runs.push_back(
            run(std::string(64, 'y') + "\n" + "needle " + std::string(17, 'z'), kLatinCharset));
    }
    edit.LoadRuns(runs);
    ASSERT_GE(edit.TextLength(), 1000000);
    QElapsedTimer timer;
    timer.start();
    int found = -1;
    int count = 0;
    for (int from = 0;;) {
        const int r = edit.FindText("NEEDLE", from, edit.TextLength(), true, false);
        if (r < 0) break;
        found = r;
        from = r + 1;
        ++count;
    }
    EXPECT_EQ(count, 10000);
    EXPECT_EQ(found, edit.TextLength() - 24);
    EXPECT_LT(timer.elapsed(), 1000);
}

// --- Limits and clipboard ---

TEST_F(RichEditTest, TypingPastingAndSetSelTextStopAtTheMaximumLengthWithABeep) {
    int beeps = 0;
    edit.OnBeep = [&beeps] { ++beeps; };
    // 9,999 lines of 98 letters and a line break, then 98 letters: two short of the limit.
    std::string text;
    for (int i = 0; i < 9999; ++i)
        text += std::string(98, 'a') + "\n";
    edit.LoadRuns({run(text + std::string(98, 'a'), kLatinCharset)});
    ASSERT_EQ(edit.TextLength(), TRichEdit::kMaxLength - 2);
    edit.SetSelStart(edit.TextLength());
    QTest::keyClick(&edit, Qt::Key_B);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength - 1);
    QTest::keyClick(&edit, Qt::Key_Return); // a line break needs two
    EXPECT_EQ(beeps, 1);
    QTest::keyClick(&edit, Qt::Key_C);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength);
    QTest::keyClick(&edit, Qt::Key_D);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength);

    QApplication::clipboard()->setText("xy");
    edit.PasteFromClipboard();
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength);
    // Replacing a selection of the same length fits.
    edit.SetSel(0, 2);
    edit.PasteFromClipboard();
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(edit.Text().substr(0, 3), "xya");

    // The program's own insertions are held to the same limit.
    edit.SetSel(0, 1);
    EXPECT_FALSE(edit.SetSelText("\n"));
    EXPECT_EQ(beeps, 4);
    EXPECT_TRUE(edit.SetSelText("z"));
    EXPECT_EQ(edit.Text().substr(0, 3), "zya");
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength);
}

TEST_F(RichEditTest, ClipboardConvertsBetweenUnicodeAndCp1251) {
    edit.LoadRuns({run(cp(u"ёж\nab"), kCyrillicCharset)});
    edit.SetSel(1, 3);
    edit.CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf16(u"ж\n"));
    edit.SetSel(0, 1);
    edit.SetSelText("\xA0");
    edit.SetSel(0, 1);
    edit.copy(); // the context menu's copy keeps the no-break space too
    EXPECT_EQ(QApplication::clipboard()->text(), QString(QChar(0xA0)));
    edit.SetSel(0, 1);
    edit.SetSelText(cp(u"ё"));
    edit.SetSel(1, 3);
    edit.CopyToClipboard();
    edit.CutToClipboard();
    EXPECT_EQ(edit.Text(), cp(u"ё") + "ab");
    edit.SetSelStart(1);
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.Text(), cp(u"ёж\r\nab"));

    QApplication::clipboard()->setText(QString::fromUtf16(u"€ 日\r\nя"));
    edit.SetInsertCharset(kLatinCharset);
    edit.PasteFromClipboard();
    EXPECT_EQ(edit.Line(1), cp(u"€ ?"));
    EXPECT_EQ(edit.Line(2), cp(u"я") + "ab");
    EXPECT_EQ(edit.CharsetAt(edit.SelStart() - 1), kLatinCharset);

    // A paste filter decides what goes in.
    edit.OnPaste = [](const QString& text) { return u'[' + text + u']'; };
    edit.Clear();
    QApplication::clipboard()->setText("q");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.Text(), "[q]");
}

namespace {

// Every character's format, the line breaks' included, as the control keeps them.
std::vector<QTextCharFormat> formatsOf(TRichEdit& edit) {
    std::vector<QTextCharFormat> formats;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        formats.push_back(block.charFormat());
        for (auto it = block.begin(); !it.atEnd(); ++it)
            formats.insert(formats.end(), it.fragment().length(), it.fragment().charFormat());
    }
    return formats;
}

} // namespace

// A replacement made in place gives the text and formats that selecting and replacing give,
// at run boundaries, line starts and line breaks, with and without line breaks in the new
// text, and leaves the caret where it was.
TEST_F(RichEditTest, ReplaceRangeMatchesSelectAndReplaceButKeepsTheCaret) {
    struct Case {
        int start, length;
        std::string text;
    };
    // "абв|xy\r\nz|гд\r\n\r\nе": Cyrillic, Latin, Cyrillic runs.
    const Case cases[] = {{1, 1, "XY"},     {3, 1, "Z"},    {4, 0, "q"},  {5, 2, "W"},
                          {7, 2, ""},       {2, 3, "1\n2"}, {9, 1, "ab"}, {10, 2, "k"},
                          {12, 0, "\r\nv"}, {15, 0, "end"}};
    const std::vector<TextRun> runs = {run(cp(u"абв"), kCyrillicCharset),
                                       run("xy\nz", kLatinCharset),
                                       run(cp(u"гд\n\nе"), kCyrillicCharset)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        TRichEdit expected;
        expected.LoadRuns(runs);
        expected.SetSel(c.start, c.length);
        ASSERT_TRUE(expected.SetSelText(c.text));

        edit.LoadRuns(runs);
        edit.SetSel(0, 0);
        EXPECT_EQ(edit.ReplaceRange(c.start, c.length, c.text), expected.SelStart());
        EXPECT_EQ(edit.Text(), expected.Text());
        EXPECT_TRUE(formatsOf(edit) == formatsOf(expected));
        EXPECT_EQ(edit.SelStart(), 0);
    }
}

// The edits of a block are one undo step; taking it back leaves nothing to redo. A
// replacement past the length limit changes nothing and does not beep.
TEST_F(RichEditTest, EditBlockIsOneUndoStepAndReplaceRangeKeepsTheLimit) {
    edit.LoadRuns({run("a-a-a", kLatinCharset)});
    {
        TRichEdit::EditBlock block(edit);
        edit.ReplaceRange(0, 1, "bb");
        edit.ReplaceRange(3, 1, "bb");
        edit.ReplaceRange(6, 1, "bb");
    }
    EXPECT_EQ(edit.Text(), "bb-bb-bb");
    edit.UndoLastStep();
    EXPECT_EQ(edit.Text(), "a-a-a");
    EXPECT_FALSE(edit.document()->isRedoAvailable());

    bool beeped = false;
    edit.OnBeep = [&beeped] { beeped = true; };
    edit.LoadRuns({run(std::string(TRichEdit::kMaxLength - 1, 'x'), kLatinCharset)});
    EXPECT_EQ(edit.ReplaceRange(0, 1, "yyy"), -1);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength - 1);
    EXPECT_EQ(edit.ReplaceRange(0, 1, "yy"), 2);
    EXPECT_EQ(edit.TextLength(), TRichEdit::kMaxLength);
    EXPECT_FALSE(beeped);
}

// --- Marks in layers ---

namespace {

// How many pixels of the viewport carry each colour.
QHash<QRgb, int> coloursOf(TRichEdit& edit) {
    QApplication::processEvents();
    const QImage image = edit.viewport()->grab().toImage();
    QHash<QRgb, int> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++colours[image.pixel(x, y) & 0xffffff];
    return colours;
}

} // namespace

TEST(TextMarksLayers, EachLayerKeepsItsOwnMarksAndDrawsThemInItsOwnColour) {
    TRichEdit edit;
    edit.resize(400, 200);
    edit.show();
    edit.setPlainText(QStringLiteral("одно слово\nвторая строка"));
    TextMarks& spelling = TextMarks::Of(edit, MarkLayer::Spelling);
    TextMarks& references = TextMarks::Of(edit, MarkLayer::References);
    EXPECT_EQ(&TextMarks::Of(edit, MarkLayer::Spelling), &spelling);
    spelling.SetMarks(0, {{0, 4}});
    references.SetMarks(0, {{5, 5}});
    references.SetEndState(0, 7);
    EXPECT_FALSE(spelling.IsChecked(1));
    EXPECT_EQ(spelling.EndState(0), TextMarks::kUnknownState);
    const QRgb red = 0xff0000, orange = 0xe07800;
    auto colours = coloursOf(edit);
    EXPECT_GT(colours.value(red), 4);
    EXPECT_GT(colours.value(orange), 4);

    // An edit in the line moves both; clearing one layer leaves the other.
    QTextCursor cursor(edit.document());
    cursor.insertText(QStringLiteral("ещё "));
    EXPECT_EQ(references.Marks(0), (std::vector<LineRange>{{9, 5}}));
    EXPECT_FALSE(references.IsChecked(0));
    spelling.ClearAll();
    EXPECT_TRUE(spelling.Marks(0).empty());
    EXPECT_EQ(references.Marks(0).size(), 1u);
    colours = coloursOf(edit);
    EXPECT_EQ(colours.value(red), 0);
    EXPECT_GT(colours.value(orange), 4);
    EXPECT_TRUE(edit.extraSelections().isEmpty()); // nothing of the text's own format
}
