#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "processing/editor_fixture.h"
#include "processing/tform6.h"
#include "processing/tform8.h"

namespace {

const char* const kUntitled = "Не могу обрабатывать безымянный файл!";
const char* const kWait = "Сначала надо закрыть окно просмотра файда DVI";

using Args = std::vector<std::string>;

class ProcessingCommands : public EditorFixture {};

} // namespace

TEST_F(ProcessingCommands, UntitledDocumentIsRefusedBeforeAnythingElse) {
    // An open LOG viewer stays open: the refusal comes first.
    support::writeBytes(docs + "/thesis.log", "log\r\n");
    form->LOG1Click();
    ASSERT_TRUE(form->Form6->LogShown);

    form->DocName.clear();
    form->RichEdit1->setPlainText(QStringLiteral("text"));
    form->RichEdit1->SetModified(true);
    for (auto handler :
         {&TForm1::TEXDVI1Click, &TForm1::DVI1Click, &TForm1::N22Click, &TForm1::LOG1Click})
        (form->*handler)();
    EXPECT_EQ(prompts->informationTexts(), Args(4, cp1251(kUntitled)));
    EXPECT_TRUE(form->Form6->LogShown);
    EXPECT_TRUE(form->RichEdit1->Modified());
    EXPECT_EQ(form->ViewerProcess, 0);
    EXPECT_TRUE(prompts->ofKind("save").empty());
    ::usleep(100000);
    EXPECT_TRUE(standin::records(probe).empty());
}

TEST_F(ProcessingCommands, MainFileIsCompiledViewedAndPrintedByName) {
    form->TEXDVI1Click();
    auto r = nextRun();
    EXPECT_EQ(r.program, appDir + "/compiler");
    EXPECT_EQ(r.args, (Args{"-x", "thesis.tex"}));
    char real[4096];
    ASSERT_NE(::realpath(docs.c_str(), real), nullptr);
    EXPECT_EQ(r.folder, real);
    EXPECT_EQ(r.env, "from the editor");
    EXPECT_EQ(form->ViewerProcess, 0);

    form->N22Click();
    r = nextRun();
    EXPECT_EQ(r.program, appDir + "/printer");
    EXPECT_EQ(r.args, (Args{"thesis.dvi"}));
    EXPECT_EQ(form->ViewerProcess, 0);
    form->DVI1Click();
    r = nextRun();
    EXPECT_EQ(r.program, appDir + "/viewer-hold");
    EXPECT_EQ(r.args, (Args{"thesis.dvi"}));
    EXPECT_GT(form->ViewerProcess, 0);
    EXPECT_TRUE(prompts->informationTexts().empty());
}

TEST_F(ProcessingCommands, AttachedFileRunsOnItsMainFile) {
    // A file that is not a ".tex" one runs nothing by itself ...
    form->DocExt = ".bib";
    for (auto handler : {&TForm1::TEXDVI1Click, &TForm1::DVI1Click, &TForm1::N22Click})
        (form->*handler)();
    ASSERT_EQ(prompts->informationTexts().size(), 3u);
    EXPECT_NE(prompts->informationTexts()[0].find(cp1251(u"Присоедини")), std::string::npos);
    prompts->shown.clear();
    // ... and, attached, its main file, as any attached file.
    form->DocName = "chapter1";
    form->MainFile = "thesis";
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"-x", "thesis.tex"}));
    form->DocExt = ".tex";
    form->MainFile = "thesis";
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"-x", "thesis.tex"}));
    form->N22Click();
    EXPECT_EQ(nextRun().args, (Args{"thesis.dvi"}));

    // No project choice made: the name part is empty.
    form->MainFile.clear();
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"-x", ".tex"}));

    // The target is one argument whatever it holds, and never an option: a status file's
    // "-shell-escape x" reaches the compiler as the file "./-shell-escape x.tex".
    form->MainFile = "-shell-escape x";
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"-x", "./-shell-escape x.tex"}));
    form->MainFile = "*";
    form->DocName = "my thesis";
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"-x", "my thesis.tex"}));
    form->DocName = "q\"uo\"te";
    form->DVI1Click();
    EXPECT_EQ(nextRun().args, (Args{"q\"uo\"te.dvi"}));
}

