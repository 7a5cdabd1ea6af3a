// Several documents at once: opening in tabs (the same file by any path is one tab), each
// document keeping its own text, state and journal, closing and exiting with the save
// question, a file changed behind the editor's back, and the session coming back.
#include <QFileInfo>
#include <QTest>
#include <unistd.h>
#include <utime.h>

#include "app/document_journal.h"
#include "app/document_tabs.h"
#include "app_fixture.h"
#include "journal/journal_format.h"
#include "tabs/document_tab_bar.h"

using namespace apptest;

namespace {

class DocumentTabs : public ::testing::Test {
  protected:
    DocumentTabs() {
        ::setenv("XDG_STATE_HOME", (folder.dir / "state").c_str(), 1);
        fs::create_directories(folder.dir / "docs");
        start();
    }
    ~DocumentTabs() override {
        editor.reset();
        ::setenv("XDG_STATE_HOME", previousState.c_str(), 1);
    }

    void start() {
        editor.reset();
        editor = std::make_unique<Editor>(folder.dir);
        form = editor->form.get();
        prompts = editor->prompts;
    }
    app::DocumentTabs& tabs() const { return *form->Tabs; }
    fs::path doc(const char* name) const { return folder.dir / "docs" / name; }
    QString path(const char* name) const { return QString::fromStdString(doc(name).string()); }

    // A CP866 TeX file with its status file (so that no parameters dialog comes).
    void write(const char* name, const std::u16string_view text) {
        writeBytes(doc(name), cp866(text));
        writeBytes(fs::path(doc(name)).replace_extension(".sts"), "*\r\n1\r\n0\r\n");
    }
    void open(const QString& file) {
        prompts->fileAnswers.push_back(file);
        editor->find("N5")->trigger();
    }
    void type(const std::string& cp1251Text) { form->RichEdit1->SetSelText(cp1251Text); }
    void run(const char* action) { editor->find(action)->trigger(); }

    const std::string previousState =
        std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";
    AppFolder folder;
    std::unique_ptr<Editor> editor;
    TForm1* form = nullptr;
    support::ScriptedPrompts* prompts = nullptr;
};

TEST_F(DocumentTabs, EachFileOpensOnceInATabOfItsOwnAndNothingIsSavedByMoving) {
    write("a.tex", u"Первая глава\r\n");
    write("b.tex", u"Вторая глава\r\n");
    const std::string aBytes = readBytes(doc("a.tex"));

    open(path("a.tex"));
    EXPECT_EQ(tabs().Count(), 1) << "the empty start-up place is taken, not kept";
    EXPECT_TRUE(tabs().Bar().isHidden());
    form->RichEdit1->SetSel(5, 0);
    type("x");
    platform::TRichEdit* first = form->RichEdit1;

    open(path("b.tex"));
    ASSERT_EQ(tabs().Count(), 2);
    EXPECT_FALSE(tabs().Bar().isHidden());
    EXPECT_NE(form->RichEdit1, first);
    EXPECT_EQ(form->DocName, QStringLiteral("b"));
    EXPECT_EQ(readBytes(doc("a.tex")), aBytes) << "leaving a modified document saves nothing";
    EXPECT_EQ(tabs().Bar().tabText(0), QStringLiteral("a.tex*"));
    EXPECT_EQ(tabs().Bar().tabToolTip(1), path("b.tex"));

    // The same file by a symbolic link, a hard link or another spelling of its path.
    fs::create_symlink(doc("a.tex"), doc("link.tex"));
    fs::create_hard_link(doc("b.tex"), doc("hard.tex"));
    const struct {
        QString path;
        int tab;
    } sameFiles[] = {{path("link.tex"), 0},
                     {path("hard.tex"), 1},
                     {QString::fromStdString((folder.dir / "docs/../docs/./a.tex").string()), 0}};
    for (const auto& same : sameFiles) {
        open(same.path);
        EXPECT_EQ(tabs().Count(), 2) << same.path.toStdString();
        EXPECT_EQ(tabs().CurrentIndex(), same.tab) << same.path.toStdString();
    }
    // The first document as it was left: its text, caret and undo.
    EXPECT_EQ(form->RichEdit1, first);
    EXPECT_EQ(form->DocName, QStringLiteral("a"));
    EXPECT_EQ(form->RichEdit1->SelStart(), 6);
    EXPECT_TRUE(form->RichEdit1->Modified());
    form->RichEdit1->undo();
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("KolBAX (ver.0.3beta): a"));
}

