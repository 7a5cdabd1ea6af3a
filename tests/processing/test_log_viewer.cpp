#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>

#include "processing/editor_fixture.h"
#include "processing/tform6.h"

namespace {

class LogViewer : public EditorFixture {
  protected:
    QString shownText() const { return form->Form6->Memo1->toPlainText(); }
};

} // namespace

TEST_F(LogViewer, ShowsTheLogWithRussianLettersReadable) {
    // "Ошибка в строке 5" in CP866, with a pseudo-graphic byte that stays as it is.
    standin::writeFile(
        docs + "/thesis.log",
        "This is TeX\r\n! \x8E\xE8\xA8\xA1\xAA\xA0 \xA2 \xE1\xE2\xE0\xAE\xAA\xA5 5\r\n"
        "\xF0\xF1 \xC4\r\n");
    form->LOG1Click();
    TForm6* f6 = form->Form6;
    EXPECT_TRUE(f6->isVisible());
    EXPECT_TRUE(f6->LogShown);
    EXPECT_EQ(f6->LogFileName, QString::fromStdString(docs + "/thesis.log"));
    EXPECT_EQ(f6->windowTitle(), QStringLiteral("Просмотр LOG-файла"));
    EXPECT_TRUE(f6->Memo1->isReadOnly());
    EXPECT_EQ(shownText(), QStringLiteral("This is TeX\n! Ошибка в строке 5\nЁё ") +
                               platform::fromCp1251("\xC4"));
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(LogViewer, AttachedDocumentShowsItsMainFilesLog) {
    standin::writeFile(docs + "/thesis.log", "main\r\n");
    standin::writeFile(docs + "/chapter1.log", "own\r\n");
    form->DocName = "chapter1";
    form->MainFile = "thesis";
    form->LOG1Click();
    EXPECT_EQ(form->Form6->LogFileName, QString::fromStdString(docs + "/thesis.log"));
    EXPECT_EQ(shownText(), QStringLiteral("main"));
}

TEST_F(LogViewer, OpenViewerIsASnapshotUntilClosed) {
    standin::writeFile(docs + "/thesis.log", "first\r\n");
    form->LOG1Click();
    standin::writeFile(docs + "/thesis.log", "second\r\n");
    form->DocName = "other";
    form->LOG1Click();
    EXPECT_EQ(shownText(), QStringLiteral("first"));
    EXPECT_EQ(form->Form6->LogFileName, QString::fromStdString(docs + "/other.log"));

    // "ЗАКРЫТЬ" from its menu, then open again: loaded anew.
    form->DocName = "thesis";
    QAction* close = form->Form6->findChild<QAction*>(QStringLiteral("N1"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("ЗАКРЫТЬ"));
    close->trigger();
    EXPECT_FALSE(form->Form6->isVisible());
    EXPECT_FALSE(form->Form6->LogShown);
    form->LOG1Click();
    EXPECT_EQ(shownText(), QStringLiteral("second"));

    // Closed by its title bar: the same.
    form->Form6->close();
    EXPECT_FALSE(form->Form6->LogShown);
}

TEST_F(LogViewer, CompileClosesItAndTheNextOpeningShowsTheNewLog) {
    standin::writeFile(docs + "/thesis.log", "old\r\n");
    form->LOG1Click();
    form->CompileCommand = "compiler";
    form->TEXDVI1Click();
    EXPECT_FALSE(form->Form6->isVisible());
    EXPECT_FALSE(form->Form6->LogShown);
    standin::writeFile(docs + "/thesis.log", "new\r\n");
    form->LOG1Click();
    EXPECT_EQ(shownText(), QStringLiteral("new"));

    // View and print leave it open.
    form->ViewCommand = "compiler";
    form->DVI1Click();
    form->N22Click();
    EXPECT_TRUE(form->Form6->LogShown);
}

TEST_F(LogViewer, MissingOrEmptyLogOpensAnEmptyWindow) {
    form->LOG1Click();
    ASSERT_EQ(prompts->ofKind("error").size(), 1u);
    EXPECT_EQ(prompts->ofKind("error")[0].text, "File not found");
    EXPECT_TRUE(form->Form6->isVisible());
    EXPECT_TRUE(form->Form6->LogShown);
    EXPECT_TRUE(shownText().isEmpty());
    form->Form6->close();

    standin::writeFile(docs + "/thesis.log", "");
    form->LOG1Click();
    EXPECT_TRUE(form->Form6->LogShown);
    EXPECT_TRUE(shownText().isEmpty());
    EXPECT_EQ(prompts->ofKind("error").size(), 1u);
}

TEST_F(LogViewer, OverlongLineKeepsTheLinesBeforeIt) {
    standin::writeFile(docs + "/thesis.log",
                       "before\r\n" + std::string(70000, 'x') + "\r\nafter\r\n");
    form->LOG1Click();
    ASSERT_EQ(prompts->ofKind("error").size(), 1u);
    EXPECT_EQ(prompts->ofKind("error")[0].text, "Range check error");
    EXPECT_EQ(shownText(), QStringLiteral("before"));
    EXPECT_TRUE(form->Form6->LogShown);
}