TEST_F(ProcessingCommands, AChapterBelowItsMainFileRunsTheMainFileWhereItLies) {
    const QString chap = QString::fromStdString(docs) + QStringLiteral("/chap");
    QDir().mkpath(chap);
    form->DocDir = chap;
    form->DocName = "ch";
    form->MainFile = "../thesis";
    form->TEXDVI1Click();
    const auto r = nextRun();
    EXPECT_EQ(r.args, (Args{"-x", "thesis.tex"}));
    char real[4096];
    ASSERT_NE(::realpath(docs.c_str(), real), nullptr);
    EXPECT_EQ(r.folder, real);
    support::writeBytes(docs + "/thesis.log", "");
    form->LOG1Click();
    EXPECT_EQ(form->Form6->LogFileName, QString::fromStdString(docs) + "/thesis.log");
    form->Form6->close();
    EXPECT_TRUE(prompts->informationTexts().empty()) << support::describe(*prompts);
}

TEST_F(ProcessingCommands, ANameOutsideCp1251CompilesInItsOwnFolder) {
    const QString cafe = QString::fromStdString(docs) + QStringLiteral("/café");
    QDir().mkpath(cafe);
    form->DocDir = cafe;
    form->DocName = QStringLiteral("α");
    form->TEXDVI1Click();
    auto r = nextRun();
    EXPECT_EQ(r.args, (Args{"-x", "α.tex"}));
    char real[4096];
    ASSERT_NE(::realpath(cafe.toStdString().c_str(), real), nullptr);
    EXPECT_EQ(r.folder, real);
}

TEST_F(ProcessingCommands, NoShellAndNoLengthLimit) {
    // Shell characters in the name are one argument and run nothing.
    std::string hostile = "a;touch${IFS}p1|touch${IFS}p2`touch${IFS}p3`$(touch${IFS}p4)";
    form->DocName = QString::fromStdString(hostile);
    std::string option = "-opt=" + std::string(300, 'o');
    form->CompileCommand = "compiler " + option;
    form->TEXDVI1Click();
    EXPECT_EQ(nextRun().args, (Args{option, hostile + ".tex"}));
    ASSERT_TRUE(waitUntilAllReaped());
    for (const char* name : {"p1", "p2", "p3", "p4"})
        EXPECT_FALSE(QFile::exists(QString::fromStdString(docs + "/" + name))) << name;
}

TEST_F(ProcessingCommands, FailedStartShowsTheErrorCode) {
    form->CompileCommand = "no-such-compiler";
    form->TEXDVI1Click();
    // An empty command never takes the file for the program, even a runnable one.
    form->ViewCommand.clear();
    standin::install(docs + "/thesis.dvi");
    form->DVI1Click();
    // The box names the program that is missing.
    EXPECT_EQ(prompts->informationTexts(),
              (Args{cp1251("Процесс не пошел! Программа «no-such-compiler» не найдена (код "
                           "ошибки 2)"),
                    cp1251("Процесс не пошел! Команда не задана (код ошибки 2)")}));
    EXPECT_EQ(form->ViewerProcess, 0);
}

