// Start-up from the data files, the layout rule, the recent-files list and the shutdown.
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QTest>
#include <QWindow>
#include <sys/stat.h>

#include "app/settings_files.h"
#include "app_fixture.h"

using namespace apptest;

namespace {

class StartUp : public ::testing::Test {
  protected:
    AppFolder folder;
    std::unique_ptr<Editor> editor;
    TForm1& start() {
        editor = std::make_unique<Editor>(folder.dir);
        return *editor->form;
    }
    std::string filelist() const { return readBytes(folder.dir / "filelist.ini"); }
};

std::vector<std::string> entries(const platform::StringList& list) {
    return list.items();
}

} // namespace

TEST_F(StartUp, FirstRunWithoutSettingsFiles) {
    fs::remove(folder.dir / "commands.set");
    TForm1& form = start();
    EXPECT_TRUE(editor->prompts->shown.empty()) << describe(*editor->prompts);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("KolBAX (ver.0.3beta)"));
    EXPECT_EQ(form.AppDir, folder.dir.string());
    EXPECT_EQ(form.CompileCommand, "");
    EXPECT_EQ(form.ViewCommand, "");
    EXPECT_EQ(form.PrintCommand, "");
    EXPECT_FALSE(form.N10->isVisible());
    for (QAction* item : {form.File11, form.File21, form.File31, form.File41})
        EXPECT_FALSE(item->isVisible());
    EXPECT_EQ(form.Label1->text(), QStringLiteral("Открой файл или начни новый!"));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("Умная Клава работает"));
    EXPECT_TRUE(form.SmartKeyboardOn);
    EXPECT_FALSE(form.ToolButton24->isChecked());
    EXPECT_FALSE(form.RichEdit1->isEnabled());
    EXPECT_EQ(form.RichEdit1->InsertCharset(), 0);
    EXPECT_EQ(form.ShownCharset, 0);
    EXPECT_FALSE(form.LayoutBeep);
    EXPECT_EQ(form.EnvironmentKind, 0);
    EXPECT_EQ(form.MarkedPosition, -1);

    form.close();
    EXPECT_EQ(filelist(), "\r\n\r\n\r\n\r\n");
}

TEST_F(StartUp, ShippedDataFilesAreLoadedAndSorted) {
    TForm1& form = start();
    EXPECT_TRUE(editor->prompts->shown.empty()) << describe(*editor->prompts);
    EXPECT_EQ(form.CompileCommand, "latex -interaction=nonstopmode");
    EXPECT_EQ(form.ViewCommand, "xdvi");
    EXPECT_EQ(form.PrintCommand, "dvips");
    for (const platform::StringList* list :
         {&form.FormulaEnvironments, &form.StatementEnvironments, &form.OtherEnvironments,
          &form.CommandList, &form.LettersGrid, &form.SymbolsGrid})
        EXPECT_FALSE(list->empty());
    EXPECT_EQ(form.StatementEnvironments.value(cp1251(u"Теорема")), "theorem");
    EXPECT_EQ(form.StatementEnvironmentNames.size(), form.StatementEnvironments.size());
    EXPECT_EQ(form.StatementEnvironmentNames[0], cp1251(u"Теорема"));
    auto sortedCopy = [](platform::StringList list) {
        list.sort();
        return list.items();
    };
    EXPECT_EQ(entries(form.CommandList), sortedCopy(form.CommandList));
    EXPECT_EQ(entries(form.FormulaEnvironments), sortedCopy(form.FormulaEnvironments));
    // The shipped files are CP1251 text with CR LF: no entry keeps a CR or LF.
    for (const std::string& entry : form.CommandList)
        EXPECT_EQ(entry.find_first_of("\r\n"), std::string::npos);
}

TEST_F(StartUp, StatementNamesKeepFileOrderWhileTheLinesAreSorted) {
    writeBytes(folder.dir / "env2.dat", "b=second\r\na=first\r\nnoequals\r\n");
    TForm1& form = start();
    EXPECT_EQ(entries(form.StatementEnvironmentNames), (std::vector<std::string>{"b", "a", ""}));
    EXPECT_EQ(entries(form.StatementEnvironments),
              (std::vector<std::string>{"a=first", "b=second", "noequals"}));
}

