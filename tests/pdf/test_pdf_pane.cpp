// The PDF pane and the PDF commands in a window: bad files never replace a good one, the
// pane's idea of where the pages lie is the view's own, a reload keeps the place, and the
// commands reach the editor (Ctrl+click, "Найти в PDF", --line, compile and stop).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QLabel>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <atomic>
#include <thread>

#include "pdf/instance_server.h"
#include "pdf/line_request.h"
#include "pdf/page_view.h"
#include "pdf/pdf_pane.h"
#include "pdf/synctex_index.h"
#include "pdf/tex_sample.h"
#include "processing/pdf_compile.h"
#include "processing/pdf_settings.h"
#include "support/editor.h"

using pdf::PdfPane;

namespace {

// A PDF of pages, each with a black bar at its top left.
QByteArray writtenPdf(int pages) {
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    QPdfWriter writer(&out);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0) writer.newPage();
        painter.fillRect(QRect(0, 0, 2000, 500), Qt::black);
    }
    painter.end();
    return out.data();
}

// A PDF of objects by hand, its cross-reference table counted here.
QByteArray handMadePdf(const QList<QByteArray>& objects, const QByteArray& trailerExtra = {}) {
    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R " +
           trailerExtra + ">>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

class Pane : public ::testing::Test {
  protected:
    void SetUp() override {
        pane.resize(500, 600);
        pane.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    }
    QString file(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QLatin1String(name));
        support::writeBytes(path.toStdString(), bytes.toStdString());
        return path;
    }
    QTemporaryDir dir;
    PdfPane pane;
};

} // namespace

TEST_F(Pane, BadFilesNeverReplaceTheGoodOne) {
    ASSERT_TRUE(pane.load(file("good.pdf", writtenPdf(3))));
    EXPECT_EQ(pane.pageCount(), 3);
    EXPECT_TRUE(pane.note().isEmpty());
    const QByteArray good = writtenPdf(3);
    const QByteArray catalog = "<< /Type /Catalog /Pages 2 0 R >>";
    const struct {
        const char* name;
        QByteArray bytes;
    } bad[] = {
        {"empty.pdf", {}},
        {"text.pdf", "This is no PDF at all\n"},
        {"truncated.pdf", good.left(good.size() / 3)},
        {"nopages.pdf", handMadePdf({catalog, "<< /Type /Pages /Kids [] /Count 0 >>"})},
        {"huge.pdf", handMadePdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                  "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 20000 300] >>"})},
        {"locked.pdf",
         handMadePdf({catalog, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 600 800] >>",
                      "<< /Filter /Standard /V 2 /R 3 /Length 128 /P -4 /O <" +
                          QByteArray(64, 'a') + "> /U <" + QByteArray(64, 'b') + "> >>"},
                     "/Encrypt 4 0 R /ID [<0123456789abcdef0123456789abcdef> "
                     "<0123456789abcdef0123456789abcdef>] ")},
    };
    for (const auto& [name, bytes] : bad) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(pane.load(file(name, bytes)));
        EXPECT_TRUE(pane.note().contains(QStringLiteral("прежний"))) << pane.note().toStdString();
        EXPECT_EQ(pane.pageCount(), 3);
        QApplication::processEvents();
    }
    EXPECT_TRUE(pane.note().contains(QStringLiteral("паролем"))) << pane.note().toStdString();
    EXPECT_FALSE(pane.load(dir.filePath(QStringLiteral("none.pdf"))));
    EXPECT_TRUE(pane.load(file("good.pdf", good)));
    EXPECT_TRUE(pane.note().isEmpty());
}

