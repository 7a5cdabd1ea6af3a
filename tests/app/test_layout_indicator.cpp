// The layout indicator and the Smart Keyboard switch.
#include <QLineEdit>
#include <QTest>

#include "app_fixture.h"
#include "editing/find_dialogs.h"
#include "platform/charsets.h"
#include "processing/tform8.h"

using namespace apptest;

namespace {

class Indicator : public ::testing::Test {
  protected:
    AppFolder folder;
    Editor editor{folder.dir};
    TForm1& form = *editor.form;

    void showCharset(int charset) {
        form.RichEdit1->SetInsertCharset(charset);
        form.RefreshLayoutIndicator();
    }
    QColor colour() const { return form.Label1->palette().color(QPalette::WindowText); }
};

} // namespace

TEST_F(Indicator, LatinIsBlueAndEveryOtherSetIsCyrillicRed) {
    showCharset(platform::kCyrillicCharset);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Кириллица"));
    EXPECT_EQ(colour(), QColor(255, 0, 0));
    EXPECT_EQ(form.ShownCharset, platform::kCyrillicCharset);
    showCharset(0);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Latin"));
    EXPECT_EQ(colour(), QColor(0, 0, 255));
    showCharset(161); // Greek: not Latin, so shown as Cyrillic
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Кириллица"));
    EXPECT_EQ(form.ShownCharset, 161);
}

TEST_F(Indicator, BeepsOnlyOnAChangeAndOnlyOnceLayoutBeepIsSet) {
    showCharset(platform::kCyrillicCharset); // before the first open or new: silent
    EXPECT_EQ(editor.prompts->beeps, 0);

    form.LayoutBeep = true;
    showCharset(platform::kCyrillicCharset); // unchanged: nothing happens
    EXPECT_EQ(editor.prompts->beeps, 0);
    form.Label1->setText(QStringLiteral("Загрузка..."));
    showCharset(platform::kCyrillicCharset);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Загрузка..."));

    showCharset(0);
    EXPECT_EQ(editor.prompts->beeps, 1);

    // -1 forces the next refresh to show and beep even without a change.
    form.ShownCharset = -1;
    form.Label1->hide();
    showCharset(0);
    EXPECT_EQ(editor.prompts->beeps, 2);
    EXPECT_FALSE(form.Label1->isHidden());
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Latin"));
}

