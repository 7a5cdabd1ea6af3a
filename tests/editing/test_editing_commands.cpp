// The Edit menu on a real editor: the find and replace dialogs, find again, the
// remembered place, go to line, the clipboard and the paste guard.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>
#include <gtest/gtest.h>

#include "app/tform1.h"
#include "document/tex_view.h"
#include "editing/find_dialogs.h"
#include "platform/codepage.h"
#include "support/editor.h"
#include "support/qt_print.h"
#include "support/text.h"

namespace {

using support::cp1251;

platform::TextRun run(const std::string& text, int charset) {
    platform::TextRun r;
    r.text = platform::fromCp1251(text);
    r.charset = charset;
    return r;
}

struct Editor : support::Editor {
    Editor() {
        prompts->shown.clear();
        prompts->beeps = 0;
        edit().setEnabled(true);
    }

    // Lines separated by "\n", all in one character set.
    void setText(const std::string& text, int charset = platform::kLatinCharset) {
        edit().LoadRuns({run(text, charset)});
    }
    void caret(int position, int length = 0) { edit().SetSel(position, length); }
    std::pair<int, int> selection() { return {edit().SelStart(), edit().SelLength()}; }

    template <class T> T* find(TFindDialog* dialog, const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    template <class T> T* find(TReplaceDialog* dialog, const char* name) {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }

    // Opens the Find dialog with a text and options, as the user would fill it in.
    void findSetup(const std::string& text, bool down = true, bool wholeWord = false,
                   bool matchCase = false) {
        form->N15Click();
        auto* d = form->FindDialog1;
        find<QLineEdit>(d, "FindWhat")->setText(platform::fromCp1251(text));
        find<QRadioButton>(d, down ? "Down" : "Up")->setChecked(true);
        find<QCheckBox>(d, "WholeWord")->setChecked(wholeWord);
        find<QCheckBox>(d, "MatchCase")->setChecked(matchCase);
    }
    void findNext() { find<QPushButton>(form->FindDialog1, "FindNext")->click(); }

    void replaceSetup(const std::string& what, const std::string& with) {
        form->N16Click();
        auto* d = form->ReplaceDialog1;
        find<QLineEdit>(d, "FindWhat")->setText(platform::fromCp1251(what));
        find<QLineEdit>(d, "ReplaceWith")->setText(platform::fromCp1251(with));
    }
    void press(const char* button) { find<QPushButton>(form->ReplaceDialog1, button)->click(); }

    void goToLine(std::optional<std::string> answer) {
        prompts->inputAnswers.push_back(std::move(answer));
        form->Guarded([this] { form->N20Click(); });
    }
};

} // namespace

// ---------- The dialogs ----------

TEST(FindDialogs, CaptionsStartStateAndLimits) {
    Editor e;
    auto* f = e.form->FindDialog1;
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Найти"));
    EXPECT_FALSE(f->isModal());
    EXPECT_TRUE(e.find<QRadioButton>(f, "Down")->isChecked());
    EXPECT_TRUE(f->Down());
    EXPECT_EQ(e.find<QLineEdit>(f, "FindWhat")->maxLength(), 255);
    EXPECT_FALSE(e.find<QPushButton>(f, "FindNext")->isEnabled()); // nothing to find yet
    EXPECT_EQ(e.find<QPushButton>(f, "Cancel")->text(), QString::fromUtf8("Отмена"));

    auto* r = e.form->ReplaceDialog1;
    EXPECT_EQ(r->windowTitle(), QString::fromUtf8("Заменить"));
    EXPECT_EQ(e.find<QLineEdit>(r, "ReplaceWith")->maxLength(), 255);
    e.find<QLineEdit>(r, "FindWhat")->setText(QStringLiteral("x"));
    EXPECT_TRUE(e.find<QPushButton>(r, "ReplaceAll")->isEnabled());
    r->SetFindText(std::string(300, 'a'));
    EXPECT_EQ(r->FindText().size(), 255u);
}

TEST(FindDialogs, OpenAtTheMainWindowCornerOnceAndKeepTheirTexts) {
    Editor e;
    e.form->setGeometry(120, 90, 700, 500);
    e.form->show();
    e.form->N15Click();
    auto* f = e.form->FindDialog1;
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->frameGeometry().topLeft(), e.form->frameGeometry().topLeft());
    e.find<QLineEdit>(f, "FindWhat")->setText(QStringLiteral("word"));
    e.find<QCheckBox>(f, "MatchCase")->setChecked(true);
    f->move(400, 300);
    f->hide();
    e.form->move(150, 100);
    e.form->N15Click(); // closed and opened again: same texts and options, moved back
    EXPECT_EQ(f->frameGeometry().topLeft(), e.form->frameGeometry().topLeft());
    EXPECT_EQ(f->FindText(), "word");
    EXPECT_TRUE(f->MatchCase());
    e.form->N15Click(); // already open: still the one dialog
    EXPECT_EQ(e.form->findChildren<TFindDialog*>().size(), 1);