TEST_F(DocumentTabs, EncodingPlaceMarkAndCaptionBelongToEachDocument) {
    write("a.tex", u"Текст\r\n");
    writeBytes(doc("u.tex"), "% !TeX encoding = UTF-8\n\xCE\xA3\n");
    writeBytes(doc("u.sts"), "*\r\n1\r\n0\r\n");
    open(path("a.tex"));
    run("N21"); // the place mark of a.tex at its start
    open(path("u.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Utf8);
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral("[UTF-8]")));
    EXPECT_EQ(form->MarkedPosition, -1);
    run("PreviousTab1");
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp866);
    EXPECT_EQ(form->MarkedPosition, 0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("KolBAX (ver.0.3beta): a"));
    run("NextTab1");
    EXPECT_EQ(form->DocName, QStringLiteral("u"));
    run("NextTab1"); // round to the first
    EXPECT_EQ(form->DocName, QStringLiteral("a"));
}

TEST_F(DocumentTabs, AFileThatCannotBeOpenedLeavesNoTab) {
    write("a.tex", u"Текст\r\n");
    open(path("a.tex"));
    writeBytes(doc("bin.tex"), std::string("ab\0cd", 5));
    fs::create_directories(doc("folder.tex"));
    for (const char* bad : {"bin.tex", "folder.tex"}) {
        const size_t errors = prompts->ofKind("error").size();
        open(path(bad));
        EXPECT_EQ(prompts->ofKind("error").size(), errors + 1) << bad;
        EXPECT_EQ(tabs().Count(), 1) << bad;
        EXPECT_EQ(form->DocName, QStringLiteral("a")) << bad;
    }
}

TEST_F(DocumentTabs, ClosingAModifiedTabAsksWithAThirdAnswerThatKeepsIt) {
    write("a.tex", u"А\r\n");
    write("b.tex", u"Б\r\n");
    const std::string bBytes = readBytes(doc("b.tex"));
    open(path("a.tex"));
    type("1");
    open(path("b.tex"));
    type("2");

    prompts->choiceAnswers = {std::nullopt}; // Cancel
    run("CloseTab1");
    EXPECT_EQ(tabs().Count(), 2);
    EXPECT_EQ(prompts->ofKind("choice").back().text, cp1251(u"Файл изменен. Сохранить?"));

    prompts->choiceAnswers = {false}; // No: the text is given up, the file stays as it was
    run("CloseTab1");
    EXPECT_EQ(tabs().Count(), 1);
    EXPECT_EQ(readBytes(doc("b.tex")), bBytes);
    EXPECT_EQ(form->DocName, QStringLiteral("a"));
    EXPECT_EQ(form->RecentFiles[0], path("b.tex"));

    prompts->choiceAnswers = {true}; // Yes saves; the last tab leaves the start-up look
    run("CloseTab1");
    EXPECT_EQ(readBytes(doc("a.tex")), cp866(u"1А\r\n"));
    EXPECT_EQ(tabs().Count(), 1);
    EXPECT_FALSE(form->RichEdit1->isEnabled());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("KolBAX (ver.0.3beta)"));
}

TEST_F(DocumentTabs, ExitAsksForEveryModifiedDocumentAndCancelKeepsThemAll) {
    write("a.tex", u"А\r\n");
    write("b.tex", u"Б\r\n");
    write("c.tex", u"В\r\n");
    for (const char* name : {"a.tex", "b.tex", "c.tex"}) {
        open(path(name));
        if (name[0] != 'b') type("+");
    }
    prompts->choiceAnswers = {true, std::nullopt};
    form->close();
    EXPECT_FALSE(form->HasShutDown());
    EXPECT_EQ(readBytes(doc("a.tex")), cp866(u"+А\r\n")) << "answered Yes";
    EXPECT_EQ(readBytes(doc("c.tex")), cp866(u"В\r\n")) << "Cancel came before its save";
    EXPECT_EQ(tabs().Count(), 3);
    EXPECT_EQ(prompts->ofKind("choice").size(), 2U);

    prompts->choiceAnswers = {false};
    form->close();
    EXPECT_TRUE(form->HasShutDown());
    EXPECT_EQ(readBytes(doc("c.tex")), cp866(u"В\r\n"));
}