TEST_F(Indicator, TogglingTheSmartKeyboardTwiceChangesOnlyTheSwitchAndItsLabel) {
    form.RichEdit1->setEnabled(true);
    showCharset(platform::kCyrillicCharset);
    form.InCommandWord = true;
    form.DollarSeen = true;
    const QString indicator = form.Label1->text();

    form.ToolButton24->click();
    EXPECT_FALSE(form.SmartKeyboardOn);
    EXPECT_TRUE(form.ToolButton24->isChecked());
    EXPECT_EQ(form.ToolButton24->toolTip(), QStringLiteral("Разбудить Умную Клаву"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Умная Клава спит"));
    EXPECT_EQ(form.RichEdit1->InsertCharset(), platform::kCyrillicCharset);

    form.ToolButton24->click();
    EXPECT_TRUE(form.SmartKeyboardOn);
    EXPECT_FALSE(form.ToolButton24->isChecked());
    EXPECT_EQ(form.ToolButton24->toolTip(), QStringLiteral("Усыпить Умную Клаву"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Умная Клава работает"));
    EXPECT_EQ(form.RichEdit1->InsertCharset(), platform::kCyrillicCharset);
    EXPECT_EQ(form.ShownCharset, platform::kCyrillicCharset);
    EXPECT_EQ(form.Label1->text(), indicator);
    EXPECT_TRUE(form.InCommandWord);
    EXPECT_TRUE(form.DollarSeen);
    EXPECT_FALSE(form.RestoreAfterShift);
    EXPECT_EQ(editor.prompts->beeps, 0);
}

TEST_F(Indicator, ClickIntoTheTextShowsTheLayoutThere) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.RichEdit1->setEnabled(true);
    platform::TextRun latin, russian;
    latin.text = QStringLiteral("latin ");
    russian.text = QStringLiteral("русский");
    russian.charset = platform::kCyrillicCharset;
    form.RichEdit1->LoadRuns({latin, russian});
    form.LayoutBeep = true;
    form.ShownCharset = 0;
    QWidget* viewport = form.RichEdit1->viewport();
    form.RichEdit1->SetSelStart(form.RichEdit1->TextLength());
    const QRect end = form.RichEdit1->cursorRect();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, end.center() - QPoint(2, 0));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Кириллица"));
    EXPECT_EQ(editor.prompts->beeps, 1);
    // Again into the same script: nothing changes, no beep.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, end.center() - QPoint(6, 0));
    EXPECT_EQ(editor.prompts->beeps, 1);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(4, end.center().y()));
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Latin"));
    EXPECT_EQ(editor.prompts->beeps, 2);
}

TEST_F(Indicator, ClickOnTheIndicatorSwitchesTheLayoutOnlyWithADocument) {
    QTest::mouseClick(form.Label1, Qt::LeftButton);
    EXPECT_EQ(form.RichEdit1->InsertCharset(), 0);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Открой файл или начни новый!"));

    form.RichEdit1->setEnabled(true);
    QTest::mouseClick(form.Label1, Qt::LeftButton);
    EXPECT_EQ(form.RichEdit1->InsertCharset(), platform::kCyrillicCharset);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Кириллица"));
    QTest::mouseClick(form.Label1, Qt::LeftButton);
    EXPECT_EQ(form.RichEdit1->InsertCharset(), 0);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Latin"));
}

// The editor's own layouts in the program's text fields: the keys type the active layout,
// Ctrl+Shift switches it there for the editing area too, and fields of other windows keep
// what the desktop typed.
TEST_F(Indicator, ProgramFieldsTypeTheActiveLayoutAndSwitchIt) {
    showCharset(platform::kCyrillicCharset);
    QLineEdit* settings = form.Form8->Edit1;
    QLineEdit* find = form.FindDialog1->findChild<QLineEdit*>();
    ASSERT_NE(find, nullptr);
    settings->clear();
    QTest::keyClicks(settings, "qwe");
    QTest::keyClicks(find, "Q,");
    EXPECT_EQ(settings->text(), QStringLiteral("йцу"));
    EXPECT_EQ(find->text(), QStringLiteral("Йб"));

    QTest::keyPress(settings, Qt::Key_Control);
    QTest::keyPress(settings, Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(settings, Qt::Key_Shift, Qt::ControlModifier);
    QTest::keyRelease(settings, Qt::Key_Control);
    EXPECT_EQ(form.RichEdit1->InsertCharset(), 0);
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Latin"));
    QTest::keyClicks(settings, "q\\");
    EXPECT_EQ(settings->text(), QStringLiteral("йцуq\\"));
    EXPECT_EQ(form.RichEdit1->InsertCharset(), 0); // no typing rule ran on the backslash

    showCharset(platform::kCyrillicCharset);
    QLineEdit elsewhere;
    QTest::keyClicks(&elsewhere, "q");
    EXPECT_EQ(elsewhere.text(), QStringLiteral("q"));
}

// A notice is read whole: in the indicator's place when it fits there, else in the whole row
// under the text (the Smart Keyboard's label giving way until it ends), else in a box.
TEST_F(Indicator, EveryNoticeIsShownWhereItFitsWhole) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QLabel& label = *form.Label1;
    const int ownWidth = label.width();

    const QString wide(200, QChar(u'Ш'));
    const QString notices[] = {
        QStringLiteral("Ошибок: 3, предупреждений: 5"),
        QStringLiteral("Файл в CP1251, хотя объявлена кодировка KOI8-R"),
        QStringLiteral("Вставка: «𝔸» (U+1D538) и ещё 12 заменены на «?»"),
        QStringLiteral("Нет файла SyncTeX: скомпилируйте в PDF с -synctex=1"),
        wide,
    };
    std::vector<std::string> boxed;
    for (const QString& notice : notices) {
        SCOPED_TRACE(notice.toStdString());
        editor.prompts->unicodeInformations.clear();
        form.ShowIndicatorNotice(notice);
        if (!form.IndicatorNoticeShown) boxed.push_back(notice.toStdString());
        if (form.IndicatorNoticeShown) {
            EXPECT_EQ(label.text(), notice);
            EXPECT_LE(label.fontMetrics().horizontalAdvance(notice), label.contentsRect().width());
            EXPECT_LE(label.geometry().right(), label.parentWidget()->width());
            EXPECT_TRUE(editor.prompts->unicodeInformations.empty());
            EXPECT_EQ(form.Label2->isHidden(), label.width() > ownWidth);
        } else {
            EXPECT_EQ(editor.prompts->unicodeInformations, std::vector<QString>{notice});
            EXPECT_NE(label.text(), notice);
        }
        form.EndIndicatorNotice();
        EXPECT_EQ(label.width(), ownWidth);
        EXPECT_FALSE(form.Label2->isHidden());
    }
    // At the default width only the wide one needs a box; the others take the row at most.
    EXPECT_EQ(boxed, std::vector<std::string>{wide.toStdString()});
}