    e.form->N16Click();
    EXPECT_TRUE(e.form->ReplaceDialog1->isVisible());
    EXPECT_EQ(e.form->ReplaceDialog1->frameGeometry().topLeft(), e.form->frameGeometry().topLeft());
    f->hide();
    e.form->ReplaceDialog1->hide();
}

// ---------- Find ----------

TEST(Find, DownwardsWalksEveryMatchThenBeepsWithoutWrapping) {
    Editor e;
    e.setText("ab xx ab xx ab");
    e.caret(0, 4); // the search starts after the selection
    e.findSetup("ab");
    std::vector<int> found;
    for (int i = 0; i < 4 && e.prompts->beeps == 0; ++i) {
        e.findNext();
        if (e.prompts->beeps == 0) found.push_back(e.edit().SelStart());
    }
    EXPECT_EQ(found, (std::vector<int>{6, 12}));
    EXPECT_EQ(e.prompts->beeps, 1);
    EXPECT_EQ(e.selection(), std::make_pair(12, 2)); // the miss leaves the last match selected
    EXPECT_TRUE(e.form->FindDialog1->isVisible());
}

TEST(Find, UpwardsFromTheEndSelectsTwoThenZeroThenBeeps) {
    Editor e;
    e.setText("aaaa");
    e.caret(4);
    e.findSetup("aa", false);
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(2, 2));
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(0, 2));
    EXPECT_EQ(e.prompts->beeps, 0);
    e.findNext();
    EXPECT_EQ(e.prompts->beeps, 1);
    EXPECT_EQ(e.selection(), std::make_pair(0, 2));

    e.caret(0);
    e.findNext();
    EXPECT_EQ(e.prompts->beeps, 2);
    EXPECT_EQ(e.selection(), std::make_pair(0, 0));
}

TEST(Find, MatchCaseAndWholeWordWithRussianLetters) {
    Editor e;
    e.setText(cp1251("Abc abcd Слово словом"));
    e.findSetup("abc");
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(0, 3));

    e.caret(0);
    e.findSetup("abc", true, false, true);
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(4, 3));

    e.caret(0);
    e.findSetup("abc", true, true, true); // only inside "abcd"
    e.findNext();
    EXPECT_EQ(e.prompts->beeps, 1);

    e.caret(0);
    e.findSetup(cp1251("слово"));
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(9, 5));
    e.findSetup(cp1251("слово"), true, false, true);
    e.caret(0);
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(15, 5));
    e.caret(0);
    e.findSetup(cp1251("слово"), true, true, true); // "словом" is another word
    e.findNext();
    EXPECT_EQ(e.prompts->beeps, 2);
}

