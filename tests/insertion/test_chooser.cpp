#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "insertion/tform7.h"
#include "platform/charsets.h"

namespace {

void key(QWidget* target, int code) {
    QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

TForm7& chooserOf(QDialog& d) {
    return dynamic_cast<TForm7&>(d);
}

// Opens the chooser as the user sees it, picks the row-th entry with the arrow keys and
// accepts with Enter.
std::function<void(QDialog&)> pickWithKeys(int row) {
    return [row](QDialog& d) {
        TForm7& c = chooserOf(d);
        c.show();
        for (int i = 0; i <= row; ++i)
            key(c.ListBox1, Qt::Key_Down);
        key(c.ListBox1, Qt::Key_Return);
    };
}

std::function<void(QDialog&)> pick(const std::string& entry) {
    return [entry](QDialog& d) {
        TForm7& c = chooserOf(d);
        c.show();
        const auto items = c.Items();
        const auto at = std::find(items.begin(), items.end(), entry);
        ASSERT_NE(at, items.end()) << entry;
        c.ListBox1->setCurrentRow(int(at - items.begin()));
        c.Button1->click();
    };
}

std::string repeat(char c, size_t n) {
    return std::string(n, c);
}

} // namespace

TEST(Chooser, FormulaChosenWithTheKeyboardGoesInWithItsLabel) {
    Editor e;
    e.form->FormulaEnvironments = listOf("equation\nalign\nGather\n");
    e.form->SmartKeyboardOn = true;
    e.prompts->modalActions.push_back([](QDialog& d) {
        TForm7& c = chooserOf(d);
        c.show();
        EXPECT_EQ(c.windowTitle(), QString::fromUtf8("Выбери окружение для формулы"));
        // Wide enough for the whole caption in a title bar's bold font.
        QFont bold = c.font();
        bold.setBold(true);
        EXPECT_GT(c.width(), QFontMetrics(bold).horizontalAdvance(c.windowTitle()) + 100);
        EXPECT_EQ(c.Items(), (std::vector<std::string>{"align", "equation", "Gather"}));
        EXPECT_FALSE(c.SelectedEntry());
        EXPECT_FALSE(c.CheckBox1->isChecked());
        EXPECT_TRUE(c.CheckBox2->isChecked());
        EXPECT_TRUE(c.CheckBox1->isVisibleTo(&c) && c.CheckBox2->isVisibleTo(&c));
        key(c.ListBox1, Qt::Key_Escape); // not bound
        EXPECT_TRUE(c.isVisible());
        pickWithKeys(1)(d);
    });
    e.form->N34Click();
    EXPECT_EQ(e.form->EnvironmentKind, 1);
    EXPECT_EQ(e.edit().Text(), "\\begin{equation}\\label{}\r\n\r\n\\end{equation}\r\n");
    EXPECT_EQ(e.edit().SelStart(), 23);
    EXPECT_EQ(e.edit().SelLength(), 0);
    EXPECT_EQ(e.sets(), repeat('L', e.edit().TextLength() - 3) + "CCC");
}

TEST(Chooser, StatementByDisplayNameWithoutStarKeepsTheUsersSetOnTheBody) {
    Editor e;
    e.form->StatementEnvironments = listOf("Лемма=lemma\nлемма=lemmaTwo\nТеорема=theorem\n");
    e.form->StatementEnvironments.sort();
    e.form->StatementEnvironmentNames = listOf("Теорема\nЛемма\nлемма\n");
    e.form->SmartKeyboardOn = true;
    e.edit().SetSelText(cp1251("до после"));
    e.edit().SetSel(3, 0);
    const std::string first = e.form->StatementEnvironments.value(cp1251("лемма"));
    e.prompts->modalActions.push_back([](QDialog& d) {
        TForm7& c = chooserOf(d);
        EXPECT_TRUE(c.CheckBox1->isChecked()); // star checked: it adds nothing here
        EXPECT_FALSE(c.CheckBox2->isChecked());
        pick(cp1251("лемма"))(d);
    });
    e.form->N28Click();
    const std::string block = "\\begin{" + first + "}\r\n\r\n\\end{" + first + "}\r\n";
    EXPECT_EQ(e.edit().Text(), cp1251("до ") + block + cp1251("после"));
    EXPECT_EQ(e.edit().SelStart(), 3 + int(first.size()) + 10);
    const std::string body =
        repeat('L', 7 + first.size()) + "CCCCC" + repeat('L', 5 + first.size()) + "CCC";
    EXPECT_EQ(e.sets(), "CCC" + body + "CCCCC");
}

TEST(Chooser, QueuedKeyPressNeverLandsInsideAStatementBlock) {
    Editor e;
    e.form->OtherEnvironments = listOf("itemize\n");
    e.form->SmartKeyboardOn = true;
    e.prompts->modalActions.push_back([&](QDialog& d) {
        QApplication::postEvent(e.form->RichEdit1,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        pick("itemize")(d);
    });
    e.form->N30Click();
    EXPECT_EQ(e.edit().Text(), "\\begin{itemize}\r\n\r\n\\end{itemize}\r\n");
    QApplication::processEvents();
}

TEST(Chooser, AcceptingWithNothingSelectedInsertsNothing) {
    Editor e;
    e.form->OtherEnvironments = listOf("itemize\n");
    e.form->CommandList = platform::StringList();
    e.prompts->modalActions.push_back([](QDialog& d) { chooserOf(d).Button1->click(); });
    e.form->N30Click();
    EXPECT_TRUE(e.form->Form7->Accepted);
    e.prompts->modalActions.push_back(pickWithKeys(-1)); // Enter at once, empty list
    e.form->N26Click();
    EXPECT_TRUE(e.form->Form7->Accepted);
    EXPECT_EQ(e.edit().Text(), "");
    // Cancel and closing without a choice insert nothing either.
    e.prompts->modalActions.push_back([](QDialog& d) {
        TForm7& c = chooserOf(d);
        c.ListBox1->setCurrentRow(0);
        c.Button2->click();
    });
    e.form->N30Click();
    EXPECT_FALSE(e.form->Form7->Accepted);
    EXPECT_EQ(e.edit().Text(), "");
}

TEST(Chooser, NoDocumentOpenInsertsNothing) {
    Editor e;
    e.form->FormulaEnvironments = listOf("equation\n");
    e.form->RichEdit1->setEnabled(false);
    e.prompts->modalActions.push_back(pick("equation"));
    e.form->N27Click();
    EXPECT_TRUE(e.form->Form7->Accepted);
    EXPECT_EQ(e.edit().Text(), "");
}

TEST(Chooser, StarBoxClearsTheLabelBoxButNotTheOtherWayRound) {
    Editor e;
    TForm7& c = *e.form->Form7;
    c.CheckBox2->setChecked(true);
    c.CheckBox1->setChecked(true);
    EXPECT_FALSE(c.CheckBox2->isChecked());
    c.CheckBox2->setChecked(true);
    EXPECT_TRUE(c.CheckBox1->isChecked());
    EXPECT_TRUE(c.CheckBox2->isChecked());
}

TEST(Chooser, DoubleClickAccepts) {
    Editor e;
    TForm7& c = *e.form->Form7;
    c.SetItems(listOf("b\na\n"));
    c.show();
    c.ListBox1->setCurrentRow(1);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(c.ListBox1->viewport(), &dbl);
    EXPECT_TRUE(c.Accepted);
    EXPECT_FALSE(c.isVisible());
    EXPECT_EQ(c.SelectedEntry(), "b");
}

TEST(Commands, TemplatesAndPlainCommandsInTheUsersLayout) {
    Editor e;
    e.form->CommandList = listOf("\\frac{}{}\n\\alpha\n");
    e.form->SmartKeyboardOn = true;
    e.prompts->modalActions.push_back([](QDialog& d) {
        TForm7& c = chooserOf(d);
        EXPECT_EQ(c.windowTitle(), QString::fromUtf8("Выбери команду из списка"));
        EXPECT_FALSE(c.CheckBox1->isVisibleTo(&c));
        EXPECT_FALSE(c.CheckBox2->isVisibleTo(&c));
        pick("\\frac{}{}")(d);
    });
    e.form->N26Click();
    EXPECT_EQ(e.edit().Text(), "\\frac{}{}");
    EXPECT_EQ(e.edit().SelStart(), 6);
    EXPECT_EQ(e.sets(), "LLLLLLLLC");

    // A selection is replaced; the plain command gets one blank in the saved set.
    e.edit().SetSel(6, 0);
    e.edit().SetSelText("x");
    e.edit().SetSel(6, 1);
    e.form->ShownCharset = platform::kCyrillicCharset; // the user had switched to Russian
    e.prompts->modalActions.push_back(pick("\\alpha"));
    e.form->N26Click();
    EXPECT_EQ(e.edit().Text(), "\\frac{\\alpha }{}");
    EXPECT_EQ(e.edit().SelStart(), 13);
    EXPECT_EQ(e.sets(), "LLLLLLLLLLLLCLLC");

    // The next environment chooser shows the check boxes again.
    e.prompts->modalActions.push_back([](QDialog& d) {
        TForm7& c = chooserOf(d);
        EXPECT_TRUE(c.CheckBox1->isVisibleTo(&c));
        EXPECT_TRUE(c.CheckBox2->isVisibleTo(&c));
    });
    e.form->N27Click();
}

TEST(Commands, SmartKeyboardOffKeepsTheSetInForce) {
    Editor e;
    e.form->CommandList = listOf("\\section{}\n");
    e.form->SmartKeyboardOn = false;
    e.prompts->modalActions.push_back(pick("\\section{}"));
    e.form->N26Click();
    EXPECT_EQ(e.edit().Text(), "\\section{}");
    EXPECT_EQ(e.sets(), repeat('C', 10));
    EXPECT_EQ(e.edit().SelStart(), 9);
}
