#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QTextBlock>
#include <QTreeView>

#include "app/document_tabs.h"
#include "platform/codepage.h"
#include "platform/memo.h"
#include "processing/editor_fixture.h"
#include "processing/log_entry_model.h"
#include "processing/tform6.h"

namespace {

class LogViewer : public EditorFixture {
  protected:
    QString shownText() const { return form->Form6->Memo1->toPlainText(); }

    // nested.tex with its files nested/level1.tex and nested/level2.tex, and the LOG TeX
    // Live wrote for them: errors at level2.tex:3, level1.tex:5, nested.tex:6, and five
    // warnings. nested.tex is the document in the editor.
    void openNestedProject() {
        QDir().mkpath(QString::fromStdString(docs + "/nested"));
        for (const char* name :
             {"nested.log", "nested.tex", "nested/level1.tex", "nested/level2.tex"})
            QFile::copy(QStringLiteral(KOLBAX_LOG_SAMPLES "/") + name,
                        QString::fromStdString(docs + "/") + name);
        form->OpenDocument(QString::fromStdString(docs + "/nested.tex"));
        prompts->shown.clear();
    }

    QString cell(int row, int column) const {
        return form->Form6->Entries->index(row, column).data().toString();
    }

    // The caret's line (from 1), at the start of which it must stand.
    int caretLine() const {
        QTextCursor caret = form->RichEdit1->textCursor();
        EXPECT_EQ(caret.positionInBlock(), 0);
        return caret.blockNumber() + 1;
    }
};

} // namespace