TEST_F(Pane, LocatesPagesWhereTheViewDrawsThemAndKeepsThePlaceOnReload) {
    const QString path = file("doc.pdf", writtenPdf(4));
    ASSERT_TRUE(pane.load(path));
    pdf::PageView& view = *pane.View1;
    for (pdf::Zoom zoom : {pdf::Zoom::FitWidth, pdf::Zoom::FitPage}) {
        view.setZoom(zoom);
        QTest::qWait(200); // the first page is rendered
        const QImage shot = view.viewport()->grab().toImage();
        const QRect page = view.layout().pages()[0];
        // The page's white ends where the layout says, at both sides.
        EXPECT_EQ(shot.pixelColor(page.topRight() + QPoint(-2, 3)), QColor(Qt::white));
        EXPECT_NE(shot.pixelColor(page.topRight() + QPoint(2, 3)), QColor(Qt::white));
        EXPECT_EQ(shot.pixelColor(page.topLeft() + QPoint(2, page.height() / 2)),
                  QColor(Qt::white));
        EXPECT_NE(shot.pixelColor(page.topLeft() + QPoint(-2, page.height() / 2)),
                  QColor(Qt::white));
    }
    view.setZoom(pdf::Zoom::FitWidth);
    view.zoomBy(1.5);
    view.verticalScrollBar()->setValue(1234);
    const double zoom = view.effectiveZoom();
    ASSERT_TRUE(pane.load(path));
    EXPECT_EQ(view.verticalScrollBar()->value(), 1234);
    EXPECT_DOUBLE_EQ(view.effectiveZoom(), zoom);

    // Ctrl+click on page 2 reports page 2 and the place in points.
    std::pair<int, QPointF> clicked{-1, {}};
    pane.onPlaceClicked = [&](int page, QPointF point) { clicked = {page, point}; };
    const QRect second = view.layout().toArea(1, QRectF(100, 50, 10, 10));
    view.verticalScrollBar()->setValue(second.top() - 100);
    const QPoint at = second.center() - QPoint(view.horizontalScrollBar()->value(),
                                               view.verticalScrollBar()->value());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    EXPECT_EQ(clicked.first, 1);
    EXPECT_NEAR(clicked.second.x(), 105, 2);
    EXPECT_NEAR(clicked.second.y(), 55, 2);
}

// The commands in a whole window, with a PDF pdflatex made.
class PdfCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!sample.built) GTEST_SKIP() << "pdflatex is not installed";
        form.show();
        form.OpenDocument(sample.main);
        ASSERT_EQ(form.DocName, QStringLiteral("thesis"));
        form.MainFile = QStringLiteral("*");
    }
    pdftest::TexSample sample;
    support::Editor editor;
    TForm1& form = *editor.form;
};

TEST_F(PdfCommands, FindInPdfShowsThePageAndCtrlClickComesBack) {
    editor.find("PDF1")->trigger();
    ASSERT_TRUE(form.PdfPane1->isVisible());
    EXPECT_EQ(form.PdfPane1->pageCount(), 2);

    // The caret on the chapter's line: its file opens, as "Открыть" opens one.
    pdf::LineRequest request{sample.chapter, 3};
    form.OpenAtLine(request);
    EXPECT_EQ(form.DocName, QStringLiteral("chapter"));
    EXPECT_EQ(form.RichEdit1->CaretLine(), 2);
    editor.find("FindInPdf1")->trigger();
    QTest::qWait(50);
    EXPECT_EQ(form.PdfPane1->currentPage(), 1);
    EXPECT_FALSE(form.PdfPane1->View1->markedArea().isEmpty());

    // Ctrl+click on page 1's text: the main file at line 6.
    form.PdfPane1PlaceClicked(0, QPointF(150, 135));
    EXPECT_EQ(form.DocName, QStringLiteral("thesis"));
    EXPECT_EQ(form.RichEdit1->CaretLine(), 5);

    // Without a SyncTeX file: a note, and nothing moves.
    QFile::remove(QDir(sample.dir.path()).filePath(QStringLiteral("thesis.synctex.gz")));
    form.PdfPane1PlaceClicked(0, QPointF(150, 135));
    EXPECT_EQ(form.DocName, QStringLiteral("thesis"));
    EXPECT_TRUE(form.Label1->text().contains(QStringLiteral("SyncTeX")));

    editor.find("PDF1")->trigger();
    EXPECT_FALSE(form.PdfPane1->isVisible());
    EXPECT_FALSE(editor.find("PDF1")->isChecked());
}