TEST_F(StartUp, OneLineCommandSetLeavesViewAndPrintEmpty) {
    writeBytes(folder.dir / "commands.set", "latex\r\n");
    TForm1& form = start();
    EXPECT_EQ(form.CompileCommand, "latex");
    EXPECT_EQ(form.ViewCommand, "");
    EXPECT_EQ(form.PrintCommand, "");
}

TEST_F(StartUp, EmptyFirstRecentEntryHidesOnlyItself) {
    writeBytes(folder.dir / "filelist.ini", "\r\n/home/u/texts/b&w.tex\r\n");
    TForm1& form = start();
    EXPECT_EQ(form.RecentFiles, (app::RecentFileList{"", "/home/u/texts/b&w.tex", "", ""}));
    EXPECT_FALSE(form.N10->isVisible());
    EXPECT_FALSE(form.File11->isVisible());
    EXPECT_TRUE(form.File21->isVisible());
    // "&" is shown as itself, not taken as a mnemonic.
    EXPECT_EQ(form.File21->text(), QStringLiteral("b&&w.tex"));
    EXPECT_FALSE(form.File31->isVisible());

    // Written back as four lines.
    form.close();
    EXPECT_EQ(filelist(), "\r\n/home/u/texts/b&w.tex\r\n\r\n\r\n");
}

// A data file that fails is reported and leaves empty what it and the later data files
// fill; the settings files are read all the same, and a recent-files list that was read is
// written back at exit as ever. One that could not be read (nothing, not even a FIFO,
// blocks the start) is never written back.
TEST_F(StartUp, FailingDataFilesLeaveTheRestAndAListThatWasNotReadIsNotWrittenBack) {
    const std::string listed = "/d/one.tex\r\n/d/two.tex\r\n\r\n\r\n";
    writeBytes(folder.dir / "filelist.ini", listed);
    fs::remove(folder.dir / "letters.grd");
    fs::remove(folder.dir / "commands.set");
    ASSERT_EQ(::mkfifo((folder.dir / "commands.set").c_str(), 0600), 0);
    {
        TForm1& form = start();
        auto errors = editor->prompts->ofKind("error");
        ASSERT_EQ(errors.size(), 2u) << describe(*editor->prompts);
        EXPECT_EQ(errors[0].text, "Cannot open file " + (folder.dir / "letters.grd").string());
        EXPECT_EQ(errors[1].text, "File access denied");
        EXPECT_TRUE(form.CommandList.empty());
        EXPECT_EQ(form.RecentFiles[1], "/d/two.tex");
        EXPECT_TRUE(form.File21->isVisible());
        EXPECT_EQ(form.Label2->text(), QStringLiteral("Умная Клава работает"));
        form.close();
        EXPECT_EQ(filelist(), listed);
    }

    fs::remove(folder.dir / "filelist.ini");
    ASSERT_EQ(::mkfifo((folder.dir / "filelist.ini").c_str(), 0600), 0);
    TForm1& form = start();
    EXPECT_EQ(editor->prompts->ofKind("error").size(), 3u) << describe(*editor->prompts);
    form.DocDir = "/e";
    form.DocName = "new";
    form.RememberRecentFile();
    form.close();
    EXPECT_TRUE(fs::is_fifo(folder.dir / "filelist.ini"));
}

