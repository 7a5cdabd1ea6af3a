// Compile, view and print in PDF mode: the compile runs beside the editor, its running
// time in the caption; "Остановить компиляцию" ends it; a second compile replaces the
// first; view and print act on the PDF without waiting for a viewer.
#include <QAction>
#include <QLabel>
#include <QStandardPaths>
#include <QTest>

#include "pdf/pdf_pane.h"
#include "processing/editor_fixture.h"
#include "processing/pdf_compile.h"

namespace {

class PdfMode : public EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        standin::install(appDir + "/compiler-hold");
        form->Pdf.kind = state::OutputKind::Pdf;
        form->Pdf.compileCommand = "compiler-hold -synctex=1";
        form->Pdf.viewCommand = "viewer-hold";
        form->Pdf.printCommand = "printer";
    }
    bool waitUntilEnded() {
        for (int i = 0; i < 1000 && form->PdfCompile1->running(); ++i)
            QTest::qWait(10);
        return !form->PdfCompile1->running();
    }
    QAction* item(const char* name) { return editor->find(name); }
};

TEST_F(PdfMode, CompileRunsBesideTheEditorIsReplacedAndStops) {
    item("TEXDVI1")->trigger();
    const standin::Record first = nextRun();
    EXPECT_EQ(first.args, (std::vector<std::string>{"-synctex=1", "thesis.tex"}));
    EXPECT_TRUE(form->PdfCompile1->running());
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("компиляция PDF")));
    EXPECT_TRUE(item("StopCompile1")->isEnabled());

    // The second compile stops the first and starts once it has ended.
    item("TEXDVI1")->trigger();
    for (int i = 0; i < 1000 && standin::records(probe).size() < 2; ++i)
        QTest::qWait(10);
    const standin::Record second = nextRun();
    EXPECT_EQ(second.args, first.args);
    EXPECT_TRUE(form->PdfCompile1->running());

    item("StopCompile1")->trigger();
    ASSERT_TRUE(waitUntilEnded());
    EXPECT_FALSE(form->windowTitle().contains(QStringLiteral("компиляция")));
    EXPECT_FALSE(item("StopCompile1")->isEnabled());
    EXPECT_TRUE(form->PdfPane1->note().contains(QStringLiteral("остановлена")));
    EXPECT_TRUE(prompts->informationTexts().empty()) << support::describe(*prompts);
}

TEST_F(PdfMode, ViewAndPrintActOnThePdfAndNeverWaitForTheViewer) {
    item("DVI1")->trigger();
    EXPECT_EQ(nextRun().args, std::vector<std::string>{"thesis.pdf"});
    item("DVI1")->trigger(); // the first viewer still runs: no "close the viewer first"
    EXPECT_EQ(nextRun().args, std::vector<std::string>{"thesis.pdf"});
    item("N22")->trigger();
    EXPECT_EQ(nextRun().args, std::vector<std::string>{"thesis.pdf"});
    EXPECT_TRUE(prompts->informationTexts().empty()) << support::describe(*prompts);
    EXPECT_EQ(form->ViewerProcess, 0);
}

// Every compile that gives no new PDF says why under the text, where the counts show, with
// the PDF pane hidden: the program by name, no pages, the engine missing behind latexmk.
TEST_F(PdfMode, ACompileWithoutANewPdfSaysWhyUnderTheText) {
    const auto compiled = [&](const std::string& command) {
        form->Pdf.compileCommand = command;
        item("TEXDVI1")->trigger();
        EXPECT_TRUE(waitUntilEnded());
        return form->Label1->text();
    };
    EXPECT_FALSE(form->PdfPane1->isVisible());
    // A program that ends well and writes nothing.
    EXPECT_TRUE(
        compiled("compiler -synctex=1")
            .contains(QStringLiteral("PDF не получен: «compiler» закончил работу, не записав PDF")))
        << form->Label1->text().toStdString();

    if (QStandardPaths::findExecutable(QStringLiteral("pdflatex")).isEmpty())
        GTEST_SKIP() << "pdflatex is not installed";
    support::writeBytes(docs + "/thesis.tex", "\\documentclass{article}\n"
                                              "\\begin{document}\n\\end{document}\n");
    // An earlier PDF beside it is not taken for this compile's.
    support::writeBytes(docs + "/thesis.pdf", "%PDF-1.4 an earlier one\n");
    const QString noPages = compiled("pdflatex -synctex=1 -interaction=nonstopmode");
    EXPECT_TRUE(noPages.contains(QStringLiteral("Ошибок: 0")) &&
                noPages.contains(QStringLiteral("в документе нет ни одной страницы")))
        << noPages.toStdString();
    EXPECT_FALSE(form->PdfPane1->hasDocument());

    if (QStandardPaths::findExecutable(QStringLiteral("latexmk")).isEmpty())
        GTEST_SKIP() << "latexmk is not installed";
    QFile::remove(QString::fromStdString(docs + "/thesis.pdf"));
    const QString missing =
        compiled("latexmk -pdf \"-pdflatex=no-such-engine %O %S\" -interaction=nonstopmode");
    EXPECT_TRUE(missing.contains(
        QStringLiteral("нет программы «no-such-engine», которую запускает «latexmk»")))
        << missing.toStdString();
    EXPECT_TRUE(prompts->informationTexts().empty()) << support::describe(*prompts);
}

} // namespace