TEST(Find, MatchesOnLaterLinesCountEachBreakAsTwo) {
    Editor e;
    e.setText(cp1251("первая\n\nтретья строка\nцель тут"));
    e.findSetup(cp1251("цель"));
    e.findNext();
    EXPECT_EQ(e.selection(), std::make_pair(6 + 2 + 0 + 2 + 13 + 2, 4));
    EXPECT_EQ(e.edit().SelText(), cp1251("цель"));
    e.findSetup(cp1251("строка"), false);
    e.findNext();
    EXPECT_EQ(e.edit().SelText(), cp1251("строка"));
    EXPECT_EQ(e.edit().SelStart(), 6 + 2 + 2 + 7);
}

TEST(FindAgain, DoesNothingWithoutTextAndUsesTheFindDialogsSettingsWhenClosed) {
    Editor e;
    e.setText("one two one two");
    e.caret(15);
    e.form->N17Click();
    EXPECT_EQ(e.prompts->beeps, 0);
    EXPECT_EQ(e.selection(), std::make_pair(15, 0));

    e.findSetup("two", false);
    e.form->FindDialog1->hide();
    e.form->ReplaceDialog1->SetFindText(std::string("one")); // not used by find again
    e.form->N17Click();
    EXPECT_EQ(e.selection(), std::make_pair(12, 3));
    e.form->N17Click();
    EXPECT_EQ(e.selection(), std::make_pair(4, 3));
    e.form->N17Click();
    EXPECT_EQ(e.prompts->beeps, 1);
}

// ---------- Replace ----------

TEST(Replace, TakesTheFindTextOnlyWhileItHasNone) {
    Editor e;
    e.findSetup("first");
    e.form->N16Click();
    EXPECT_EQ(e.form->ReplaceDialog1->FindText(), "first");
    e.find<QLineEdit>(e.form->ReplaceDialog1, "FindWhat")->setText(QStringLiteral("own"));
    e.findSetup("second");
    e.form->N16Click();
    EXPECT_EQ(e.form->ReplaceDialog1->FindText(), "own");
}

TEST(Replace, FindNextGoesForwardAndReplaceTakesTheSelectedMatch) {
    Editor e;
    e.setText("cat dog cat dog cat");
    e.caret(19);
    e.replaceSetup("cat", "CAT");
    e.press("FindNext");
    EXPECT_EQ(e.prompts->beeps, 1); // forwards only, even at the end
    e.caret(1);
    e.press("FindNext");
    EXPECT_EQ(e.selection(), std::make_pair(8, 3));
    e.press("Replace");
    EXPECT_EQ(e.edit().Text(), "cat dog CAT dog cat");
    EXPECT_EQ(e.selection(), std::make_pair(11, 0));
    e.caret(12, 3); // "dog" is no match: the next "cat" is replaced at once
    e.press("Replace");
    EXPECT_EQ(e.edit().Text(), "cat dog CAT dog CAT");
    e.press("Replace");
    EXPECT_EQ(e.prompts->beeps, 2);
    EXPECT_EQ(e.edit().Text(), "cat dog CAT dog CAT");
}

TEST(Replace, AllDoublesEachOccurrenceOnceFromTheTextStart) {
    Editor e;
    e.setText("a\nbanana\na");
    e.caret(8, 3); // the selection does not matter
    e.replaceSetup("a", "aa");
    e.press("ReplaceAll");
    EXPECT_EQ(e.edit().Text(), "aa\r\nbaanaanaa\r\naa");
    EXPECT_EQ(e.prompts->beeps, 0);
    EXPECT_EQ(e.selection(), std::make_pair(e.edit().TextLength(), 0));

    // One undo takes the whole replace back.
    e.edit().undo();
    EXPECT_EQ(e.edit().Text(), "a\r\nbanana\r\na");
}

