// The File menu driven through the menu items with scripted prompts: files on disk,
// captions, the recent files, the current folder and the modified flag.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "document/radio_group.h"
#include "document/tex_view.h"
#include "document/texts.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "platform/charsets.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/text_encoding.h"
#include "support/editor.h"
#include "support/qt_print.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

using support::cp1251;
using support::cp866;
using support::readBytes;
using support::writeBytes;

std::string to866(std::string text) {
    platform::convertCp1251ToCp866(text);
    return text;
}

// A dialog action: choose a status (and a template) and press a button.
std::function<void(QDialog&)> answer(int status, bool ok = true, int templateIndex = -1,
                                     bool smartKeyboard = true) {
    return [=](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item%1").arg(status))->click();
        if (templateIndex >= 0)
            dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup2Item%1").arg(templateIndex))
                ->click();
        dialog.findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(smartKeyboard);
        dialog.findChild<QPushButton*>(ok ? QStringLiteral("Button1") : QStringLiteral("Button2"))
            ->click();
    };
}

class FileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        root = fs::temp_directory_path() /
               ("kolbax-doc-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        fs::remove_all(root);
        docs = root / "docs";
        fs::create_directories(docs);
        writeBytes(app / "default.tex", cp866(u"\\documentclass{article}\r\n% шаблон\r\n"));
        startDir = QDir::currentPath();
        editor = std::make_unique<support::Editor>(app);
        form = editor->form.get();
        prompts = editor->prompts;
        prompts->shown.clear();
    }

    void TearDown() override {
        form = nullptr;
        editor.reset();
        QDir::setCurrent(startDir);
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(root);
    }

    void run(const char* item) {
        QAction* action = form->findChild<QAction*>(QLatin1String(item));
        ASSERT_NE(action, nullptr) << item;
        action->trigger();
    }

    QString docsDir() const { return QString::fromStdString(docs.string()); }
    QString doc(const QString& name) const { return docsDir() + QLatin1Char('/') + name; }
    std::string caption() const { return platform::toCp1251(form->windowTitle()); }
    std::string text() const { return form->RichEdit1->Text(); }
    QString currentDir() const { return QDir::currentPath(); }
    std::vector<std::string> errors() const {
        std::vector<std::string> messages;
        for (const auto& shown : prompts->ofKind("error"))
            messages.push_back(shown.text);
        return messages;
    }
    void loadText(const std::string& text) {
        platform::TextRun run;
        run.text = platform::fromCp1251(text);
        form->RichEdit1->LoadRuns({run});
    }
    void type(const std::string& cp1251) {
        form->RichEdit1->SetSelText(cp1251);
        form->RichEdit1->SetModified(true);
    }
    // Opens a file through "Открыть", answering the parameters dialog when it comes.
    void open(const QString& path, std::function<void(QDialog&)> parameters = answer(0)) {
        prompts->fileAnswers.push_back(path);
        prompts->modalActions.push_back(std::move(parameters));
        run("N5");
        prompts->modalActions.clear();
    }

    support::ProgramFolder program;
    const fs::path app = program.dir;
    fs::path root, docs;
    QString startDir;
    std::unique_ptr<support::Editor> editor;
    TForm1* form = nullptr;
    support::ScriptedPrompts* prompts = nullptr;
};

const std::string kPrefix = "KolBAX (ver.0.3beta): ";

TEST_F(FileCommands, OpenWithoutStatusFileAsksAndKeepsTheAnswerAtOnce) {
    std::string body = cp1251(u"Привет, $x$.\r\n\\section{Введение}\r\n");
    writeBytes(docs / "a.tex", to866(body));
    open(doc("a.tex"));

    ASSERT_EQ(prompts->ofKind("open").size(), 1u);
    EXPECT_EQ(prompts->ofKind("open")[0].caption, cp1251(u"Открытие файла для редактирования"));
    EXPECT_EQ(prompts->ofKind("open")[0].text, cp1251(document::kDocumentOpenFilter));
    ASSERT_EQ(prompts->ofKind("modal").size(), 1u);
    EXPECT_EQ(prompts->ofKind("modal")[0].caption, cp1251(u"Задай параметры файла"));
    EXPECT_EQ(caption(), kPrefix + "a");
    EXPECT_EQ(form->MainFile, "*");
    EXPECT_EQ(form->DocName, "a");
    EXPECT_EQ(form->DocExt, ".tex");
    EXPECT_EQ(form->DocDir, docsDir());
    EXPECT_EQ(currentDir(), docsDir());
    EXPECT_EQ(text(), body);
    EXPECT_EQ(form->RichEdit1->CharsetAt(0), platform::kCyrillicCharset);
    EXPECT_EQ(form->RichEdit1->CharsetAt(8), 0); // "$"
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_TRUE(form->RichEdit1->isEnabled());
    // The answer is kept before any save: the next open does not ask again.
    EXPECT_EQ(readBytes(docs / "a.sts"), "*\r\n1\r\n0\r\n");
    EXPECT_FALSE(fs::exists(docs / "a.tex.rich"));
    EXPECT_TRUE(errors().empty());

    form->RichEdit1->SetSel(0, 0);
    type(cp1251(u"Ё"));
    run("N6");
    EXPECT_EQ(readBytes(docs / "a.tex"), to866(cp1251(u"Ё") + body));
    EXPECT_EQ(readBytes(docs / "a.sts"), "*\r\n1\r\n1\r\n");
    EXPECT_FALSE(form->RichEdit1->Modified());
}

TEST_F(FileCommands, StatusFileRestoresLinkSmartKeyboardAndCaret) {
    writeBytes(docs / "b.tex", "0123456789\r\nabc\r\n");
    writeBytes(docs / "b.sts", "a\r\n0\r\n13\r\n");
    open(doc("b.tex"));
    EXPECT_TRUE(prompts->ofKind("modal").empty());
    EXPECT_EQ(caption(), kPrefix + "b" + cp1251(u" к ") + "a");
    EXPECT_FALSE(form->SmartKeyboardOn);
    EXPECT_EQ(form->RichEdit1->SelStart(), 13);

    // Past the end: at the end; negative: at the start. (An open file only shows its tab:
    // it is closed to be read again.)
    writeBytes(docs / "b.sts", "a\r\n257\r\n999999\r\n");
    run("CloseTab1");
    open(doc("b.tex"));
    EXPECT_TRUE(form->SmartKeyboardOn);
    EXPECT_EQ(form->RichEdit1->SelStart(), form->RichEdit1->TextLength());
    writeBytes(docs / "b.sts", "a\r\n1\r\n-5\r\n");
    run("CloseTab1");
    open(doc("b.tex"));
    EXPECT_EQ(form->RichEdit1->SelStart(), 0);
}