TEST_F(StartUp, RecentFilesShiftWithTheirItemsAndAListedPathKeepsItsPlace) {
    writeBytes(folder.dir / "filelist.ini",
               "/d/one.tex\r\n/d/two.tex\r\n/d/three.tex\r\n/d/four.tex\r\n");
    TForm1& form = start();
    form.DocDir = "/d";
    form.DocName = "two";
    form.DocExt = ".tex";
    form.RememberRecentFile(); // listed: nothing moves
    EXPECT_EQ(form.RecentFiles[0], "/d/one.tex");
    EXPECT_EQ(form.RecentFiles[1], "/d/two.tex");
    EXPECT_EQ(form.File11->text(), QStringLiteral("one.tex"));

    form.DocDir = "/e";
    form.DocName = "new";
    form.DocExt = "";
    form.RememberRecentFile();
    EXPECT_EQ(form.RecentFiles,
              (app::RecentFileList{"/e/new", "/d/one.tex", "/d/two.tex", "/d/three.tex"}));
    EXPECT_EQ(form.File11->text(), QStringLiteral("new"));
    EXPECT_EQ(form.File21->text(), QStringLiteral("one.tex"));
    EXPECT_EQ(form.File41->text(), QStringLiteral("three.tex"));

    form.DocName.clear(); // an untitled document is never listed
    form.RememberRecentFile();
    EXPECT_EQ(form.RecentFiles[0], "/e/new");
}

TEST_F(StartUp, RememberedFileMovesHiddenItemsDownToo) {
    writeBytes(folder.dir / "filelist.ini", "\r\n/d/b.tex\r\n");
    TForm1& form = start();
    form.DocDir = "/d";
    form.DocName = "a";
    form.DocExt = ".tex";
    form.RememberRecentFile();
    EXPECT_TRUE(form.N10->isVisible());
    EXPECT_TRUE(form.File11->isVisible());
    EXPECT_FALSE(form.File21->isVisible()); // the empty entry moved down with its item
    EXPECT_TRUE(form.File31->isVisible());
    EXPECT_EQ(form.File31->text(), QStringLiteral("b.tex"));
    form.close();
    EXPECT_EQ(filelist(), "/d/a.tex\r\n\r\n/d/b.tex\r\n\r\n");
}

TEST_F(StartUp, LayoutKeepsTheControlsInPlaceOnResize) {
    TForm1& form = start();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    // The control's place in the client area (it shares it with the hidden PDF pane).
    const auto editorGeometry = [&form] {
        return QRect(form.RichEdit1->mapTo(form.ClientArea, QPoint()), form.RichEdit1->size());
    };
    EXPECT_EQ(form.ClientArea->size(), QSize(600, 456));
    EXPECT_EQ(form.ToolBar1->geometry(), QRect(0, 0, 600, 26));
    EXPECT_EQ(editorGeometry(), QRect(0, 26, 600, 400));
    // The indicator is as tall as the design, or as its text where the font needs more.
    const int label1Height = std::max(17, form.Label1->sizeHint().height());
    EXPECT_EQ(form.Label1->geometry(), QRect(0, 430, 367, label1Height));
    EXPECT_EQ(form.Label2->geometry(), QRect(346, 423, 233, 33));

    form.resize(900, form.height() + 144);
    QApplication::processEvents();
    ASSERT_EQ(form.ClientArea->size(), QSize(900, 600));
    EXPECT_EQ(form.Label1->geometry(), QRect(0, 574, 667, label1Height));
    EXPECT_EQ(form.Label2->geometry(), QRect(646, 567, 233, 33));
    EXPECT_EQ(editorGeometry().bottom() + 1, form.Label1->y() - 4);
    EXPECT_EQ(form.RichEdit1->width(), 900);

    // Narrower than the design: the control keeps its minimum width of 600.
    form.resize(500, form.height());
    QApplication::processEvents();
    EXPECT_EQ(form.Label1->width(), form.ClientArea->width() - 233);
    EXPECT_EQ(form.RichEdit1->width(), 600);
}

TEST_F(StartUp, ExitWithAnUnmodifiedDocumentAsksNothing) {
    TForm1& form = start();
    form.show();
    form.findChild<QAction*>(QStringLiteral("N9"))->trigger();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(editor->prompts->ofKind("question").empty());
    EXPECT_EQ(filelist(), "\r\n\r\n\r\n\r\n");
}

