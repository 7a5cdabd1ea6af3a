// The main window's recovery journal: when it is written, when it goes, and what a start
// after an abrupt end offers back.
#include <QElapsedTimer>
#include <QTest>

#include "app/document_journal.h"
#include "app_fixture.h"
#include "journal/journal_format.h"
#include "journal/journal_store.h"

using namespace apptest;

namespace {

class Journaling : public ::testing::Test {
  protected:
    Journaling() {
        ::setenv("XDG_STATE_HOME", (folder.dir / "state").c_str(), 1);
        fs::create_directories(folder.dir / "docs");
    }
    ~Journaling() override {
        editor.reset();
        ::setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }

    TForm1& start() {
        editor = std::make_unique<Editor>(folder.dir);
        return *editor->form;
    }
    app::DocumentJournal& journal() { return *editor->form->Journal; }
    fs::path stateFolder() const { return folder.dir / "state" / "kolbax"; }
    fs::path doc(const char* name) const { return folder.dir / "docs" / name; }

    // The journals in the state folder, read back.
    std::vector<journal::JournalRecord> journals() {
        journal().journal().flush();
        std::vector<journal::JournalRecord> found;
        if (!fs::exists(stateFolder())) return found;
        for (const auto& entry : fs::directory_iterator(stateFolder()))
            if (entry.path().extension() == ".journal")
                if (auto record = journal::parseJournal(readBytes(entry.path())))
                    found.push_back(*record);
        return found;
    }

    // A journal left by an editor that ended abruptly: its own store, gone with its lock.
    void leaveOrphan(const journal::JournalRecord& record) {
        journal::JournalStore store(stateFolder().string());
        ASSERT_EQ(store.write(store.newId(), record), 0);
    }

    TForm1& openTyped(const char* name, const std::string& fileText, const std::string& typed) {
        writeBytes(doc(name), fileText);
        writeBytes(doc((std::string(fs::path(name).stem()) + ".sts").c_str()), "*\r\n0\r\n0\r\n");
        TForm1& form = start();
        form.OpenDocument(QString::fromStdString(doc(name).string()));
        form.RichEdit1->SetSel(0, 0);
        form.RichEdit1->SetSelText(typed);
        return form;
    }

    const std::string previousState =
        std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    AppFolder folder;
    std::unique_ptr<Editor> editor;
};

} // namespace

TEST_F(Journaling, TheTimerTakesTheTextTwoSecondsAfterTheFirstChange) {
    TForm1& form = openTyped("a.tex", cp866(u"Текст\r\n"), "x");
    // Typing on does not postpone the journal: 1.2 s of changes, and it is written 2 s
    // after the first of them.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 6; ++i) {
        QTest::qWait(200);
        form.RichEdit1->SetSelText("y");
    }
    EXPECT_TRUE(journals().empty());
    while (journals().empty() && clock.elapsed() < 5000)
        QTest::qWait(50);
    EXPECT_LT(clock.elapsed(), 2600);
    auto written = journals();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0].path, QString::fromStdString(doc("a.tex").string()));
    EXPECT_EQ(written[0].encoding, platform::TextEncoding::Cp866);
    EXPECT_EQ(written[0].text, "xyyyyyyТекст\n");
    EXPECT_EQ(written[0].caret, 7);
    EXPECT_EQ(readBytes(doc("a.tex")), cp866(u"Текст\r\n")); // the document is not touched
}

TEST_F(Journaling, ASaveOrADeclinedSaveAtExitRemovesIt) {
    TForm1& form = openTyped("a.tex", "old\r\n", "new ");
    journal().writeSnapshot();
    ASSERT_EQ(journals().size(), 1u);
    EXPECT_TRUE(form.N6Click());
    EXPECT_TRUE(journals().empty());
    EXPECT_EQ(readBytes(doc("a.tex")), "new old\r\n");

    // Changed again, then the exit's save question answered No: nothing is left, not even
    // the lock of this editor.
    form.RichEdit1->SetSelText("more ");
    journal().writeSnapshot();
    ASSERT_EQ(journals().size(), 1u);
    editor->prompts->questionAnswers = {false};
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(fs::is_empty(stateFolder()));
}

TEST_F(Journaling, AFailedSaveKeepsIt) {
    TForm1& form = openTyped("a.tex", "old\r\n", "new ");
    journal().writeSnapshot();
    fs::remove_all(folder.dir / "docs"); // the save cannot be written
    form.Guarded([&] { form.N6Click(); });
    EXPECT_EQ(editor->prompts->ofKind("error").size(), 1u) << describe(*editor->prompts);
    EXPECT_TRUE(form.RichEdit1->Modified());
    EXPECT_EQ(journals().size(), 1u);
}

TEST_F(Journaling, AnUntitledDocumentKeepsItWhenTheExitsSaveIsCancelled) {
    TForm1& form = start();
    form.RichEdit1->SetSelText("draft");
    journal().writeSnapshot();
    editor->prompts->questionAnswers = {true}; // save it; then the save dialog is cancelled
    EXPECT_FALSE(form.close());
    auto written = journals();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_TRUE(written[0].path.isEmpty());
    EXPECT_EQ(written[0].text, "draft");
}