// Replace All that would take the text past the control's limit is refused whole, as a
// paste is: a beep, the text, selection, modified flag and undo history as they were.
TEST(Replace, AllThatWouldPassTheLimitChangesNothing) {
    Editor e;
    const int filler = platform::TRichEdit::kMaxLength - 5 - 6;
    e.setText("aaaaaa" + std::string(static_cast<size_t>(filler), 'x'));
    e.caret(7, 2);
    e.replaceSetup("a", "aa"); // six more characters where five fit
    e.press("ReplaceAll");
    EXPECT_EQ(e.prompts->beeps, 1);
    EXPECT_EQ(e.edit().Text().substr(0, 8), "aaaaaaxx");
    EXPECT_EQ(e.edit().TextLength(), platform::TRichEdit::kMaxLength - 5);
    EXPECT_EQ(e.selection(), std::make_pair(7, 2));
    EXPECT_FALSE(e.edit().Modified());
    EXPECT_FALSE(e.edit().document()->isUndoAvailable());
    EXPECT_FALSE(e.edit().document()->isRedoAvailable());

    e.caret(0, 1);
    e.edit().SetSelText("x"); // five matches now fit exactly
    e.press("ReplaceAll");
    EXPECT_EQ(e.prompts->beeps, 1);
    EXPECT_EQ(e.edit().TextLength(), platform::TRichEdit::kMaxLength);
}

TEST(Replace, AllWithoutAMatchIsSilentAndChangesNothing) {
    Editor e;
    e.setText("abc");
    e.edit().SetModified(false);
    e.caret(1, 1);
    e.replaceSetup("x", "y");
    e.press("ReplaceAll");
    EXPECT_EQ(e.prompts->beeps, 0);
    EXPECT_EQ(e.edit().Text(), "abc");
    EXPECT_FALSE(e.edit().Modified());
    EXPECT_EQ(e.selection(), std::make_pair(1, 1));
}

// The formats of every character, line by line.
std::vector<QTextCharFormat> formatsOf(platform::TRichEdit& edit) {
    std::vector<QTextCharFormat> formats;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            formats.insert(formats.end(), static_cast<size_t>(it.fragment().length()),
                           it.fragment().charFormat());
    return formats;
}

TEST(Replace, AllGivesTheSameTextAndFormatsAsReplacingOneByOne) {
    // Matches at line starts, after Latin and after Cyrillic text, starting in one set and
    // ending in the other, in bold and plain runs.
    auto load = [](Editor& e) {
        platform::TextRun bold = run("xa ", platform::kLatinCharset);
        bold.bold = true;
        e.edit().LoadRuns(
            {run("xa", platform::kLatinCharset), run(cp1251("я xa\n"), platform::kCyrillicCharset),
             run("x", platform::kLatinCharset), run(cp1251("a д"), platform::kCyrillicCharset),
             bold, run("xa\nxa", platform::kLatinCharset)});
    };
    Editor all, one;
    load(all);
    load(one);
    all.replaceSetup("xa", cp1251("ЮЮ"));
    all.press("ReplaceAll");
    one.replaceSetup("xa", cp1251("ЮЮ"));
    one.caret(0);
    while (one.prompts->beeps == 0)
        one.press("Replace");
    EXPECT_EQ(all.edit().Text(), one.edit().Text());
    EXPECT_EQ(all.edit().Text(), cp1251("ЮЮя ЮЮ\r\nЮЮ дЮЮ ЮЮ\r\nЮЮ"));
    EXPECT_TRUE(formatsOf(all.edit()) == formatsOf(one.edit()));
    EXPECT_EQ(all.selection(), one.selection());
    EXPECT_TRUE(all.edit().Modified());

    // And to nothing at all.
    Editor none;
    load(none);
    none.replaceSetup("xa", "");
    none.press("ReplaceAll");
    EXPECT_EQ(none.edit().Text(), cp1251("я \r\n д \r\n"));
}

// ---------- Remembered place and go to line ----------

TEST(Place, ReturnGoesToTheRememberedSelectionStartAndCanRepeat) {
    Editor e;
    e.setText("0123456789");
    e.caret(5);
    e.form->N18Click(); // nothing remembered yet
    EXPECT_EQ(e.selection(), std::make_pair(5, 0));

    e.caret(3, 4);
    e.form->N21Click();
    EXPECT_EQ(e.form->MarkedPosition, 3);
    e.caret(9);
    e.form->N18Click();
    EXPECT_EQ(e.selection(), std::make_pair(3, 0));
    e.caret(0);
    e.form->N18Click();
    EXPECT_EQ(e.selection(), std::make_pair(3, 0));
}