TEST_F(StartUp, ExitWithAModifiedDocumentAsksAndNoSavesNothing) {
    TForm1& form = start();
    form.show();
    form.RichEdit1->setEnabled(true);
    form.RichEdit1->SetModified(true);
    form.close();
    auto questions = editor->prompts->ofKind("question");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].caption, "Warning");
    EXPECT_EQ(questions[0].text, cp1251(u"Файл изменен. Сохранить?"));
    EXPECT_TRUE(editor->prompts->ofKind("save").empty());
    EXPECT_FALSE(form.isVisible());
}

// Yes on an untitled document offers the save dialog; cancelling it keeps the editor
// open with the document, and filelist.ini was written all the same.
TEST_F(StartUp, ExitAnsweredYesThenSaveCancelledKeepsTheEditorOpen) {
    TForm1& form = start();
    form.show();
    form.RichEdit1->setEnabled(true);
    form.RichEdit1->SetModified(true);
    editor->prompts->questionAnswers = {true};
    form.close();
    EXPECT_EQ(editor->prompts->ofKind("save").size(), 1u);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.RichEdit1->Modified());
    EXPECT_EQ(filelist(), "\r\n\r\n\r\n\r\n");

    // The next close asks again; No ends the run.
    form.close();
    EXPECT_EQ(editor->prompts->ofKind("question").size(), 2u);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(StartUp, UnwritableFilelistIsReportedAndTheSaveQuestionStillComes) {
    TForm1& form = start();
    fs::create_directories(folder.dir / "filelist.ini"); // cannot be replaced by a file
    form.show();
    form.RichEdit1->SetModified(true);
    form.close();
    ASSERT_EQ(editor->prompts->ofKind("error").size(), 1u);
    EXPECT_EQ(editor->prompts->ofKind("question").size(), 1u);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(fs::is_directory(folder.dir / "filelist.ini"));
}

namespace {

// Scripted prompts under which something else happens while the save question or the save
// dialog is up, as a user or the desktop may do.
struct PromptsWithInterruptions : support::ScriptedPrompts {
    std::function<void()> meanwhile;
    bool question(const std::string& caption, const std::string& text) override {
        meanwhile();
        return ScriptedPrompts::question(caption, text);
    }
    std::optional<QString> saveFile(const std::string& title, const std::string& filter,
                                    const std::string& extension) override {
        meanwhile();
        return ScriptedPrompts::saveFile(title, filter, extension);
    }
};

} // namespace

// A close of the window (what its title bar sends) or the application's quit arriving while
// the shutdown asks must not end the program under the question: the answer stands and
// the document is saved.
TEST_F(StartUp, ClosesAndQuitsUnderTheShutdownPromptsAreRefused) {
    auto scripted = std::make_unique<PromptsWithInterruptions>();
    PromptsWithInterruptions& prompts = *scripted;
    Editor editor(folder.dir, std::move(scripted));
    TForm1& form = *editor.form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    form.RichEdit1->setEnabled(true);
    form.RichEdit1->SetSelText("abc");
    form.RichEdit1->SetModified(true);

    std::vector<bool> accepted;
    int windowsLeft = 0;
    prompts.meanwhile = [&] {
        QCloseEvent byTitleBar;
        QCoreApplication::sendEvent(form.windowHandle(), &byTitleBar);
        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
        accepted.insert(accepted.end(), {byTitleBar.isAccepted(), quit.isAccepted()});
        if (form.isVisible() && form.windowHandle()->handle()) ++windowsLeft;
    };
    prompts.questionAnswers = {true};
    prompts.fileAnswers = {QString::fromStdString((folder.dir / "saved.tex").string())};
    const QString startDir = QDir::currentPath();
    form.close();
    QDir::setCurrent(startDir);

    EXPECT_EQ(accepted, std::vector<bool>(4, false));
    EXPECT_EQ(windowsLeft, 2);
    EXPECT_EQ(readBytes(folder.dir / "saved.tex"), "abc\r\n");
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.HasShutDown());
}