TEST_F(FileCommands, GarbageStatusFileReportsAndKeepsWhatWasRead) {
    writeBytes(docs / "g.tex", "x\r\n");
    writeBytes(docs / "g.sts", "thesis\r\n1\r\n\x01\xFFgarbage\r\n");
    form->SmartKeyboardOn = false;
    open(doc("g.tex"));
    EXPECT_EQ(errors(), std::vector<std::string>{"Invalid numeric input"});
    EXPECT_EQ(form->MainFile, "thesis");
    EXPECT_TRUE(form->SmartKeyboardOn);
    EXPECT_EQ(caption(), kPrefix + "g" + cp1251(u" к ") + "thesis");
    EXPECT_TRUE(form->RichEdit1->isEnabled());
}

TEST_F(FileCommands, EveryExtensionKeepsItsNameAndAStatusFileOfItsOwn) {
    // Beside a ".tex" document of the same name: neither writes the other's files.
    writeBytes(docs / "notes.tex", "tex\r\n");
    writeBytes(docs / "notes.sts", "*\r\n0\r\n0\r\n");
    for (const char* name : {"notes.txt", "notes", "refs.bib", "chapter.ltx", "x.sty"}) {
        SCOPED_TRACE(name);
        writeBytes(docs / name, "notes\n");
        open(doc(QLatin1String(name)));
        type("more ");
        run("N6");
        EXPECT_EQ(readBytes(docs / name), "more notes\n");
        const std::string status = std::string(name) + (fs::path(name).has_extension() ? "" : ".");
        EXPECT_EQ(readBytes(docs / (status + ".sts")), "*\r\n1\r\n5\r\n");
        EXPECT_FALSE(fs::exists(docs / (fs::path(name).stem().string() + ".tex.tex")));
    }
    EXPECT_EQ(readBytes(docs / "notes.tex"), "tex\r\n");
    EXPECT_EQ(readBytes(docs / "notes.sts"), "*\r\n0\r\n0\r\n");
    EXPECT_EQ(caption(), kPrefix + "x.sty");
    // A name that does not exist yet and has no extension starts a ".tex" document; one
    // that is only an extension names no document, as ".tex" does: saving asks for a name.
    open(doc("fresh"));
    EXPECT_EQ(form->DocExt, ".tex");
    writeBytes(docs / ".bib", "x\n");
    open(doc(".bib"));
    EXPECT_TRUE(form->DocName.isEmpty());
    type("y");
    run("N6");
    EXPECT_EQ(prompts->ofKind("save").size(), 1u);
    EXPECT_EQ(readBytes(docs / ".bib"), "x\n");
    open(doc("notes.txt"));
    run("N8"); // a new tab in the folder and of the kind of the document it was made from
    EXPECT_EQ(form->RecentFiles[0], doc("notes.txt"));
    EXPECT_EQ(form->DocExt, ".txt");
    EXPECT_EQ(form->DocDir, docsDir());
}

TEST_F(FileCommands, SaveAsWritesTheNewFilesAndLeavesTheOldOnes) {
    writeBytes(docs / "b.tex", "b\r\n");
    writeBytes(docs / "b.sts", "a\r\n1\r\n0\r\n");
    open(doc("b.tex"));
    type("c");
    prompts->fileAnswers.push_back(doc("c.tex"));
    run("N7");
    EXPECT_EQ(prompts->ofKind("save").back().text,
              cp1251(u"Файлы TEX|*.tex|Все файлы|*.*") + "|.tex");
    EXPECT_EQ(readBytes(docs / "c.tex"), "cb\r\n");
    EXPECT_EQ(readBytes(docs / "c.sts"), "a\r\n1\r\n1\r\n");
    EXPECT_EQ(readBytes(docs / "b.tex"), "b\r\n");
    EXPECT_EQ(readBytes(docs / "b.sts"), "a\r\n1\r\n0\r\n");
    EXPECT_EQ(caption(), kPrefix + "c" + cp1251(u" к ") + "a");
    EXPECT_FALSE(form->RichEdit1->Modified());
    EXPECT_EQ(form->RecentFiles[0], ""); // entered only when the document is left
}

TEST_F(FileCommands, NewDocumentDialogAndTemplates) {
    TForm2& dialog = *form->Form2;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Задай параметры создаваемого файла"));
    // Attached switches the standard template off, main file switches it back on; a user
    // template stays.
    dialog.RadioGroup1->Item(1)->click();
    EXPECT_EQ(dialog.RadioGroup2->ItemIndex(), 0);
    dialog.RadioGroup1->Item(0)->click();
    EXPECT_EQ(dialog.RadioGroup2->ItemIndex(), 1);
    dialog.RadioGroup2->Item(2)->click();
    dialog.RadioGroup1->Item(1)->click();
    EXPECT_EQ(dialog.RadioGroup2->ItemIndex(), 2);

    // Attached to thesis.tex, no template.
    prompts->fileAnswers.push_back(doc("thesis.tex"));
    prompts->modalActions.push_back(answer(1, true, 0, false));
    run("N8");
    EXPECT_EQ(prompts->ofKind("open").back().caption,
              cp1251(u"Выбери главный файл и нажми \"ОТКРЫТЬ\""));
    EXPECT_EQ(form->MainFile, "thesis");
    EXPECT_FALSE(form->SmartKeyboardOn);
    EXPECT_EQ(form->UserTemplate, "");
    EXPECT_EQ(caption(), kPrefix + cp1251(u"(без имени) к ") + "thesis");
    EXPECT_EQ(text(), "");
    EXPECT_TRUE(form->RichEdit1->isEnabled());

    // The standard template.
    prompts->modalActions.push_back(answer(0, true, 1));
    run("N8");
    EXPECT_EQ(form->UserTemplate, "*");
    EXPECT_EQ(caption(), kPrefix + cp1251(u"(без имени)"));
    EXPECT_EQ(text(), cp1251(u"\\documentclass{article}\r\n% шаблон\r\n"));

    // A user template with an RTF companion is shown as rich text.
    writeBytes(docs / "t.tex", "from tex\r\n");
    writeBytes(docs / "t.rtf",
               "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial;}}\\f0\\b \\'cf\\b0 x\\par}");
    prompts->fileAnswers.push_back(doc("t.tex"));
    prompts->modalActions.push_back(answer(0, true, 2));
    run("N8");
    EXPECT_EQ(prompts->ofKind("open").back().caption,
              cp1251(u"Выбери файл шаблона и нажми \"ОТКРЫТЬ\""));
    EXPECT_EQ(form->UserTemplate, doc("t.tex"));
    EXPECT_EQ(text(), "\xCFx\r\n");
    EXPECT_EQ(form->RichEdit1->CharsetAt(0), platform::kCyrillicCharset);
    // Without it the template is converted like an opened TeX file.
    fs::remove(docs / "t.rtf");
    prompts->modalActions.push_back(
        [](QDialog& d) { d.findChild<QPushButton*>("Button2")->click(); });
    run("N8");
    EXPECT_EQ(text(), "from tex\r\n");
    // Cancelled: an untitled document with no project choice, the last accepted template.
    EXPECT_EQ(form->MainFile, "");
    EXPECT_EQ(caption(), kPrefix + cp1251(u"(без имени)"));
}