TEST_F(ProcessingCommands, ViewAndCompileWaitUntilTheViewerHasEnded) {
    form->DVI1Click();
    pid_t first = form->ViewerProcess;
    ASSERT_GT(first, 0);
    nextRun();

    // The message comes back after each dismissal while the viewer is open.
    int waits = 0;
    pid_t waitingFor = first;
    prompts->onInformation = [&](const std::string& text) {
        if (text == cp1251(kWait) && ++waits == 3) standin::release(probe, waitingFor);
    };
    form->DVI1Click();
    EXPECT_EQ(waits, 3);
    pid_t second = form->ViewerProcess;
    EXPECT_GT(second, 0);
    EXPECT_NE(second, first);
    EXPECT_EQ(nextRun().program, appDir + "/viewer-hold");

    // Compile waits the same way; afterwards no viewer is recorded.
    waits = 0;
    waitingFor = second;
    form->TEXDVI1Click();
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(form->ViewerProcess, 0);
    EXPECT_EQ(nextRun().args, (Args{"-x", "thesis.tex"}));

    // A viewer that has ended meanwhile lets the next command go on without a word.
    form->DVI1Click();
    pid_t third = form->ViewerProcess;
    nextRun();
    standin::release(probe, third);
    prompts->shown.clear();
    form->N22Click();
    EXPECT_TRUE(prompts->informationTexts().empty());
    EXPECT_EQ(form->ViewerProcess, 0);
}

TEST_F(ProcessingCommands, CompilersAndPrintersAreNeverWaitedFor) {
    form->CompileCommand = "printer-hold"; // a compiler that is still busy
    form->TEXDVI1Click();
    form->TEXDVI1Click();
    form->PrintCommand = "printer-hold";
    form->N22Click();
    EXPECT_EQ(form->ViewerProcess, 0);
    form->TEXDVI1Click();
    EXPECT_EQ(runs(4).size(), 4u);
    EXPECT_TRUE(prompts->informationTexts().empty());
}

TEST_F(ProcessingCommands, SavesOnlyAModifiedDocument) {
    form->DocName = "chapter1";
    form->MainFile = "thesis";
    form->TEXDVI1Click();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(docs + "/chapter1.tex")));
    EXPECT_FALSE(form->RichEdit1->Modified());

    form->RichEdit1->setPlainText(QStringLiteral("\\section{Введение}"));
    form->RichEdit1->SetModified(true);
    form->N22Click();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(docs + "/chapter1.tex")));
    EXPECT_FALSE(form->RichEdit1->Modified());
    nextRun();
    EXPECT_EQ(nextRun().args, (Args{"thesis.dvi"}));
}

TEST_F(ProcessingCommands, FailedSaveStartsNothing) {
    // The document's file name is taken by a folder, so saving fails.
    QDir().mkpath(QString::fromStdString(docs + "/thesis.tex"));
    form->RichEdit1->setPlainText(QStringLiteral("text"));
    form->RichEdit1->SetModified(true);
    form->Guarded([&] { form->TEXDVI1Click(); });
    EXPECT_EQ(prompts->ofKind("error").size(), 1u);
    EXPECT_TRUE(form->RichEdit1->Modified());
    ::usleep(100000);
    EXPECT_TRUE(standin::records(probe).empty());
}

TEST_F(ProcessingCommands, HundredCompileAndViewCyclesLeaveNoZombie) {
    form->ViewCommand = "compiler";                                      // a viewer closed at once
    prompts->onInformation = [](const std::string&) { ::usleep(1000); }; // the user's click
    for (int i = 0; i < 100; ++i) {
        form->TEXDVI1Click();
        form->DVI1Click();
    }
    EXPECT_EQ(runs(200).size(), 200u);
    // Nothing but the event loop runs from here: the ended programs are reaped by it.
    EXPECT_TRUE(waitUntilAllReaped());
    EXPECT_TRUE(standin::zombieChildren().empty());
    for (const std::string& text : prompts->informationTexts())
        EXPECT_EQ(text, cp1251(kWait));
}

// ----- The settings of the command lines -----

namespace {
std::string commandsFile(const std::string& appDir) {
    return support::readBytes(appDir + "/commands.set");
}
} // namespace