TEST_F(Journaling, AJournalIsRestoredAsAModifiedDocumentWithItsCaret) {
    writeBytes(doc("a.tex"), "on disk\r\n");
    const std::string text = "восстановленный текст\n$x$\n";
    leaveOrphan({QString::fromStdString(doc("a.tex").string()), platform::TextEncoding::Cp866,
                 platform::FileLayout{}, 1, 5, text});
    // Newer; a document of LF line ends.
    leaveOrphan({"",
                 platform::TextEncoding::Utf8,
                 {false, platform::LineEnd::Lf, true, 0},
                 2,
                 0,
                 "untitled 😀\n"});

    // The newest first: the untitled one is declined and kept for the next start; then the
    // named one is restored.
    TForm1& form = start();
    editor->prompts->questionAnswers = {false, false, true};
    EXPECT_TRUE(journal().offerOrphans());
    auto questions = editor->prompts->ofKind("question");
    ASSERT_EQ(questions.size(), 3u) << describe(*editor->prompts);
    EXPECT_NE(questions[0].text.find(cp1251(u"(без имени)")), std::string::npos);
    EXPECT_NE(questions[1].text.find(cp1251(u"Удалить")), std::string::npos);
    // The file on disk was changed after the journal was written (1 ms after 1970).
    EXPECT_NE(questions[2].text.find(doc("a.tex").string()), std::string::npos);
    EXPECT_NE(questions[2].text.find(cp1251(u"изменён позже")), std::string::npos);

    EXPECT_EQ(form.DocName, QStringLiteral("a"));
    EXPECT_EQ(form.RichEdit1->PlainText(), QString::fromStdString(text));
    EXPECT_EQ(form.RichEdit1->SelStart(), 5);
    EXPECT_TRUE(form.RichEdit1->Modified());
    EXPECT_EQ(readBytes(doc("a.tex")), "on disk\r\n");
    // The restored journal is this editor's now; a save ends it.
    EXPECT_EQ(journals().size(), 2u);
    EXPECT_TRUE(form.N6Click());
    EXPECT_EQ(readBytes(doc("a.tex")), cp866(u"восстановленный текст\r\n$x$\r\n"));
    EXPECT_EQ(journals().size(), 1u); // the declined untitled one waits for the next start
    editor.reset();

    // Next start: the untitled one restores as a new untitled document in its encoding.
    TForm1& again = start();
    editor->prompts->questionAnswers = {true};
    EXPECT_TRUE(journal().offerOrphans());
    EXPECT_TRUE(again.DocName.isEmpty());
    EXPECT_EQ(again.DocEncoding, platform::TextEncoding::Utf8);
    EXPECT_TRUE(again.windowTitle().endsWith(QStringLiteral(" [UTF-8]")));
    EXPECT_EQ(again.RichEdit1->PlainText(), QStringLiteral("untitled 😀\n"));
    EXPECT_TRUE(again.RichEdit1->Modified());
    // Saved with the line ends it was typed with.
    editor->prompts->fileAnswers = {QString::fromStdString(doc("b.tex").string())};
    EXPECT_TRUE(again.N6Click());
    EXPECT_EQ(readBytes(doc("b.tex")), "untitled 😀\n");
}

// The questions name the document as the file system has it, whatever its characters.
TEST_F(Journaling, TheQuestionsShowANameOutsideCp1251AsItIs) {
    const fs::path folderPath = folder.dir / "docs" / "Σχέδιο 漢字 😀";
    fs::create_directories(folderPath);
    const fs::path document = folderPath / "глава 𝔸.tex";
    writeBytes(document, "on disk\n");
    const QString path = QString::fromStdString(document.string());
    leaveOrphan({path,
                 platform::TextEncoding::Utf8,
                 {false, platform::LineEnd::Lf, true, 0},
                 1,
                 0,
                 "restored\n"});
    start();
    editor->prompts->questionAnswers = {false, false};
    EXPECT_FALSE(journal().offerOrphans());
    const std::vector<QString>& questions = editor->prompts->unicodeQuestions;
    ASSERT_EQ(questions.size(), 2u) << describe(*editor->prompts);
    for (const QString& question : questions)
        EXPECT_TRUE(question.contains(path)) << question.toStdString();
    EXPECT_TRUE(questions[0].endsWith(QString::fromUtf8("Восстановить?")));
}

TEST_F(Journaling, AnUnwritableStateFolderIsReportedOnceAndTypingGoesOn) {
    fs::create_directories(folder.dir / "state");
    writeBytes(stateFolder(), "a file where the folder should be");
    TForm1& form = openTyped("a.tex", "old\r\n", "new ");
    for (int i = 0; i < 3; ++i) {
        form.RichEdit1->SetSelText("x");
        journal().writeSnapshot();
        journal().journal().flush();
        QTest::qWait(20); // the report is posted to the window's thread
    }
    auto errors = editor->prompts->ofKind("error");
    ASSERT_EQ(errors.size(), 1u) << describe(*editor->prompts);
    EXPECT_NE(errors[0].text.find(cp1251(u"не удаётся записать")), std::string::npos);
    EXPECT_EQ(form.RichEdit1->Text(), "new xxxold\r\n");
    EXPECT_TRUE(form.N6Click());
}