TEST_F(FileCommands, CancellingThePickersKeepsTheDialogOpenAndTheStateAsItWas) {
    form->MainFile = "old";
    form->SmartKeyboardOn = true;
    TForm3& dialog = *form->Form3;
    dialog.RadioGroup1->Item(1)->click();
    dialog.CheckBox1->setChecked(false);
    dialog.show();
    dialog.Button1->click(); // main-file picker cancelled
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(form->MainFile, "old");
    EXPECT_TRUE(form->SmartKeyboardOn);
    dialog.Button2->click();
    EXPECT_FALSE(dialog.isVisible());

    TForm2& newFile = *form->Form2;
    newFile.RadioGroup1->Item(0)->click();
    newFile.RadioGroup2->Item(2)->click();
    form->UserTemplate = "*";
    newFile.show();
    newFile.Button1->click(); // template picker cancelled: only the main file changed
    EXPECT_TRUE(newFile.isVisible());
    EXPECT_EQ(form->MainFile, "*");
    EXPECT_EQ(form->UserTemplate, "*");
    newFile.hide();
}

TEST_F(FileCommands, TheCurrentFolderStaysAtTheDocumentsFolder) {
    fs::create_directories(root / "elsewhere");
    writeBytes(docs / "k.tex", "k\r\n");
    prompts->fileAnswers.push_back(doc("k.tex"));
    prompts->fileAnswers.push_back(
        QString::fromStdString((root / "elsewhere" / "main.tex").string()));
    prompts->modalActions.push_back(answer(1));
    run("N5");
    EXPECT_EQ(form->MainFile, "../elsewhere/main");
    EXPECT_EQ(currentDir(), docsDir());
    type("x");
    run("N6");
    EXPECT_EQ(readBytes(docs / "k.sts"), "../elsewhere/main\r\n1\r\n1\r\n");
    EXPECT_FALSE(fs::exists(root / "elsewhere" / "k.sts"));
}

// A thesis keeps its main file at the top and its chapters in a folder below: the link is
// the main file's path from the chapter's folder, kept as soon as it is chosen, and a status
// file of an earlier version (a bare name) still names the file beside the document.
TEST_F(FileCommands, AChapterBelowItsMainFileKeepsThePathToIt) {
    fs::create_directories(docs / "chap");
    writeBytes(docs / "main.tex", "main\r\n");
    writeBytes(docs / "chap" / "ch.tex", "chapter\r\n");
    prompts->fileAnswers.push_back(doc("chap/ch.tex"));
    prompts->fileAnswers.push_back(doc("main.tex"));
    prompts->modalActions.push_back(answer(1));
    run("N5");
    EXPECT_EQ(form->MainFile, "../main");
    EXPECT_EQ(readBytes(docs / "chap" / "ch.sts"), "../main\r\n1\r\n0\r\n");
    EXPECT_NE(caption().find("../main"), std::string::npos);

    // Opened again (as a jump from the PDF or the LOG opens it): nothing is asked.
    open(doc("main.tex"));
    prompts->shown.clear();
    open(doc("chap/ch.tex"));
    EXPECT_TRUE(prompts->ofKind("modal").empty()) << support::describe(*prompts);
    EXPECT_EQ(form->MainFile, "../main");

    // A main file in the same folder is still a bare name.
    writeBytes(docs / "chap" / "part.tex", "part\r\n");
    prompts->fileAnswers.push_back(doc("chap/part.tex"));
    prompts->fileAnswers.push_back(doc("chap/ch.tex"));
    prompts->modalActions.push_back(answer(1));
    run("N5");
    EXPECT_EQ(readBytes(docs / "chap" / "part.sts"), "ch\r\n1\r\n0\r\n");
    // A dialog closed without an answer keeps nothing.
    writeBytes(docs / "loose.tex", "loose\r\n");
    open(doc("loose.tex"), answer(0, false));
    EXPECT_FALSE(fs::exists(docs / "loose.sts"));
}

// The document's files are named by absolute paths and every change of folder is checked:
// a save goes to the document the caption names, or fails with a message.
TEST_F(FileCommands, FoldersThatCannotBeEnteredAreRefusedAndSavesGoWhereTheCaptionSays) {
    fs::create_directories(root / "papers");
    writeBytes(root / "papers" / "thesis.tex", "papers\r\n");
    writeBytes(root / "papers" / "thesis.sts", "*\r\n1\r\n0\r\n");
    writeBytes(docs / "thesis.tex", "docs\r\n");
    const QString papers = QString::fromStdString((root / "papers").string());
    open(papers + "/thesis.tex");

    // A folder that does not exist, and one that is a file: the open is refused naming the
    // folder; the document, its folder and the current folder stay.
    const QString gone = QString::fromStdString((root / "gone").string());
    for (const QString& folder : {gone, papers + "/thesis.tex"}) {
        prompts->shown.clear();
        open(folder + "/thesis.tex");
        EXPECT_EQ(errors(), std::vector<std::string>{cp1251(document::kCannotOpenInFolder) +
                                                     platform::toCp1251(folder)});
        EXPECT_TRUE(prompts->ofKind("modal").empty());
        EXPECT_EQ(form->DocDir, papers);
        EXPECT_EQ(currentDir(), papers);
        EXPECT_EQ(text(), "papers\r\n");
    }
    // Save as into a folder that does not exist: refused, the name kept.
    type("a");
    prompts->fileAnswers.push_back(gone + "/new.tex");
    run("N7");
    EXPECT_EQ(errors().back(), cp1251(document::kCannotSaveInFolder) + platform::toCp1251(gone));
    EXPECT_EQ(form->DocName, "thesis");
    EXPECT_EQ(form->DocDir, papers);
    EXPECT_TRUE(form->RichEdit1->Modified());
    // A folder named outside CP1251 is named as the file system has it.
    const QString foreign = QString::fromStdString((root / "Σχέδιο 😀").string());
    prompts->fileAnswers.push_back(foreign + "/new.tex");
    run("N7");
    ASSERT_FALSE(prompts->unicodeErrors.empty());
    EXPECT_EQ(prompts->unicodeErrors.back(),
              document::text(document::kCannotSaveInFolder) + foreign);

    // The current folder moved elsewhere: the save still goes to the document's folder.
    QDir::setCurrent(docsDir());
    run("N6");
    EXPECT_EQ(readBytes(root / "papers" / "thesis.tex"), "apapers\r\n");
    EXPECT_EQ(readBytes(root / "papers" / "thesis.sts"), "*\r\n1\r\n1\r\n");
    EXPECT_EQ(readBytes(docs / "thesis.tex"), "docs\r\n");
    EXPECT_FALSE(fs::exists(docs / "thesis.sts"));
}

