// The index in the main window: reference problems marked in each open document with their
// reason, the step to the next one, and a label renamed in every file of the project, one
// undo step per file, files not open opened in tabs.
#include <QCoreApplication>
#include <gtest/gtest.h>

#include "app/document_tabs.h"
#include "platform/text_marks.h"
#include "project/project_index.h"
#include "project/reference_marks.h"
#include "support/editor.h"
#include "support/text.h"

namespace {

namespace fs = std::filesystem;

class ProjectInWindow : public ::testing::Test {
  protected:
    ProjectInWindow() {
        fs::create_directories(folder.dir / "thesis");
        // Every chapter is linked to the main file by its status file.
        write("main.tex", "*", "\\label{a}\\ref{a} \\ref{zz}\n\\input{ch}\\input{ch2}");
        write("ch.tex", "main", "\\ref{a}\n\\label{b}\\ref{b}");
        write("ch2.tex", "main", "\\ref{a}");
        editor = std::make_unique<support::Editor>(folder.dir);
        form = editor->form.get();
        prompts = editor->prompts;
        open("main.tex");
        open("ch.tex");
    }

    QString path(const char* name) const {
        return QString::fromStdString((folder.dir / "thesis" / name).string());
    }
    void write(const char* name, const char* mainFile, const char* text) {
        support::writeBytes(folder.dir / "thesis" / name, text);
        support::writeBytes((folder.dir / "thesis" / name).replace_extension(".sts"),
                            std::string(mainFile) + "\r\n1\r\n0\r\n");
    }
    void open(const char* name) {
        prompts->fileAnswers.push_back(path(name));
        editor->find("N5")->trigger();
    }
    platform::TRichEdit& control(const char* name) const {
        return form->Tabs->ControlAt(form->Tabs->IndexOfFile(path(name)));
    }
    // The snapshot made of the texts as they are, its marks shown.
    void settle() {
        form->FeedProjectIndex();
        form->ProjectIndex1->WaitForIdle();
        QCoreApplication::processEvents();
    }
    std::vector<platform::LineRange> marks(const char* name, int line) const {
        return platform::TextMarks::Of(control(name), platform::MarkLayer::References).Marks(line);
    }

    support::ProgramFolder folder;
    std::unique_ptr<support::Editor> editor;
    TForm1* form = nullptr;
    support::ScriptedPrompts* prompts = nullptr;
};

TEST_F(ProjectInWindow, ProblemsAreMarkedAndSteppedThrough) {
    settle();
    EXPECT_EQ(marks("main.tex", 0), std::vector<platform::LineRange>({{22, 2}}));
    EXPECT_EQ(project::ReferenceMarks::Of(control("main.tex")).ReasonOf(0, {22, 2}),
              QStringLiteral("Метка «zz» нигде не определена"));
    EXPECT_TRUE(marks("ch.tex", 0).empty());
    const int beeps = prompts->beeps;
    editor->find("NextReferenceProblem1")->trigger(); // in ch.tex, which has none
    EXPECT_EQ(prompts->beeps, beeps + 1);

    // A second definition of "b" in the other document marks both.
    form->Tabs->Show(form->Tabs->IndexOfFile(path("main.tex")));
    form->RichEdit1->SetSel(0, 0);
    form->RichEdit1->SetSelText(std::string_view("\\label{b}"));
    settle();
    EXPECT_EQ(marks("main.tex", 0), std::vector<platform::LineRange>({{7, 1}, {31, 2}}));
    EXPECT_EQ(marks("ch.tex", 1), std::vector<platform::LineRange>({{7, 1}}));

    form->RichEdit1->SetSel(10, 0);
    editor->find("NextReferenceProblem1")->trigger();
    EXPECT_EQ(form->RichEdit1->SelectedText(), QStringLiteral("zz"));
    editor->find("NextReferenceProblem1")->trigger(); // round from the top
    EXPECT_EQ(form->RichEdit1->SelStart(), 7);
}

TEST_F(ProjectInWindow, RenameChangesEveryFileInOneUndoStepEach) {
    settle();
    form->Tabs->Show(form->Tabs->IndexOfFile(path("main.tex")));
    form->RichEdit1->SetSel(7, 0); // in \label{a}

    prompts->inputAnswers.push_back(std::string("b"));
    editor->find("RenameLabel1")->trigger();
    ASSERT_EQ(prompts->unicodeInformations.size(), 1u);
    EXPECT_EQ(prompts->unicodeInformations[0], QStringLiteral("Метка «b» уже есть в проекте"));
    EXPECT_FALSE(control("main.tex").Modified());

    prompts->inputAnswers.push_back(support::cp1251("рис:новая"));
    editor->find("RenameLabel1")->trigger();
    EXPECT_EQ(
        control("main.tex").PlainText(),
        QStringLiteral("\\label{рис:новая}\\ref{рис:новая} \\ref{zz}\n\\input{ch}\\input{ch2}"));
    EXPECT_EQ(control("ch.tex").PlainText(),
              QStringLiteral("\\ref{рис:новая}\n\\label{b}\\ref{b}"));
    ASSERT_GE(form->Tabs->IndexOfFile(path("ch2.tex")), 0) << "opened to be renamed in";
    EXPECT_EQ(control("ch2.tex").PlainText(), QStringLiteral("\\ref{рис:новая}"));
    EXPECT_TRUE(control("ch2.tex").Modified());
    EXPECT_EQ(form->RichEdit1, &control("main.tex")) << "the document it started from is shown";
    EXPECT_EQ(support::readBytes(folder.dir / "thesis" / "ch2.tex"), "\\ref{a}") << "nothing saved";

    control("ch.tex").UndoLastStep();
    EXPECT_EQ(control("ch.tex").PlainText(), QStringLiteral("\\ref{a}\n\\label{b}\\ref{b}"));
    settle();
    EXPECT_EQ(marks("ch.tex", 0), std::vector<platform::LineRange>({{5, 1}}))
        << "the reference undone points at a label no more";
}

} // namespace