TEST(Place, SurvivesOpeningAnotherDocument) {
    Editor e;
    e.setText("0123456789 0123456789");
    e.caret(15);
    e.form->N21Click();
    const QString path = e.programFile("short.tex");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc\r\n");
    file.close();
    e.form->Guarded([&] { e.form->OpenDocument(path); });
    EXPECT_EQ(e.form->MarkedPosition, 15);
    e.form->N18Click();
    EXPECT_EQ(e.selection(), std::make_pair(e.edit().TextLength(), 0));
}

TEST(GoToLine, AsksAndPutsTheCaretAtTheLineStart) {
    Editor e;
    e.setText("12345\n\nthird\nfourth");
    e.goToLine("3");
    ASSERT_EQ(e.prompts->ofKind("input").size(), 1u);
    EXPECT_EQ(e.prompts->ofKind("input")[0].caption, cp1251("Переход"));
    EXPECT_EQ(e.prompts->ofKind("input")[0].text, cp1251("Номер строки:") + "|"); // prompt|text
    EXPECT_EQ(e.selection(), std::make_pair(9, 0));

    const std::pair<const char*, int> answers[] = {{"1", 0},
                                                   {"0", 0},
                                                   {"-5", 0},
                                                   {"  4", 16},
                                                   {"$2", 7},
                                                   {"0x3", 9},
                                                   {"x4", 16},
                                                   {"$1F", e.edit().TextLength()},
                                                   {"0x10", e.edit().TextLength()},
                                                   {"999999", 22}};
    for (const auto& [answer, position] : answers) {
        e.caret(2, 3);
        e.goToLine(answer);
        EXPECT_EQ(e.selection(), std::make_pair(position, 0)) << answer;
    }
    EXPECT_EQ(e.prompts->beeps, 0);
}

TEST(GoToLine, NonNumbersBeepCancelAndOverflowLeaveTheCaret) {
    Editor e;
    e.setText("one\ntwo\nthree");
    int beeps = 0;
    for (const char* answer : {"abc", "", "2 ", "2x", "-", "$"}) {
        e.caret(5, 2);
        e.goToLine(answer);
        EXPECT_EQ(e.prompts->beeps, ++beeps) << answer;
        EXPECT_EQ(e.selection(), std::make_pair(5, 2)) << answer;
    }
    e.goToLine(std::nullopt); // Cancel
    EXPECT_EQ(e.prompts->beeps, beeps);
    EXPECT_EQ(e.selection(), std::make_pair(5, 2));

    e.goToLine("-2147483648");
    ASSERT_EQ(e.prompts->ofKind("error").size(), 1u);
    EXPECT_EQ(e.prompts->ofKind("error")[0].text, "Integer overflow");
    EXPECT_EQ(e.selection(), std::make_pair(5, 2));
    e.goToLine("-2147483647");
    EXPECT_EQ(e.selection(), std::make_pair(0, 0));
}

TEST(Place, IndicatorShowsTheLayoutAtTheNewCaret) {
    Editor e;
    e.edit().LoadRuns({run("latin ", platform::kLatinCharset),
                       run(cp1251("русский\n"), platform::kCyrillicCharset),
                       run("more latin", platform::kLatinCharset)});
    // The indicator as it reads with the caret at a position, whatever it showed before.
    auto labelAt = [&](int position) {
        e.caret(position);
        e.form->ShownCharset = -1;
        e.form->RefreshLayoutIndicator();
        return e.form->Label1->text();
    };
    const QString latin = labelAt(3);
    const QString cyrillic = labelAt(10);
    ASSERT_NE(latin, cyrillic);

    e.caret(10);
    e.form->N21Click();
    labelAt(2);
    e.form->N18Click();
    EXPECT_EQ(e.form->Label1->text(), cyrillic);

    labelAt(10);
    e.goToLine("2"); // "more latin" starts line 2
    EXPECT_EQ(e.edit().SelStart(), 15);
    EXPECT_EQ(e.form->Label1->text(), latin);
}