// Names that CP1251 cannot hold are kept exactly: the caption, the files, the status
// file's project link and the recent list.
TEST_F(FileCommands, NamesOutsideCp1251WorkFully) {
    const QString cafe = docsDir() + QStringLiteral("/café");
    const fs::path cafePath(cafe.toStdString());
    fs::create_directories(cafePath);
    writeBytes(cafePath / "α.tex", "alpha\r\n");
    prompts->fileAnswers.push_back(cafe + "/α.tex");
    prompts->fileAnswers.push_back(cafe + "/résumé.tex"); // the main file, attached to
    prompts->modalActions.push_back(answer(1));
    run("N5");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(kPrefix) + "α к résumé");
    EXPECT_EQ(text(), "alpha\r\n");
    EXPECT_EQ(currentDir(), cafe);
    type("a");
    run("N6");
    EXPECT_EQ(readBytes(cafePath / "α.tex"), "aalpha\r\n");
    EXPECT_EQ(readBytes(cafePath / "α.sts"), "\xEF\xBB\xBFr\xC3\xA9sum\xC3\xA9\r\n1\r\n1\r\n");

    prompts->fileAnswers.push_back(cafe + "/résumé.tex");
    run("N7");
    EXPECT_EQ(readBytes(cafePath / "résumé.tex"), "aalpha\r\n");
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(kPrefix) + "résumé к résumé");
    run("N8");
    EXPECT_EQ(form->RecentFiles[0], cafe + "/résumé.tex");
    EXPECT_EQ(form->File11->text(), "résumé.tex");
    run("File11");
    EXPECT_EQ(form->DocName, "résumé");
    EXPECT_EQ(form->MainFile, "résumé");
    EXPECT_EQ(text(), "aalpha\r\n");
    EXPECT_TRUE(errors().empty());

    // A name the editor cannot keep exactly (bytes that are not UTF-8 reach Qt as U+FFFD;
    // a line break would split the stored path) is refused before anything changes.
    for (const QString& bad : {doc(QStringLiteral("bad\uFFFD.tex")), doc("two\nlines.tex")}) {
        prompts->shown.clear();
        open(bad);
        EXPECT_EQ(errors(), std::vector<std::string>{cp1251(document::kUnworkableName)});
        EXPECT_EQ(form->DocName, "résumé");
    }
}

// The caption under the new-file dialog no longer names the project of the document left.
TEST_F(FileCommands, TheNewFileDialogComesUnderTheUntitledCaption) {
    writeBytes(docs / "chapter.tex", "c\r\n");
    writeBytes(docs / "chapter.sts", "thesis\r\n1\r\n0\r\n");
    open(doc("chapter.tex"));
    ASSERT_EQ(caption(), kPrefix + "chapter" + cp1251(u" к ") + "thesis");
    std::string shownUnder;
    prompts->modalActions.push_back([&](QDialog&) { shownUnder = caption(); });
    run("N8");
    EXPECT_EQ(shownUnder, kPrefix + cp1251(u"(без имени)"));
}

TEST_F(FileCommands, LoadingNeverWritesBesideTheDocument) {
    fs::create_directories(docs / "ro");
    writeBytes(docs / "ro" / "report.tex", "text\r\n");
    writeBytes(docs / "ro" / "report.tex.rich", "the user's own file");
    writeBytes(docs / "ro" / "report.sts", "*\r\n1\r\n0\r\n");
    fs::permissions(docs / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    open(doc("ro/report.tex"));
    fs::permissions(docs / "ro", fs::perms::owner_all);
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(text(), "text\r\n");
    EXPECT_EQ(readBytes(docs / "ro" / "report.tex.rich"), "the user's own file");
    EXPECT_EQ(fs::directory_iterator(docs / "ro") == fs::directory_iterator(), false);
    size_t files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(docs / "ro"))
        ++files;
    EXPECT_EQ(files, 3u);
}