TEST_F(LogViewer, ShowsTheLogWithRussianLettersReadable) {
    // "Ошибка в строке 5" in CP866, with a pseudo-graphic byte that stays as it is.
    support::writeBytes(
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
    support::writeBytes(docs + "/thesis.log", "main\r\n");
    support::writeBytes(docs + "/chapter1.log", "own\r\n");
    form->DocName = "chapter1";
    form->MainFile = "thesis";
    form->LOG1Click();
    EXPECT_EQ(form->Form6->LogFileName, QString::fromStdString(docs + "/thesis.log"));
    EXPECT_EQ(shownText(), QStringLiteral("main"));
}

TEST_F(LogViewer, OpenViewerIsASnapshotUntilClosed) {
    support::writeBytes(docs + "/thesis.log", "first\r\n");
    form->LOG1Click();
    support::writeBytes(docs + "/thesis.log", "second\r\n");
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
    support::writeBytes(docs + "/thesis.log", "old\r\n");
    form->LOG1Click();
    form->CompileCommand = "compiler";
    form->TEXDVI1Click();
    EXPECT_FALSE(form->Form6->isVisible());
    EXPECT_FALSE(form->Form6->LogShown);
    support::writeBytes(docs + "/thesis.log", "new\r\n");
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

    support::writeBytes(docs + "/thesis.log", "");
    form->LOG1Click();
    EXPECT_TRUE(form->Form6->LogShown);
    EXPECT_TRUE(shownText().isEmpty());
    EXPECT_EQ(prompts->ofKind("error").size(), 1u);
}

TEST_F(LogViewer, OverlongLineKeepsTheLinesBeforeIt) {
    support::writeBytes(docs + "/thesis.log",
                        "before\r\n" + std::string(70000, 'x') + "\r\nafter\r\n");
    form->LOG1Click();
    ASSERT_EQ(prompts->ofKind("error").size(), 1u);
    EXPECT_EQ(prompts->ofKind("error")[0].text, "Range check error");
    EXPECT_EQ(shownText(), QStringLiteral("before"));
    EXPECT_TRUE(form->Form6->LogShown);
}

TEST_F(LogViewer, ListsTheEntriesErrorsFirstAndShowsTheirPlaces) {
    openNestedProject();
    form->LOG1Click();
    TForm6* f6 = form->Form6;
    processing::LogEntryModel* entries = f6->Entries;
    ASSERT_EQ(entries->rowCount(), 8);
    EXPECT_EQ(cell(0, 0), QStringLiteral("Ошибка"));
    EXPECT_EQ(cell(0, 1), QStringLiteral("nested/level2.tex"));
    EXPECT_EQ(cell(0, 2), QStringLiteral("3"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("Undefined control sequence."));
    EXPECT_EQ(cell(2, 1) + ":" + cell(2, 2), QStringLiteral("nested.tex:6"));
    EXPECT_EQ(cell(3, 0), QStringLiteral("Предупреждение"));

    // A click on a LOG line of the third error selects it; the list in turn shows an
    // entry's first LOG line in the memo.
    const auto lineOf = [&](int row) {
        return static_cast<int>(entries->entryAt(row).firstLogLine);
    };
    f6->Memo1->setTextCursor(QTextCursor(f6->Memo1->document()->findBlockByNumber(lineOf(2) + 1)));
    EXPECT_EQ(f6->ErrorList1->currentIndex().row(), 2);
    f6->ErrorList1->setCurrentIndex(entries->index(5, 0));
    EXPECT_EQ(f6->Memo1->textCursor().blockNumber(), lineOf(5));

    // Enter on the error of the document in the editor: the caret to its line.
    f6->ErrorList1->setCurrentIndex(entries->index(2, 0));
    QTest::keyClick(f6->ErrorList1, Qt::Key_Return);
    EXPECT_EQ(form->DocName, QStringLiteral("nested"));
    EXPECT_EQ(caretLine(), 6);

    // A double click on the error of another file, the document modified: the other file
    // opens in a tab of its own, the caret on the error's line; nothing is saved.
    form->RichEdit1->SetSelText("%");
    const QRect rect = f6->ErrorList1->visualRect(entries->index(1, 3));
    QTest::mouseClick(f6->ErrorList1->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(f6->ErrorList1->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(form->DocName, QStringLiteral("level1"));
    EXPECT_EQ(form->DocDir, QString::fromStdString(docs + "/nested"));
    EXPECT_EQ(caretLine(), 5);
    EXPECT_EQ(support::readBytes(docs + "/nested.tex").find("%\\undefinedinmain"),
              std::string::npos);
    EXPECT_TRUE(form->Tabs->ControlAt(0).Modified());
    EXPECT_EQ(form->RecentFiles[0], QString::fromStdString(docs + "/nested.tex"));
}

TEST_F(LogViewer, NextAndPreviousErrorStepFromTheMainWindow) {
    auto* next = form->findChild<QAction*>(QStringLiteral("NextError1"));
    auto* previous = form->findChild<QAction*>(QStringLiteral("PreviousError1"));
    ASSERT_TRUE(next && previous);

    // No LOG: a beep.
    int beeps = prompts->beeps;
    next->trigger();
    EXPECT_EQ(prompts->beeps, beeps + 1);

    openNestedProject();
    next->trigger();
    EXPECT_EQ(form->DocName, QStringLiteral("level2"));
    EXPECT_EQ(caretLine(), 3);
    next->trigger();
    next->trigger();
    EXPECT_EQ(form->DocName, QStringLiteral("nested"));
    EXPECT_EQ(caretLine(), 6);
    // Past the last error: a beep (opening a file may beep for its layout; not here).
    beeps = prompts->beeps;
    next->trigger();
    EXPECT_EQ(prompts->beeps, beeps + 1);
    previous->trigger();
    EXPECT_EQ(form->DocName, QStringLiteral("level1"));
    EXPECT_EQ(caretLine(), 5);
    EXPECT_FALSE(form->Form6->isVisible());
}

TEST_F(LogViewer, CompileEndShowsTheCountsUntilTheNextKey) {
    openNestedProject();
    // A compiler that writes the LOG anew.
    const std::string log = docs + "/nested.log";
    support::writeBytes(appDir + "/writes-log",
                        "#!/bin/sh\ncp '" + log + "' new.log\nmv new.log '" + log + "'\n");
    ::chmod((appDir + "/writes-log").c_str(), 0755);
    form->CompileCommand = "writes-log";
    form->TEXDVI1Click();
    ASSERT_TRUE(waitUntilAllReaped());
    EXPECT_EQ(form->Label1->text(), QStringLiteral("Ошибок: 3, предупреждений: 5"));
    QTest::keyClick(form->RichEdit1, Qt::Key_Right);
    EXPECT_TRUE(form->Label1->text() == QStringLiteral("Кириллица") ||
                form->Label1->text() == QStringLiteral("Latin"));

    // A compile that leaves the LOG as it was shows nothing.
    const QString layout = form->Label1->text();
    form->CompileCommand = "compiler";
    form->TEXDVI1Click();
    ASSERT_TRUE(waitUntilAllReaped());
    EXPECT_EQ(form->Label1->text(), layout);

    // The compile's LOG is the one the error commands follow.
    form->findChild<QAction*>(QStringLiteral("NextError1"))->trigger();
    EXPECT_EQ(form->DocName, QStringLiteral("level2"));
}

// A compile stopped by a missing package: the list says which file is missing, and where
// apt-file is installed, the Debian package that holds it.
TEST_F(LogViewer, AMissingPackageIsNamedWithTheDebianPackageThatHoldsIt) {
    QFile::copy(QStringLiteral(KOLBAX_LOG_SAMPLES "/missing_file.log"),
                QString::fromStdString(docs + "/thesis.log"));
    const std::string tools = probe + "/tools";
    QDir().mkpath(QString::fromStdString(tools));
    support::writeBytes(tools + "/apt-file",
                        "#!/bin/sh\n[ \"$4\" = '/nonexistentpackage\\.sty$' ] && "
                        "echo texlive-latex-extra\n");
    ::chmod((tools + "/apt-file").c_str(), 0755);
    const std::string path = ::getenv("PATH");
    ::setenv("PATH", (tools + ":" + path).c_str(), 1);
    form->LOG1Click();
    ::setenv("PATH", path.c_str(), 1);

    const QString plain =
        QStringLiteral("Нет файла «nonexistentpackage.sty»: пакета LaTeX нет в системе");
    EXPECT_EQ(cell(0, 3), plain);
    // TeX's own words stay in the tip.
    EXPECT_EQ(form->Form6->Entries->index(0, 3).data(Qt::ToolTipRole).toString(),
              QStringLiteral("LaTeX Error: File `nonexistentpackage.sty' not found."));
    for (int i = 0; i < 500 && cell(0, 3) == plain; ++i)
        QTest::qWait(10);
    EXPECT_EQ(cell(0, 3), plain + QStringLiteral(", он в пакете Debian texlive-latex-extra (apt "
                                                 "install texlive-latex-extra)"));
    form->Form6->close();
}