TEST_F(DocumentTabs, AFileChangedBehindTheEditorIsNeverSavedOverSilently) {
    write("a.tex", u"Старый\r\n");
    write("b.tex", u"Б\r\n");
    open(path("a.tex"));
    open(path("b.tex"));
    // Changed behind the editor's back while b is shown; a newer time for certain.
    writeBytes(doc("a.tex"), cp866(u"Новый\r\n"));
    ::utime(doc("a.tex").c_str(), nullptr);
    prompts->questionAnswers = {true}; // read it again
    run("PreviousTab1");
    ASSERT_EQ(prompts->ofKind("question").size(), 1U);
    EXPECT_EQ(form->RichEdit1->PlainText(), QStringLiteral("Новый\n"));
    EXPECT_FALSE(form->RichEdit1->Modified());

    // Replaced again; kept this time: the editor's text stands, modified, and a save then
    // writes it without asking again.
    type("!");
    writeBytes(doc("b.tex"), cp866(u"Чужой\r\n"));
    run("NextTab1");
    run("PreviousTab1");
    writeBytes(doc("a.tex") += ".new", cp866(u"Третий\r\n"));
    fs::rename(doc("a.tex").string() + ".new", doc("a.tex"));
    prompts->questionAnswers = {false};
    run("NextTab1");
    run("PreviousTab1");
    EXPECT_EQ(form->DocName, QStringLiteral("a"));
    EXPECT_TRUE(form->RichEdit1->Modified());

    // A save over a file changed since asks first; No leaves the file as it is.
    run("NextTab1");
    EXPECT_EQ(form->DocName, QStringLiteral("b"));
    writeBytes(doc("b.tex") += ".new", cp866(u"Ещё чужой\r\n"));
    fs::rename(doc("b.tex").string() + ".new", doc("b.tex"));
    prompts->questionAnswers = {false};
    run("N6");
    EXPECT_EQ(readBytes(doc("b.tex")), cp866(u"Ещё чужой\r\n"));
    EXPECT_EQ(prompts->ofKind("question").back().caption, cp1251(u"Файл изменён на диске"));

    // Deleted: said once, and the text saved again.
    run("PreviousTab1");
    fs::remove(doc("a.tex"));
    run("NextTab1");
    run("PreviousTab1");
    EXPECT_EQ(prompts->ofKind("information").size(), 1U);
    run("N6");
    EXPECT_EQ(readBytes(doc("a.tex")), cp866(u"!Новый\r\n"));
}

TEST_F(DocumentTabs, TheSessionComesBackInItsOrderAtItsCarets) {
    write("a.tex", u"Первая строка\r\n");
    write("b.tex", u"Вторая\r\nстрока\r\n");
    write("c.tex", u"Третья\r\n");
    for (const char* name : {"a.tex", "b.tex", "c.tex"})
        open(path(name));
    form->RichEdit1->SetSel(3, 0);
    run("PreviousTab1");
    form->RichEdit1->SetSel(9, 0);
    form->close();
    ASSERT_TRUE(form->HasShutDown());

    fs::remove(doc("c.tex"));
    start();
    form->RestoreSession();
    ASSERT_EQ(tabs().Count(), 2);
    EXPECT_EQ(tabs().DocumentAt(0).DocName, QStringLiteral("a"));
    EXPECT_EQ(form->DocName, QStringLiteral("b")) << "the document shown at exit";
    EXPECT_EQ(form->RichEdit1->SelStart(), 9);
    ASSERT_EQ(prompts->ofKind("information").size(), 1U) << "one note for what is gone";
    EXPECT_NE(prompts->ofKind("information")[0].text.find("c.tex"), std::string::npos);
}

TEST_F(DocumentTabs, EveryModifiedDocumentKeepsAJournalAndAllComeBack) {
    write("a.tex", u"А\r\n");
    write("b.tex", u"Б\r\n");
    open(path("a.tex"));
    type("1");
    open(path("b.tex"));
    type("2");
    // Each journal is written by its own timer from its own document, shown or not.
    QTest::qWait(app::DocumentJournal::kDelayMs + 300);
    form->Journal->journal().flush();
    editor.reset(); // an abrupt end: the journals stay

    start();
    prompts->questionAnswers = {true, true};
    EXPECT_TRUE(form->Journal->offerOrphans());
    ASSERT_EQ(tabs().Count(), 2);
    QStringList texts;
    for (int i = 0; i < tabs().Count(); ++i) {
        EXPECT_TRUE(tabs().ControlAt(i).Modified());
        texts << tabs().DocumentAt(i).DocName + QLatin1Char(':') + tabs().ControlAt(i).PlainText();
    }
    texts.sort();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("a:1А\n"), QStringLiteral("b:2Б\n")}));
}

} // namespace