// ---------- Clipboard and the paste guard ----------

TEST(Clipboard, CutCopyPasteOnTheSelection) {
    Editor e;
    e.setText("hello world");
    e.caret(0, 5);
    e.form->N12Click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("hello"));
    e.caret(11);
    e.form->N13Click();
    EXPECT_EQ(e.edit().Text(), "hello worldhello");
    e.caret(5, 6);
    e.form->N11Click();
    EXPECT_EQ(e.edit().Text(), "hellohello");
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral(" world"));
}

TEST(PasteGuard, ForeignTextTakesTexSpellingsAndTheLabelCountsThem) {
    Editor e;
    e.setText("x");
    e.caret(1);
    e.form->Label1->setText(QStringLiteral("before"));
    QApplication::clipboard()->setText(
        QString::fromUtf8("«Да» — нет… “ok” „x“ 5\u00A0км – 3 \u4E2D"));
    e.form->N13Click();
    EXPECT_EQ(e.edit().Text(), cp1251("x<<Да>> --- нет\\ldots{} ``ok'' ,,x`` 5~км -- 3 ?"));
    EXPECT_EQ(e.form->Label1->text(), QString::fromUtf8("Вставка: «中» (U+4E2D) заменён на «?»"));
}

// Pasted into a document of any 8-bit code page, what it cannot hold becomes "?" and the
// notice names the first such character where the user reads it.
TEST(PasteGuard, EachCodePageNamesWhatBecameAQuestionMark) {
    for (const auto encoding : {platform::TextEncoding::Cp866, platform::TextEncoding::Cp1251,
                                platform::TextEncoding::Koi8r}) {
        SCOPED_TRACE(platform::encodingOf(encoding).name);
        Editor e;
        e.form->DocEncoding = encoding;
        e.setText("x");
        e.caret(1);
        QApplication::clipboard()->setText(QString::fromUtf8("Ёлки Σ 😀"));
        e.form->N13Click();
        EXPECT_EQ(e.edit().PlainText(), QString::fromUtf8("xЁлки ? ?"));
        const QString notice = QString::fromUtf8("Вставка: «Σ» (U+03A3) и ещё 1 заменены на «?»");
        const std::vector<QString>& boxes = e.prompts->unicodeInformations;
        EXPECT_TRUE(e.form->Label1->text() == notice ||
                    std::find(boxes.begin(), boxes.end(), notice) != boxes.end())
            << e.form->Label1->text().toStdString();
    }
}