TEST_F(FileCommands, AFailedSaveKeepsTheOldFilesTheNameAndTheModifiedFlag) {
    writeBytes(docs / "f.tex", "old\r\n");
    writeBytes(docs / "f.sts", "*\r\n1\r\n0\r\n");
    open(doc("f.tex"));
    type("new ");
    {
        // A full disk: the file-size limit makes every write of more than 2 bytes fail.
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small{2, saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
        run("N6");
        setrlimit(RLIMIT_FSIZE, &saved);
    }
    EXPECT_EQ(errors(), std::vector<std::string>{"Disk full"});
    EXPECT_EQ(readBytes(docs / "f.tex"), "old\r\n");
    EXPECT_EQ(readBytes(docs / "f.sts"), "*\r\n1\r\n0\r\n");
    EXPECT_TRUE(form->RichEdit1->Modified());

    // Save as onto a name that is a folder: the document keeps its name and caption.
    fs::create_directories(docs / "dir.tex");
    prompts->fileAnswers.push_back(doc("dir.tex"));
    run("N7");
    EXPECT_EQ(errors().back(), "File access denied");
    EXPECT_EQ(form->DocName, "f");
    EXPECT_EQ(caption(), kPrefix + "f");
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_FALSE(fs::exists(docs / "dir.sts"));
    // The status file failing after the TeX file was written also reports and keeps the flag.
    fs::create_directories(docs / "f.sts.d");
    fs::remove(docs / "f.sts");
    fs::rename(docs / "f.sts.d", docs / "f.sts");
    run("N6");
    EXPECT_EQ(errors().back(), "File access denied");
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(FileCommands, SaveLimitsAreCheckedBeforeTheFileIsTouched) {
    writeBytes(docs / "l.tex", "old\r\n");
    writeBytes(docs / "l.sts", "*\r\n1\r\n0\r\n");
    open(doc("l.tex"));
    form->RichEdit1->SetSel(0, form->RichEdit1->TextLength());
    form->RichEdit1->SetSelText(std::string(65536, 'x'));
    form->Guarded([&] { form->SaveTexFile("l.tex"); });
    EXPECT_EQ(errors(), std::vector<std::string>{"Range check error"});
    EXPECT_EQ(readBytes(docs / "l.tex"), "old\r\n");

    std::string many;
    for (int i = 0; i < 65537; ++i)
        many += "a\n";
    loadText(many);
    form->Guarded([&] { form->SaveTexFile("l.tex"); });
    EXPECT_EQ(errors().size(), 2u);
    EXPECT_EQ(readBytes(docs / "l.tex"), "old\r\n");

    // 65,536 lines and lines longer than the 4,096 characters of a control line are saved whole.
    many.resize(many.size() - 4);
    many = std::string(5000, 'y') + "\n" + many;
    loadText(many);
    form->Guarded([&] { form->SaveTexFile("l.tex"); });
    EXPECT_EQ(errors().size(), 2u);
    std::string saved = readBytes(docs / "l.tex");
    EXPECT_EQ(saved.substr(0, 5002), std::string(5000, 'y') + "\r\n");
    EXPECT_EQ(saved.size(), 5002u + 65535u * 3u);
}

TEST_F(FileCommands, EmptyEditorsAndUntitledNamesWriteNoTexFile) {
    writeBytes(docs / "e.tex", "keep\r\n");
    writeBytes(docs / "e.sts", "*\r\n1\r\n0\r\n");
    open(doc("e.tex"));
    form->RichEdit1->Clear();
    form->RichEdit1->SetModified(true);
    run("N6");
    EXPECT_EQ(readBytes(docs / "e.tex"), "keep\r\n");
    EXPECT_EQ(readBytes(docs / "e.sts"), "*\r\n1\r\n0\r\n");
    // A document name beginning with "." is a name like any other.
    type("hidden");
    prompts->fileAnswers.push_back(doc(".hidden.tex"));
    run("N7");
    EXPECT_EQ(readBytes(docs / ".hidden.tex"), "hidden\r\n");
    // A name that is only an extension names nothing: like a cancelled dialog.
    prompts->fileAnswers.push_back(doc(".tex"));
    type("x");
    run("N7");
    EXPECT_FALSE(fs::exists(docs / ".tex"));
    EXPECT_FALSE(fs::exists(docs / ".sts"));
    EXPECT_EQ(form->DocName, ".hidden");
    EXPECT_TRUE(form->RichEdit1->Modified());
}

TEST_F(FileCommands, LeavingADocumentSavesNothingAndTheSaveDialogCancelledKeepsIt) {
    prompts->modalActions.push_back(answer(0, true, 0));
    run("N8");
    type("precious");
    form->RecentFiles[0] = doc("r.tex");
    writeBytes(docs / "r.tex", "r\r\n");
    writeBytes(docs / "r.sts", "*\r\n1\r\n0\r\n");
    // "Сохранить" with its dialog cancelled changes nothing.
    run("N6");
    EXPECT_EQ(prompts->ofKind("save").size(), 1u);
    EXPECT_EQ(text(), "precious");
    EXPECT_TRUE(form->RichEdit1->Modified());
    // Another document opens beside it: nothing is saved, nothing asked.
    prompts->shown.clear();
    run("File11");
    EXPECT_TRUE(prompts->ofKind("save").empty());
    EXPECT_EQ(form->DocName, "r");
    EXPECT_EQ(form->Tabs->Count(), 2);
    run("PreviousTab1");
    EXPECT_EQ(text(), "precious");
    EXPECT_TRUE(form->RichEdit1->Modified());

    // Exit: Cancel keeps the editor open with both documents.
    form->show();
    prompts->choiceAnswers.push_back(std::nullopt);
    EXPECT_FALSE(form->close());
    EXPECT_EQ(prompts->ofKind("choice").size(), 1u);
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(text(), "precious");
}

TEST_F(FileCommands, CancellingTheOpenDialogKeepsTheDocument) {
    writeBytes(docs / "o.tex", "open\r\n");
    writeBytes(docs / "o.sts", "*\r\n1\r\n0\r\n");
    open(doc("o.tex"));
    type("edited ");
    run("N5"); // the open dialog cancelled: nothing saved, nothing changed
    EXPECT_EQ(readBytes(docs / "o.tex"), "open\r\n");
    EXPECT_EQ(text(), "edited open\r\n");
    EXPECT_EQ(form->DocName, "o");
    EXPECT_EQ(caption(), kPrefix + "o");
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(form->RecentFiles[0], doc("o.tex"));
}

TEST_F(FileCommands, ADocumentThatCannotBeLoadedDoesNotBecomeCurrent) {
    writeBytes(docs / "p.tex", "previous\r\n");
    writeBytes(docs / "p.sts", "*\r\n1\r\n0\r\n");
    open(doc("p.tex"));
    const QString label = form->Label1->text();
    fs::create_directories(docs / "folder.tex");
    std::string huge;
    for (int i = 0; i < 30000; ++i)
        huge += std::string(32, 'a') + "\r\n"; // 1,020,000 characters
    writeBytes(docs / "huge.tex", huge);
    // Files whose load would drop bytes, and a FIFO that no one writes to.
    std::string binary(65536, '\0');
    for (size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7 % 256);
    writeBytes(docs / "binary.tex", binary);
    writeBytes(docs / "cut.tex", "text\r\n\x1Amore\r\n");
    ASSERT_EQ(::mkfifo((docs / "pipe.tex").c_str(), 0600), 0);

    const std::string tooLarge =
        cp1251(u"Файл не загружен: в нём больше 1000000 символов, а редактор вмещает не больше.");
    const std::map<std::string, std::string> refusals = {
        {"folder.tex", cp1251(document::kNotRegularFile)},
        {"pipe.tex", cp1251(document::kNotRegularFile)},
        {"binary.tex", cp1251(document::kNulBytes)},
        {"cut.tex", cp1251(document::kTextAfterEndMark)},
        {"huge.tex", tooLarge}};
    for (const auto& [name, message] : refusals) {
        prompts->shown.clear();
        open(doc(QString::fromStdString(name)));
        ASSERT_EQ(errors(), std::vector<std::string>{message}) << name;
        EXPECT_TRUE(prompts->ofKind("modal").empty()) << name;
        EXPECT_EQ(form->DocName, "p") << name;
        EXPECT_EQ(form->DocExt, ".tex") << name;
        EXPECT_EQ(form->DocDir, docsDir()) << name;
        EXPECT_EQ(text(), "previous\r\n") << name;
        EXPECT_EQ(caption(), kPrefix + "p") << name;
        EXPECT_EQ(form->Label1->text(), label) << name;
    }
    EXPECT_EQ(readBytes(docs / "binary.tex"), binary);
    // Trailing 0x1A padding is no loss: such a file opens without it.
    writeBytes(docs / "padded.tex", "padded\r\n\x1A\x1A");
    prompts->shown.clear();
    open(doc("padded.tex"));
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(text(), "padded\r\n");
    // A user template is refused the same way: the new document stays empty.
    prompts->fileAnswers.push_back(doc("pipe.tex"));
    prompts->modalActions.push_back(answer(0, true, 2));
    run("N8");
    EXPECT_EQ(errors(), std::vector<std::string>{cp1251(document::kNotRegularFile)});
    EXPECT_EQ(text(), "");
    // So is a rich-text template the control could not hold (not RTF: read as plain text).
    writeBytes(docs / "big.tex", "");
    writeBytes(docs / "big.rtf", huge);
    prompts->shown.clear();
    prompts->fileAnswers.push_back(doc("big.tex"));
    prompts->modalActions.push_back(answer(0, true, 2));
    run("N8");
    EXPECT_EQ(errors(), std::vector<std::string>{tooLarge});
    EXPECT_EQ(text(), "");
    // Just under the limit loads.
    huge.resize(huge.size() - 34 * 600);
    writeBytes(docs / "huge.tex", huge);
    prompts->shown.clear();
    open(doc("huge.tex"));
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(form->RichEdit1->TextLength(), 999600);
}

TEST_F(FileCommands, RecentItems) {
    writeBytes(docs / "one.tex", "one\r\n");
    writeBytes(docs / "one.sts", "*\r\n1\r\n0\r\n");
    writeBytes(docs / "two.tex", "two\r\n");
    writeBytes(docs / "two.sts", "*\r\n1\r\n0\r\n");
    open(doc("one.tex"));
    open(doc("two.tex"));
    run("N8");
    ASSERT_EQ(form->RecentFiles[0], doc("two.tex"));
    ASSERT_EQ(form->RecentFiles[1], doc("one.tex"));
    EXPECT_TRUE(form->findChild<QAction*>("File21")->isVisible());

    // Item 2 with an untitled, modified document: nothing is saved, and one.tex, open
    // already, is shown in its tab.
    type("draft");
    run("File21");
    EXPECT_FALSE(fs::exists(docs / "draft.tex"));
    EXPECT_EQ(form->DocName, "one");
    EXPECT_EQ(text(), "one\r\n");
    EXPECT_EQ(form->Tabs->Count(), 3);
    EXPECT_EQ(currentDir(), docsDir());

    // A listed file that no longer exists: an empty document of that name.
    run("NextTab1");
    EXPECT_EQ(form->DocName, "two");
    run("CloseTab1");
    fs::remove(docs / "two.tex");
    fs::remove(docs / "two.sts");
    prompts->shown.clear();
    prompts->modalActions.push_back(answer(0));
    run("File11");
    EXPECT_EQ(form->DocName, "two");
    EXPECT_EQ(text(), "");
    EXPECT_EQ(prompts->ofKind("modal").size(), 1u);
    EXPECT_EQ(caption(), kPrefix + "two");
    type("again");
    run("N6");
    EXPECT_EQ(readBytes(docs / "two.tex"), "again\r\n");
}

TEST_F(FileCommands, OddNamesAndOddContent) {
    // Blanks, quotes and Russian letters in the name.
    const QString name = QStringLiteral("мой 'отчёт' \"№1\"");
    const fs::path onDisk = fs::path(doc(name + ".tex").toStdString());
    writeBytes(onDisk, "x\r\n");
    open(doc(name + ".tex"));
    EXPECT_EQ(form->DocName, name);
    EXPECT_EQ(form->windowTitle(), QString::fromStdString(kPrefix) + name);
    type("y");
    run("N6");
    EXPECT_EQ(readBytes(onDisk), "yx\r\n");
    EXPECT_TRUE(fs::exists(fs::path(doc(name + ".sts").toStdString())));

    // A lone LF breaks the line, every other byte but NUL and 0x1A (which refuse the file)
    // arrives; a 1 MB line is not cut.
    std::string binary;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != 0x1A) binary += static_cast<char>(b);
    writeBytes(docs / "bin.tex", binary + "\r\n" + std::string(990000, 'z') + "\r\n");
    open(doc("bin.tex"));
    EXPECT_TRUE(errors().empty());
    ASSERT_EQ(form->RichEdit1->LineCount(), 3);
    EXPECT_EQ(form->RichEdit1->LineLength(1),
              static_cast<int>(binary.size() - binary.find('\n') - 1));
    EXPECT_EQ(form->RichEdit1->LineLength(2), 990000);
    // Saving it runs into the limit of 65,535 characters a line: the file stays.
    form->RichEdit1->SetModified(true);
    run("N6");
    EXPECT_EQ(errors(), std::vector<std::string>{"Range check error"});
    EXPECT_EQ(readBytes(docs / "bin.tex").size(), binary.size() + 2 + 990000 + 2);
    // Without the long line every byte is written back as it was read, the lone LF as the
    // file's line end (CR LF, the most frequent).
    form->RichEdit1->SetSel(form->RichEdit1->TextLength() - 990004, 990002);
    form->RichEdit1->SetSelText("");
    run("N6");
    std::string expected = binary + "\r\n";
    expected.replace(expected.find('\n'), 1, "\r\n");
    EXPECT_EQ(readBytes(docs / "bin.tex"), expected);
}

} // namespace