// What a Ctrl+click says when the SyncTeX file leads outside the project or nowhere, and
// "Найти в PDF" on text typed since the compile.
TEST_F(PdfCommands, JumpsOutsideTheProjectOrToNothingSaySoAndOpenNothing) {
    editor.find("PDF1")->trigger();
    const QPointF chapterPlace(150, 135); // page 2: the chapter's text
    form.PdfPane1PlaceClicked(1, chapterPlace);
    ASSERT_EQ(form.DocName, QStringLiteral("chapter"));
    form.OpenAtLine({sample.main, 6});
    ASSERT_EQ(form.DocName, QStringLiteral("thesis"));

    ASSERT_TRUE(pdftest::forgeSyncTexInput(sample.pdf, "chapter.tex", "/etc/passwd"));
    form.PdfPane1PlaceClicked(1, chapterPlace);
    EXPECT_EQ(form.DocName, QStringLiteral("thesis"));
    EXPECT_TRUE(form.Label1->text().contains(QStringLiteral("«/etc/passwd» не из этого проекта")))
        << form.Label1->text().toStdString();

    ASSERT_TRUE(pdftest::forgeSyncTexInput(sample.pdf, "chapter.tex", "./gone.tex"));
    form.PdfPane1PlaceClicked(1, chapterPlace);
    EXPECT_EQ(form.DocName, QStringLiteral("thesis"));
    EXPECT_TRUE(form.Label1->text().contains(QStringLiteral("«gone.tex» нет")))
        << form.Label1->text().toStdString();

    // Typed after the compile: the PDF is older than the text, and the view stays.
    form.RichEdit1->SetSelText("x");
    form.RichEdit1->SetModified(true);
    const int page = form.PdfPane1->currentPage();
    editor.find("FindInPdf1")->trigger();
    EXPECT_TRUE(form.Label1->text().contains(QStringLiteral("PDF старше текста")))
        << form.Label1->text().toStdString();
    EXPECT_EQ(form.PdfPane1->currentPage(), page);
    form.RichEdit1->SetModified(false);
}

// A real multi-file Russian thesis (main file at the top, chapters in chap/, packages from
// texlive-latex-extra, texlive-pictures and texlive-science) compiled with latexmk from a
// chapter, as a user works: the chapter reaches its main file, the PDF comes up, and the
// jumps go both ways without asking again which file is the main one.
TEST(Thesis, AChapterInItsFolderCompilesTheThesisAndJumpsBothWays) {
    for (const char* needed : {"totcount.sty", "cleveref.sty", "pgfplots.sty", "siunitx.sty"}) {
        QProcess which;
        which.start(QStringLiteral("kpsewhich"), {QLatin1String(needed)});
        if (!which.waitForFinished() || which.readAllStandardOutput().trimmed().isEmpty())
            GTEST_SKIP() << needed << " is not installed (scripts/setup.sh installs it)";
    }
    if (QStandardPaths::findExecutable(QStringLiteral("latexmk")).isEmpty())
        GTEST_SKIP() << "latexmk is not installed";
    QTemporaryDir root;
    const QDir dir(root.path());
    for (const char* name : {"main.tex", "chap/theory.tex", "chap/experiment.tex"}) {
        dir.mkpath(QStringLiteral("chap"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(KOLBAX_THESIS "/") + QLatin1String(name),
                                dir.filePath(QLatin1String(name))));
    }
    const QString chapter = dir.filePath(QStringLiteral("chap/experiment.tex"));
    const QString main = dir.filePath(QStringLiteral("main.tex"));

    support::Editor editor;
    TForm1& form = *editor.form;
    form.show();
    form.Pdf.kind = state::OutputKind::Pdf;
    form.Pdf.compileCommand =
        processing::defaultPdfCompileCommand(state::PdfEngine::Pdflatex, true);

    // The chapter opened for the first time: attached to ../main.tex, picked in the dialog.
    editor.prompts->fileAnswers.push_back(main);
    editor.prompts->modalActions.push_back([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item1"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    form.OpenDocument(chapter);
    ASSERT_EQ(form.MainFile, QStringLiteral("../main"));

    editor.find("TEXDVI1")->trigger();
    for (int i = 0; i < 60000 && form.PdfCompile1->running(); ++i)
        QTest::qWait(10);
    ASSERT_FALSE(form.PdfCompile1->running());
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("main.pdf"))).isFile());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("chap/texput.log"))));
    ASSERT_TRUE(form.PdfPane1->isVisible()) << form.Label1->text().toStdString();
    EXPECT_GE(form.PdfPane1->pageCount(), 4);

    // The chapter's last line, found in the PDF, and a Ctrl+click there comes back to it.
    form.CaretToLine(15);
    editor.find("FindInPdf1")->trigger();
    QTest::qWait(50);
    const QRect marked = form.PdfPane1->View1->markedArea();
    ASSERT_FALSE(marked.isEmpty()) << form.Label1->text().toStdString();
    const int chapterPage = form.PdfPane1->currentPage();

    // Into the main file (asked once: it has no status file yet), and back into the
    // chapter, whose answer was kept when it was given: nothing is asked.
    editor.prompts->modalActions.push_back([](QDialog& dialog) {
        dialog.findChild<QRadioButton*>(QStringLiteral("RadioGroup1Item0"))->click();
        dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    });
    form.PdfPane1PlaceClicked(0, QPointF(300, 300));
    EXPECT_EQ(form.DocName, QStringLiteral("main")) << form.Label1->text().toStdString();
    EXPECT_EQ(form.MainFile, QStringLiteral("*"));
    editor.prompts->shown.clear();
    pdf::SyncTexIndex index;
    const auto place = index.forward(dir.filePath(QStringLiteral("main.pdf")), chapter, 15);
    ASSERT_TRUE(std::holds_alternative<pdf::PagePlace>(place));
    EXPECT_EQ(std::get<pdf::PagePlace>(place).page, chapterPage);
    form.PdfPane1PlaceClicked(chapterPage, std::get<pdf::PagePlace>(place).box.center());
    EXPECT_EQ(form.DocName, QStringLiteral("experiment"));
    EXPECT_EQ(form.RichEdit1->CaretLine(), 14);
    EXPECT_EQ(form.MainFile, QStringLiteral("../main"));
    EXPECT_TRUE(editor.prompts->ofKind("modal").empty()) << support::describe(*editor.prompts);
}