// The notice stands in for the layout indicator only until the next key or caret move.
TEST(PasteGuard, TheNoticeGivesWayToTheIndicatorAtTheNextKeyOrCaretMove) {
    Editor e;
    e.setText(cp1251("абв"), platform::kCyrillicCharset);
    e.caret(3);
    e.form->RefreshLayoutIndicator();
    const QString cyrillic = QString::fromUtf8("Кириллица");
    ASSERT_EQ(e.form->Label1->text(), cyrillic);
    const QString notice = QString::fromUtf8("Вставка: заменено знаков: 1");

    QApplication::clipboard()->setText(QString::fromUtf8("«"));
    QTest::keyClick(&e.edit(), Qt::Key_V, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(e.form->Label1->text(), notice); // the paste's own keys leave it
    QTest::keyClick(&e.edit(), Qt::Key_Left);
    EXPECT_EQ(e.form->Label1->text(), cyrillic);

    e.form->N13Click();
    EXPECT_EQ(e.form->Label1->text(), notice);
    e.caret(0);
    EXPECT_EQ(e.form->Label1->text(), cyrillic);
}

TEST(PasteGuard, TextCopiedInTheEditorPastesBackUnchanged) {
    Editor e;
    // The guard spells a no-break space "~" in a CP866 document; one that came in another
    // way (from a file, a template) and is copied inside the editor stays itself.
    e.setText(cp1251("№a\u00A0b\nline"));
    e.caret(0, e.edit().TextLength());
    e.form->N12Click();
    e.caret(e.edit().TextLength());
    e.form->Label1->setText(QStringLiteral("before"));
    e.form->N13Click();
    EXPECT_EQ(e.edit().Text(), cp1251("№a\u00A0b\r\nline№a\u00A0b\r\nline"));
    EXPECT_EQ(e.form->Label1->text(), QStringLiteral("before"));

    // A copy from another program afterwards is guarded again.
    QApplication::clipboard()->setText(QString::fromUtf8("»"));
    e.form->N13Click();
    EXPECT_TRUE(e.edit().Text().ends_with(">>"));
}

TEST(PasteGuard, PastedTextSurvivesSaveAndReload) {
    Editor e;
    const QString path = e.programFile("guard.tex");
    e.setText(cp1251("Текст: "), platform::kCyrillicCharset);
    e.caret(e.edit().TextLength());
    QApplication::clipboard()->setText(QString::fromUtf8("«Ёлки» — 5°, № 7… €\u00A0и ё"));
    e.form->N13Click();
    const std::string pasted = e.edit().Text();
    e.form->Guarded([&] { e.form->SaveTexFile(path); });
    e.edit().Clear();
    e.form->Guarded([&] { e.form->LoadTexFile(path); });
    EXPECT_TRUE(e.prompts->ofKind("error").empty());
    std::string reloaded = e.edit().Text();
    while (reloaded.ends_with("\r\n"))
        reloaded.resize(reloaded.size() - 2);
    EXPECT_EQ(reloaded, pasted);
    EXPECT_EQ(pasted, cp1251("Текст: <<Ёлки>> --- 5°, № 7\\ldots{} ?~и ё"));
}

// In a UTF-8 document every character goes through find, replace and paste as it is; a
// document in an 8-bit code page refuses a replacement it could not save, before anything
// changes.
TEST(UnicodeText, FindReplaceAndPasteCarryEveryCharacter) {
    Editor e;
    e.form->DocEncoding = platform::TextEncoding::Utf8;
    e.edit().LoadRuns(document::viewRuns(QStringLiteral("α Σ 😀 α\nÖl α")));
    e.form->N16Click();
    auto* r = e.form->ReplaceDialog1;
    e.find<QLineEdit>(r, "FindWhat")->setText(QStringLiteral("Α")); // capital: case ignored
    e.find<QLineEdit>(r, "ReplaceWith")->setText(QStringLiteral("中😀"));
    e.press("ReplaceAll");
    EXPECT_EQ(e.edit().PlainText(), QStringLiteral("中😀 Σ 😀 中😀\nÖl 中😀"));
    e.caret(0);
    e.findSetup("");
    e.find<QLineEdit>(e.form->FindDialog1, "FindWhat")->setText(QStringLiteral("öL"));
    e.findNext();
    EXPECT_EQ(e.edit().SelectedText(), QStringLiteral("Öl"));
    QApplication::clipboard()->setText(QStringLiteral("ß→∞"));
    e.form->N13Click();
    EXPECT_EQ(e.edit().PlainText(), QStringLiteral("中😀 Σ 😀 中😀\nß→∞ 中😀"));

    e.form->DocEncoding = platform::TextEncoding::Cp866;
    const QString before = e.edit().PlainText();
    e.find<QLineEdit>(r, "FindWhat")->setText(QStringLiteral("Σ"));
    e.find<QLineEdit>(r, "ReplaceWith")->setText(QStringLiteral("ω"));
    e.form->Guarded([&] { e.press("ReplaceAll"); });
    ASSERT_EQ(e.prompts->unicodeErrors.size(), 1u);
    EXPECT_TRUE(e.prompts->unicodeErrors[0].contains(QStringLiteral("«ω» (U+03C9)")));
    EXPECT_EQ(e.edit().PlainText(), before);
}