TEST_F(FileCommands, Utf8DocumentsOpenAndSaveByteForByteAndRefusalsKeepTheDocument) {
    const std::string file = "\xEF\xBB\xBF\\section{Введение}\n«Текст» — №\nконец";
    writeBytes(docs / "u.tex", file);
    open(doc("u.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Utf8);
    EXPECT_EQ(caption(), kPrefix + "u [UTF-8]");
    EXPECT_EQ(text(), cp1251(u"\\section{Введение}\r\n«Текст» — №\r\nконец"));
    EXPECT_EQ(form->RichEdit1->CharsetAt(9), platform::kCyrillicCharset);
    run("N6");
    EXPECT_EQ(readBytes(docs / "u.tex"), file);
    // "Сохранить как" keeps the encoding and the layout.
    prompts->fileAnswers.push_back(doc("v.tex"));
    run("N7");
    EXPECT_EQ(readBytes(docs / "v.tex"), file);
    EXPECT_EQ(caption(), kPrefix + "v [UTF-8]");
    // Line ends of every kind, ended last lines or not, and an empty last line.
    for (const std::string other : {"xъ\ry\r", "«a»\r\n\r\n", "ъ\n\n", "\xEF\xBB\xBFъ"}) {
        writeBytes(docs / "w.tex", other);
        open(doc("w.tex"));
        run("N6");
        EXPECT_EQ(readBytes(docs / "w.tex"), other);
    }
    open(doc("v.tex"));

    // Any character of a UTF-8 file is held; UTF-16 is refused by its name and the document
    // stays.
    const std::string greek = "a\r\nугол α, ö, 😀\r\n";
    writeBytes(docs / "greek.tex", greek);
    open(doc("greek.tex"));
    EXPECT_EQ(form->RichEdit1->PlainText(), QStringLiteral("a\nугол α, ö, 😀\n"));
    run("N6");
    EXPECT_EQ(readBytes(docs / "greek.tex"), greek);
    open(doc("v.tex"));
    writeBytes(docs / "wide.tex", "\xFF\xFE\x61\x00");
    open(doc("wide.tex"));
    ASSERT_EQ(prompts->unicodeErrors.size(), 1u);
    EXPECT_TRUE(prompts->unicodeErrors[0].contains(QStringLiteral("UTF-16")));
    EXPECT_EQ(caption(), kPrefix + "v [UTF-8]");
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Utf8);
    writeBytes(docs / "c.tex", cp866(u"Текст\r\n"));
    open(doc("c.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp866);
    EXPECT_EQ(caption(), kPrefix + "c");
}

TEST_F(FileCommands, NewDocumentsTakeTheChosenEncodingAndTheTemplateItsInputEncoding) {
    writeBytes(app / "default.tex", cp866(u"\\usepackage[cp866]{inputenc}\r\n% шаблон\r\n"));
    const auto newDocument = [this](int encoding) {
        prompts->modalActions.push_back([=](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup3Item%1").arg(encoding))
                ->click();
            answer(0, true, 1)(dialog);
        });
        run("N8");
    };
    TForm2& dialog = *form->Form2;
    EXPECT_EQ(dialog.RadioGroup3->ItemIndex(), 0);
    EXPECT_GE(dialog.width(), 403); // the designed width is the least; captions may widen it

    newDocument(1);
    EXPECT_EQ(caption(), kPrefix + cp1251(u"(без имени) [UTF-8]"));
    EXPECT_EQ(text(), cp1251(u"\\usepackage[utf8]{inputenc}\r\n% шаблон\r\n"));
    form->RichEdit1->SetSel(form->RichEdit1->TextLength(), 0);
    type(cp1251(u"«Да»"));
    prompts->fileAnswers.push_back(doc("n.tex"));
    run("N6");
    // A new UTF-8 document ends its lines with LF.
    EXPECT_EQ(readBytes(docs / "n.tex"), "\\usepackage[utf8]{inputenc}\n% шаблон\n«Да»\n");

    newDocument(0);
    EXPECT_EQ(caption(), kPrefix + cp1251(u"(без имени)"));
    EXPECT_EQ(text(), cp1251(u"\\usepackage[cp866]{inputenc}\r\n% шаблон\r\n"));
    // An ASCII file declaring UTF-8 opens as UTF-8, so Russian typed later is saved so.
    writeBytes(docs / "ascii.tex", "\\usepackage[utf8]{inputenc}\r\n");
    open(doc("ascii.tex"));
    EXPECT_EQ(caption(), kPrefix + "ascii [UTF-8]");
}

// Every golden file opened and saved unchanged through the File menu gives the bytes
// beside it.
TEST_F(FileCommands, GoldenFilesSaveAsExpected) {
    for (const auto& entry : fs::directory_iterator(KOLBAX_GOLDEN_FILES)) {
        if (entry.path().extension() != ".tex") continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        fs::copy_file(entry.path(), docs / name);
        open(doc(QString::fromStdString(name)));
        form->RichEdit1->SetModified(true);
        run("N6");
        fs::path expected = entry.path();
        EXPECT_EQ(readBytes(docs / name), readBytes(expected.replace_extension(".saved")));
    }
    EXPECT_TRUE(errors().empty());
}

// "Открыть в кодировке..." reads the file again in the chosen encoding; "Сохранить в
// кодировке..." writes it in another one, its inputenc line changed, or refuses by name.
TEST_F(FileCommands, TheUserChoosesTheEncoding) {
    const auto choose = [this](int encoding, bool ok = true) {
        prompts->modalActions.push_back([=](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item%1").arg(encoding))
                ->click();
            dialog
                .findChild<QPushButton*>(ok ? QStringLiteral("Button1") : QStringLiteral("Button2"))
                ->click();
        });
    };
    // Too few letters to tell: read as CP866, then again as CP1251.
    const std::string cp1251Bytes = "\\section{\xCF\xF0\xE8\xE2\xE5\xF2}\r\n"; // Привет
    writeBytes(docs / "short.tex", cp1251Bytes);
    writeBytes(docs / "short.sts", "*\r\n0\r\n3\r\n");
    open(doc("short.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp866);
    choose(2);
    run("OpenInEncoding1");
    EXPECT_EQ(form->RichEdit1->PlainText(), QStringLiteral("\\section{Привет}\n"));
    EXPECT_EQ(caption(), kPrefix + "short [CP1251]");
    EXPECT_EQ(form->RichEdit1->SelStart(), 3);
    // A changed text is given up only when the user agrees.
    type("x");
    choose(0);
    prompts->questionAnswers = {false};
    run("OpenInEncoding1");
    EXPECT_EQ(form->RichEdit1->PlainText(), QStringLiteral("\\sexction{Привет}\n"));
    EXPECT_EQ(prompts->ofKind("question").size(), 1u);
    prompts->modalActions.clear();

    // Saved in KOI8-R with the declaration to match; a character KOI8-R lacks is refused by
    // name and nothing changes.
    form->RichEdit1->LoadRuns(
        document::viewRuns(QStringLiteral("\\usepackage[cp1251]{inputenc}\nПривет Σ\n")));
    form->RichEdit1->SetModified(true);
    choose(3);
    run("SaveInEncoding1");
    ASSERT_EQ(prompts->unicodeErrors.size(), 1u);
    EXPECT_TRUE(prompts->unicodeErrors[0].contains(QStringLiteral("«Σ» (U+03A3) в строке 2")));
    EXPECT_EQ(readBytes(docs / "short.tex"), cp1251Bytes);
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp1251);
    form->RichEdit1->SetSel(form->RichEdit1->TextLength() - 4, 2);
    form->RichEdit1->SetSelText(std::string());
    choose(3);
    run("SaveInEncoding1");
    EXPECT_EQ(readBytes(docs / "short.tex"),
              "\\usepackage[koi8-r]{inputenc}\r\n\xF0\xD2\xC9\xD7\xC5\xD4\r\n");
    EXPECT_EQ(caption(), kPrefix + "short [KOI8-R]");
    EXPECT_FALSE(form->RichEdit1->Modified());
    // The changed line is one undo step.
    form->RichEdit1->undo();
    EXPECT_TRUE(form->RichEdit1->PlainText().startsWith(QStringLiteral("\\usepackage[cp1251]")));
}

// A file that declares UTF-8 but is not is opened in what its bytes are, with a notice.
TEST_F(FileCommands, AContradictedDeclarationIsNoticed) {
    const std::string bytes =
        "\\usepackage[utf8]{inputenc}\r\n"
        "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xC5\xF9\xB8 \xF0\xE0\xE7\r\n";
    writeBytes(docs / "liar.tex", bytes);
    writeBytes(docs / "liar.sts", "*\r\n0\r\n0\r\n");
    open(doc("liar.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp1251);
    EXPECT_EQ(form->Label1->text(),
              QStringLiteral("Файл в CP1251, хотя объявлена кодировка UTF-8"));
    run("N6");
    EXPECT_EQ(readBytes(docs / "liar.tex"), bytes);
}

// A UTF-8 file declaring itself twice, saved in CP1251: both declarations say CP1251, and
// the file opens again in CP1251 without a notice.
TEST_F(FileCommands, SavingInAnotherEncodingRewritesTheMagicCommentToo) {
    const std::string file =
        "% !TeX encoding = UTF-8\n\\usepackage[utf8]{inputenc}\n\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB8\n";
    writeBytes(docs / "magic.tex", file);
    writeBytes(docs / "magic.sts", "*\r\n0\r\n0\r\n");
    open(doc("magic.tex"));
    ASSERT_EQ(form->DocEncoding, platform::TextEncoding::Utf8);
    prompts->modalActions.push_back([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item2"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    run("SaveInEncoding1");
    EXPECT_EQ(readBytes(docs / "magic.tex"),
              "% !TeX encoding = windows-1251\n\\usepackage[cp1251]{inputenc}\n\xA8\xEB\xEA\xE8\n");
    // Both changed lines are one undo step.
    form->RichEdit1->undo();
    EXPECT_TRUE(form->RichEdit1->PlainText().startsWith(QStringLiteral("% !TeX encoding = UTF-8")));
    EXPECT_TRUE(form->RichEdit1->PlainText().contains(QStringLiteral("[utf8]")));
    form->RichEdit1->SetModified(false);

    open(doc("magic.tex"));
    EXPECT_EQ(form->DocEncoding, platform::TextEncoding::Cp1251);
    EXPECT_TRUE(form->RichEdit1->PlainText().endsWith(QStringLiteral("Ёлки\n")));
    EXPECT_FALSE(form->IndicatorNoticeShown) << form->Label1->text().toStdString();
    EXPECT_TRUE(prompts->unicodeInformations.empty());
}

// A document never saved takes the line ends of the encoding it is first saved in, as the
// new-file dialog gives them: LF for UTF-8 and KOI8-R, CR LF for CP866 and CP1251.
TEST_F(FileCommands, ANeverSavedDocumentTakesTheLineEndsOfTheEncodingItIsSavedIn) {
    const struct {
        int item;
        std::string bytes;
    } cases[] = {
        {1, "a\nb\n"},
        {3, "a\nb\n"},
        {2, "a\r\nb\r\n"},
        {0, "a\r\nb\r\n"},
    };
    for (int started : {0, 1}) { // a new CP866 document, a new UTF-8 one
        for (const auto& c : cases) {
            SCOPED_TRACE(std::to_string(started) + " saved as " + std::to_string(c.item));
            prompts->modalActions.push_back([=](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup3Item%1").arg(started))
                    ->click();
                answer(0, true, 0)(dialog);
            });
            run("N8");
            loadText("a\nb");
            form->RichEdit1->SetModified(true);
            prompts->modalActions.push_back([=](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item%1").arg(c.item))
                    ->click();
                dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
            });
            const QString name = QStringLiteral("new%1%2.tex").arg(started).arg(c.item);
            prompts->fileAnswers.push_back(doc(name));
            run("SaveInEncoding1");
            EXPECT_EQ(readBytes(docs / name.toStdString()), c.bytes);
            // Saved once, the file's line ends are its own from then on.
            prompts->modalActions.push_back([](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item1"))->click();
                dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
            });
            run("SaveInEncoding1");
            EXPECT_EQ(readBytes(docs / name.toStdString()), c.bytes);
        }
    }
}

// A bibliography of several megabytes (far more than 1,000,000 characters and 65,536 lines)
// in UTF-8, CP1251 or KOI8-R opens, takes an edit and saves byte for byte; in CP866 it is
// refused at open, and a large document is not saved in CP866, which could not open it again.
TEST_F(FileCommands, MegabyteFilesBeyondCp866OpenEditAndSaveByteForByte) {
    QString bib;
    for (int i = 0; bib.size() < 2500000; ++i)
        bib += QStringLiteral("@article{ivanov%1,\n  author = {Иванов, Пётр},\n"
                              "  title = {О сходимости рядов, том %1},\n  year = {1999},\n}\n")
                   .arg(i);
    const auto bytesIn = [&](platform::TextEncoding encoding, const QString& text) {
        return std::string(
            platform::writeText(text, encoding, platform::newFileLayout(encoding)).bytes());
    };
    for (const auto encoding : {platform::TextEncoding::Utf8, platform::TextEncoding::Cp1251,
                                platform::TextEncoding::Koi8r}) {
        SCOPED_TRACE(platform::encodingOf(encoding).name);
        const std::string file = bytesIn(encoding, bib);
        writeBytes(docs / "refs.bib", file);
        writeBytes(docs / "refs.bib.sts", "*\r\n0\r\n0\r\n");
        open(doc("refs.bib"));
        ASSERT_TRUE(errors().empty()) << errors().front();
        ASSERT_EQ(form->DocEncoding, encoding);
        EXPECT_GT(form->RichEdit1->TextLength(), 2500000);
        run("N6");
        EXPECT_TRUE(readBytes(docs / "refs.bib") == file);
        // Typed at the end and in the middle, saved, and opened again as it was saved.
        form->RichEdit1->SetSel(form->RichEdit1->TextLength(), 0);
        EXPECT_TRUE(form->RichEdit1->SetSelText(QStringLiteral("% Конец\n")));
        form->RichEdit1->SetSel(1500000, 0);
        EXPECT_TRUE(form->RichEdit1->SetSelText(QStringLiteral("ё")));
        const QString edited = form->RichEdit1->PlainText();
        run("N6");
        EXPECT_TRUE(readBytes(docs / "refs.bib") == bytesIn(encoding, edited));
        run("CloseTab1");
        open(doc("refs.bib"));
        EXPECT_EQ(form->RichEdit1->PlainText(), edited);
        // Not in CP866: nothing changes, by name.
        prompts->modalActions.push_back([](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item0"))->click();
            dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
        });
        run("SaveInEncoding1");
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_NE(errors()[0].find(cp1251(u"не сохранён в кодировке CP866")), std::string::npos);
        EXPECT_EQ(form->DocEncoding, encoding);
        EXPECT_TRUE(readBytes(docs / "refs.bib") == bytesIn(encoding, edited));
        prompts->shown.clear();
        run("CloseTab1");
    }
    // CP866 keeps its limit.
    writeBytes(docs / "refs.bib", bytesIn(platform::TextEncoding::Cp866, bib));
    open(doc("refs.bib"));
    EXPECT_EQ(
        errors(),
        std::vector<std::string>{cp1251(
            u"Файл не загружен: в нём больше 1000000 символов, а редактор вмещает не больше.")});
}