TEST(PdfCompileCaption, ShowsTheRunningTimeOnceAndDropsIt) {
    const QString caption = QStringLiteral("KolBAX (ver.0.3beta): thesis");
    const QString running = processing::captionWithRunTime(caption, 3);
    EXPECT_TRUE(running.startsWith(caption));
    EXPECT_TRUE(running.contains(QStringLiteral("3 с")));
    EXPECT_EQ(processing::captionWithRunTime(running, 4),
              processing::captionWithRunTime(caption, 4));
    EXPECT_EQ(processing::captionWithRunTime(running, -1), caption);
}

TEST(InstanceServer, AFloodOfRequestsIsServedOneAtATimeAndJunkIsDropped) {
    QTemporaryDir runtime;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const pdf::ChannelPlace place = pdf::channelPlace();
    pdf::InstanceServer server;
    ASSERT_TRUE(server.listen(place)) << server.problem().toStdString();
    // A second editor on the same display leaves the socket to the first.
    pdf::InstanceServer second;
    EXPECT_FALSE(second.listen(place));

    int handled = 0, depth = 0, deepest = 0;
    server.onRequest = [&](const pdf::LineRequest& request) {
        ++handled;
        deepest = std::max(deepest, ++depth);
        EXPECT_EQ(request.path, QStringLiteral("/tmp/x.tex"));
        QTest::qWait(5); // a save question's own event loop
        --depth;
    };
    std::atomic<int> delivered = 0;
    std::vector<std::thread> clients;
    for (int i = 0; i < 60; ++i)
        clients.emplace_back([&, i] {
            QString note;
            if (pdf::handOver(place, {QStringLiteral("/tmp/x.tex"), i + 1}, note, 5000) ==
                pdf::HandOver::Delivered)
                ++delivered;
        });
    // Junk: too long, and never finished.
    std::thread junk([&] {
        QString note;
        pdf::handOver(place, {QStringLiteral("/") + QString(20000, QLatin1Char('a')), 1}, note);
    });
    for (int i = 0; i < 500 && delivered + 0 < 60; ++i)
        QTest::qWait(10);
    for (std::thread& client : clients)
        client.join();
    junk.join();
    EXPECT_GT(delivered.load(), 0);
    EXPECT_LE(handled, delivered.load());
    EXPECT_EQ(deepest, 1);
    qputenv("XDG_RUNTIME_DIR", saved);
}
