#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <map>
#include <memory>

#include "platform/text_marks.h"
#include "support/editor.h"
#include "support/text.h"
#include "typography/typography_checker.h"

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct Window : support::Editor {
    using support::Editor::Editor;
    typography::TypographyChecker& checker() const { return *form->TypographyChecker1; }
    platform::TextMarks& marks() const {
        return platform::TextMarks::Of(edit(), platform::MarkLayer::Typography);
    }
    void open(const std::string& bytes) {
        support::writeBytes(programFolder / "doc.tex", bytes);
        form->Guarded([&] { form->OpenDocument(programFile("doc.tex")); });
        QCoreApplication::processEvents();
        checker().CheckAll();
    }
    QString text() const { return edit().PlainText(); }
    QStringList marked() const {
        QStringList texts;
        for (int line = 0; line < marks().LineCount(); ++line)
            for (const platform::LineRange& mark : marks().Marks(line))
                texts << marks().Line(line).text.mid(mark.start, mark.length);
        return texts;
    }
    // Triggers an item of the menu of the first mark of a line.
    void fromMenu(int line, const char* item) {
        const std::unique_ptr<QMenu> menu(
            checker().MenuFor(line, marks().Marks(line).at(0), form.get()));
        ASSERT_TRUE(menu);
        menu->findChild<QAction*>(QLatin1String(item))->trigger();
        QCoreApplication::processEvents();
        checker().CheckAll();
    }
};

TEST(TypographyChecker, MarksTheProseAndFixesAMarkOrAllOfARuleInOneUndoStep) {
    Window window;
    const char* text = "Он сказал \"привет\" - и cлово.\nкто то и из за \"угла\".\n% \"нет\"\n";
    window.open("\xEF\xBB\xBF" + std::string(text)); // UTF-8 documents take « »
    EXPECT_EQ(window.marked(), (QStringList{u("\""), u("\""), u(" - "), u("и "), u("cлово"),
                                            u("кто то"), u("и "), u("из за"), u("\""), u("\"")}));
    EXPECT_EQ(window.checker().ReasonFor(0, window.marks().Marks(0).at(4)),
              u("Латинская буква в русском слове"));

    window.fromMenu(0, "TypographyFix1");
    EXPECT_TRUE(window.text().startsWith(u("Он сказал «привет\" - и cлово.")));
    window.fromMenu(1, "TypographyFixAll1"); // every particle, both lines alike
    EXPECT_TRUE(window.text().contains(u("\nкто-то и из-за \"угла\"")));
    window.edit().undo();
    EXPECT_TRUE(window.text().contains(u("кто то и из за")));
    window.edit().undo();
    EXPECT_EQ(window.text(), u(text));
}

TEST(TypographyChecker, AWordInOneScriptTakesThatScriptsCharacterSet) {
    Window window;
    window.open(support::cp866("Это cлово.\r\n"));
    window.fromMenu(0, "TypographyFix1");
    EXPECT_EQ(window.text(), u("Это слово.\n"));
    EXPECT_EQ(window.edit().CharsetAt(4), 204);
}

TEST(TypographyChecker, TheDialogSwitchesRulesOffAndRemembersThem) {
    Window window;
    window.open(support::cp866("Он сказал \"привет\" кто то.\r\n"));
    EXPECT_EQ(window.marked().size(), 3);
    window.prompts->modalActions.push_back([](QDialog& dialog) {
        dialog.findChild<QCheckBox*>(QStringLiteral("TypographyRule2"))->setChecked(false);
        dialog.accept();
    });
    window.find("Typography1")->trigger();
    window.checker().CheckAll();
    EXPECT_EQ(window.marked(), QStringList{u("кто то")});
    Window again(window.programFolder);
    EXPECT_FALSE(again.checker().CurrentSettings().rules[1]);
}

TEST(TypographyChecker, NextMarkGoesRoundAndBeepsWithoutOne) {
    Window window;
    window.open(support::cp866("кто то\r\nслово\r\nгде нибудь\r\n"));
    window.edit().SetSel(3, 0);
    window.find("NextTypography1")->trigger();
    EXPECT_EQ(window.edit().SelectedText(), u("где нибудь"));
    window.find("NextTypography1")->trigger();
    EXPECT_EQ(window.edit().SelectedText(), u("кто то"));
    window.open(support::cp866("слово\r\n"));
    const int beeps = window.prompts->beeps;
    window.find("NextTypography1")->trigger();
    EXPECT_EQ(window.prompts->beeps, beeps + 1);
}

TEST(TypographyChecker, FixLayoutRetypesTheWordBeforeTheCaretOrTheSelection) {
    Window window;
    window.open(support::cp866("\\textbf{ghbdtn\r\nЭто руддщ\r\n"));
    platform::TRichEdit& edit = window.edit();
    edit.SetSel(14, 0);
    window.find("FixLayout1")->trigger();
    EXPECT_EQ(window.text(), u("\\textbf{привет\nЭто руддщ\n"));
    EXPECT_EQ(edit.CharsetAt(8), 204);
    EXPECT_EQ(edit.CharsetAt(7), 0);
    edit.SetSel(20, 5);
    window.find("FixLayout1")->trigger();
    EXPECT_EQ(window.text(), u("\\textbf{привет\nЭто hello\n"));
    EXPECT_EQ(edit.CharsetAt(20), 0);
    edit.undo();
    edit.undo();
    EXPECT_EQ(window.text(), u("\\textbf{ghbdtn\nЭто руддщ\n"));
    // "Ntjhtvf" and a key no Russian letter has: CP866 holds "№", KOI8-R would not.
    edit.SetSel(0, 0);
    edit.SetSelText(QStringView(u"Ntjhtvf # "));
    edit.SetSel(0, 9);
    window.find("FixLayout1")->trigger();
    EXPECT_TRUE(window.text().startsWith(u("Теорема № ")));
    edit.undo();
    window.form->DocEncoding = platform::TextEncoding::Koi8r;
    edit.SetSel(0, 9);
    window.find("FixLayout1")->trigger();
    EXPECT_TRUE(window.text().startsWith(u("Теорема # ")));
}

TEST(TypographyChecker, FixLayoutWorksInTheProgramsOwnFields) {
    Window window;
    auto* field = new QLineEdit(window.form.get());
    field->setText(QStringLiteral("find ghbdtn"));
    field->show();
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Pause);
    EXPECT_EQ(field->text(), u("find привет"));
}

} // namespace

namespace {

TEST(TypographyChecker, NoTwoCommandsShareAShortcut) {
    Window window;
    std::map<QString, QString> owners;
    for (QAction* action : window.form->findChildren<QAction*>()) {
        for (const QKeySequence& key : action->shortcuts()) {
            const QString text = key.toString();
            EXPECT_FALSE(owners.count(text))
                << text.toStdString() << ": " << owners[text].toStdString() << " and "
                << action->objectName().toStdString();
            owners[text] = action->objectName();
        }
    }
    EXPECT_EQ(owners[QStringLiteral("Pause")], QStringLiteral("FixLayout1"));
    EXPECT_EQ(owners[QStringLiteral("Ctrl+Shift+F8")], QStringLiteral("NextTypography1"));
}

} // namespace