TEST_F(ProcessingCommands, SettingsOkWritesTheThreeLines) {
    prompts->modalActions.push_back([](QDialog& dialog) {
        auto& f8 = static_cast<TForm8&>(dialog);
        EXPECT_EQ(f8.Edit1->text(), QStringLiteral("compiler -x"));
        EXPECT_EQ(f8.Edit2->text(), QStringLiteral("viewer-hold"));
        EXPECT_EQ(f8.Edit3->text(), QStringLiteral("printer"));
        f8.Edit1->setText(QStringLiteral(" latex  -interaction=nonstopmode "));
        f8.Edit2->setText(QStringLiteral("просмотр"));
        f8.Edit3->clear();
        f8.Button1->click();
    });
    form->N39Click();
    EXPECT_EQ(form->CompileCommand, " latex  -interaction=nonstopmode ");
    EXPECT_EQ(form->ViewCommand, cp1251("просмотр"));
    EXPECT_EQ(form->PrintCommand, "");
    EXPECT_EQ(commandsFile(appDir),
              " latex  -interaction=nonstopmode \r\n" + cp1251("просмотр") + "\r\n\r\n");

    // OK without a change writes the file again.
    support::writeBytes(appDir + "/commands.set", "old");
    prompts->modalActions.push_back(
        [](QDialog& dialog) { static_cast<TForm8&>(dialog).Button1->click(); });
    form->N39Click();
    EXPECT_EQ(commandsFile(appDir),
              " latex  -interaction=nonstopmode \r\n" + cp1251("просмотр") + "\r\n\r\n");
}

TEST_F(ProcessingCommands, SettingsCancelledChangeNothing) {
    support::writeBytes(appDir + "/commands.set", "before\r\n");
    // "ОТМЕНИТЬ" after editing.
    prompts->modalActions.push_back([](QDialog& dialog) {
        auto& f8 = static_cast<TForm8&>(dialog);
        f8.Edit1->setText(QStringLiteral("changed"));
        f8.Button2->click();
    });
    form->N39Click();
    // The close box (no action: the dialog is closed by its title bar).
    form->N39Click();
    // After an earlier OK, a cancel is still a cancel.
    prompts->modalActions.push_back([](QDialog& dialog) {
        auto& f8 = static_cast<TForm8&>(dialog);
        f8.show();
        f8.close();
    });
    form->Form8->Accepted = true;
    form->N39Click();
    EXPECT_EQ(form->CompileCommand, "compiler -x");
    EXPECT_EQ(commandsFile(appDir), "before\r\n");
    EXPECT_EQ(prompts->ofKind("modal").size(), 3u);
}

TEST_F(ProcessingCommands, SettingsDialogIgnoresEnterAndEscape) {
    TForm8* f8 = form->Form8;
    EXPECT_EQ(f8->windowTitle(), QStringLiteral("Настройка команд обработки"));
    EXPECT_EQ(f8->Label1->text(), QStringLiteral("Команда компиляции TEX-файла в DVI-файл:"));
    EXPECT_EQ(f8->Label2->text(), QStringLiteral("Команда просмотра DVI-файла:"));
    EXPECT_EQ(f8->Label3->text(), QStringLiteral("Команда печати DVI-файла:"));
    EXPECT_EQ(f8->Button2->text(), QStringLiteral("ОТМЕНИТЬ"));
    // The designed sizes are the least ones.
    EXPECT_EQ(f8->Edit3->minimumSize(), QSize(401, 28));
    EXPECT_EQ(f8->Button2->minimumSize(), QSize(169, 28));
    EXPECT_GE(f8->minimumWidth(), 544);

    bool stillOpen = false;
    prompts->modalActions.push_back([&](QDialog& dialog) {
        auto& d = static_cast<TForm8&>(dialog);
        d.show();
        d.Edit2->setFocus();
        d.Edit2->setText(QStringLiteral("xdvi"));
        for (QWidget* target : {static_cast<QWidget*>(d.Edit2), static_cast<QWidget*>(d.Button1),
                                static_cast<QWidget*>(d.Button2)}) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
            QTest::keyClick(target, Qt::Key_Escape);
        }
        stillOpen = d.isVisible() && !d.Accepted;
        d.Button1->click();
    });
    form->N39Click();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(form->ViewCommand, "xdvi");
}
