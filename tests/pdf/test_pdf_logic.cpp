// The PDF capability's logic without a window: --line numbers and requests, the socket's
// place and the refusals around it, the SyncTeX jumps on a real pdflatex PDF, the page
// layout arithmetic, the PDF settings file and the running-time caption.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

#include "pdf/instance_channel.h"
#include "pdf/line_request.h"
#include "pdf/page_layout.h"
#include "pdf/project_files.h"
#include "pdf/synctex_index.h"
#include "pdf/tex_sample.h"
#include "processing/pdf_settings.h"

using namespace pdf;

// TeX Live's SyncTeX parser keeps a few of its buffers when it gives up on a file, and a
// name past synctex_scanner_free: the library's own leaks, which the sanitizer run of these
// tests is not about.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libsynctex.so\n";
}

TEST(LineRequest, OnlyPlainLineNumbersInRangeAreTaken) {
    EXPECT_EQ(parseLineNumber(QStringLiteral("1")), 1);
    EXPECT_EQ(parseLineNumber(QStringLiteral("0042")), 42);
    EXPECT_EQ(parseLineNumber(QStringLiteral("100000000")), kMaxLine);
    for (const char* bad :
         {"", "0", "-3", "+3", " 3", "3a", "x", "1e3", "100000001", "99999999999999999999", "٣"})
        EXPECT_FALSE(parseLineNumber(QString::fromUtf8(bad))) << bad;
    EXPECT_TRUE(lineNumberProblem(QStringLiteral("-3")).contains(QStringLiteral("«-3»")));
}

TEST(LineRequest, RoundTripsAndRefusesAnythingMalformed) {
    const LineRequest request{QStringLiteral("/home/u/диплом/глава 1.tex"), 17};
    const QByteArray bytes = encodeRequest(request);
    const auto back = decodeRequest(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->path, request.path);
    EXPECT_EQ(back->line, 17);

    for (const QByteArray& bad :
         QList<QByteArray>{QByteArray(), bytes.chopped(1), "KOLBAX-LINE 2\n17\n/a.tex\n",
                           "KOLBAX-LINE 1\n0\n/a.tex\n", "KOLBAX-LINE 1\n17\nrelative.tex\n",
                           "KOLBAX-LINE 1\n17\n/a\n/b.tex\n", "KOLBAX-LINE 1\n17\n/\xff.tex\n",
                           "KOLBAX-LINE 1\n17\n/" + QByteArray(20000, 'a') + "\n"})
        EXPECT_FALSE(decodeRequest(bad)) << bad.left(40).toStdString();
}

class Channel : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        saved = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
    }
    void TearDown() override { qputenv("XDG_RUNTIME_DIR", saved); }
    QString ownFolder() const { return QDir(runtime.path()).filePath(QStringLiteral("kolbax")); }

    QTemporaryDir runtime;
    QByteArray saved;
    const LineRequest request{QStringLiteral("/tmp/x.tex"), 3};
};

TEST_F(Channel, NoEditorListeningMeansThisOneOpensTheFile) {
    const ChannelPlace place = channelPlace();
    ASSERT_TRUE(place.problem.isEmpty()) << place.problem.toStdString();
    EXPECT_TRUE(place.socketPath.startsWith(ownFolder()));
    EXPECT_EQ(QFileInfo(ownFolder()).permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
    QString note;
    EXPECT_EQ(handOver(place, request, note), HandOver::NoneRunning);
}

TEST_F(Channel, UntrustworthyPlacesAreRefusedNeverFollowed) {
    // A runtime folder others may write.
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0777);
    EXPECT_FALSE(channelPlace().problem.isEmpty());
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);

    // The kolbax folder a link to elsewhere.
    QTemporaryDir elsewhere;
    ASSERT_TRUE(QFile::link(elsewhere.path(), ownFolder()));
    EXPECT_FALSE(channelPlace().problem.isEmpty());
    QFile::remove(ownFolder());

    // Something other than a socket where the socket goes.
    const ChannelPlace place = channelPlace();
    support::writeBytes(place.socketPath.toStdString(), "not a socket");
    QString note;
    EXPECT_EQ(handOver(place, request, note), HandOver::Refused);
    EXPECT_FALSE(note.isEmpty());
    QFile::remove(place.socketPath);

    // A folder of another user's (only root can make one to try).
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(ownFolder()).constData(), 65534, 65534), 0);
        EXPECT_TRUE(channelPlace().problem.contains(QStringLiteral("другому")));
    }

    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_FALSE(channelPlace().problem.isEmpty());
    EXPECT_EQ(handOver(channelPlace(), request, note), HandOver::Refused);
}

class SyncTex : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { sample = new pdftest::TexSample; }
    static void TearDownTestSuite() { delete sample; }
    void SetUp() override {
        if (!sample->built) GTEST_SKIP() << "pdflatex is not installed";
    }
    static pdftest::TexSample* sample;
    SyncTexIndex index;
};
pdftest::TexSample* SyncTex::sample = nullptr;

TEST_F(SyncTex, JumpsBothWaysBetweenLinesAndPages) {
    auto forward = index.forward(sample->pdf, sample->chapter, 3);
    ASSERT_TRUE(std::holds_alternative<PagePlace>(forward));
    const PagePlace place = std::get<PagePlace>(forward);
    EXPECT_EQ(place.page, 1);
    EXPECT_GT(place.box.width(), 10);

    auto back = index.inverse(sample->pdf, place.page, place.box.center());
    ASSERT_TRUE(std::holds_alternative<SourcePlace>(back));
    EXPECT_EQ(std::get<SourcePlace>(back).path, QFileInfo(sample->chapter).canonicalFilePath());
    EXPECT_EQ(std::get<SourcePlace>(back).line, 3);

    // A comment line takes the nearest line that made something.
    EXPECT_TRUE(std::holds_alternative<PagePlace>(index.forward(sample->pdf, sample->main, 8)));
    EXPECT_EQ(std::get<SyncProblem>(index.forward(sample->pdf, sample->main + "x", 1)),
              SyncProblem::NotInSource);
    EXPECT_EQ(std::get<SyncProblem>(index.inverse(sample->pdf, 7, {100, 100})),
              SyncProblem::NothingThere);
}

TEST_F(SyncTex, MissingStaleCorruptOrOrphanedFilesGiveANote) {
    const QString gz = QDir(sample->dir.path()).filePath(QStringLiteral("thesis.synctex.gz"));
    const std::string good = support::readBytes(gz.toStdString());
    const auto problem = [&] {
        SyncTexIndex fresh;
        auto result = fresh.forward(sample->pdf, sample->chapter, 3);
        return std::holds_alternative<SyncProblem>(result) ? std::get<SyncProblem>(result)
                                                           : SyncProblem::NotInSource;
    };
    // Corrupt: random bytes, a gzip cut short, an empty file.
    for (const std::string& bad :
         {std::string("\x1f\x8b garbage", 11), good.substr(0, 200), std::string()}) {
        support::writeBytes(gz.toStdString(), bad);
        EXPECT_EQ(problem(), SyncProblem::Unreadable);
    }
    QFile::remove(gz);
    EXPECT_EQ(problem(), SyncProblem::NoSyncTex);
    // Left behind by an earlier compile.
    support::writeBytes(gz.toStdString(), good);
    const QDateTime made = QFileInfo(sample->pdf).lastModified();
    QFile pdf(sample->pdf);
    ASSERT_TRUE(pdf.open(QIODevice::ReadWrite));
    pdf.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    pdf.close();
    EXPECT_EQ(problem(), SyncProblem::Stale);
    pdf.open(QIODevice::ReadWrite);
    pdf.setFileTime(made, QFileDevice::FileModificationTime);
    pdf.close();
    // The source file it names has gone.
    const std::string chapter = support::readBytes(sample->chapter.toStdString());
    QFile::remove(sample->chapter);
    SyncTexIndex fresh;
    auto forward = fresh.forward(sample->pdf, sample->main, 6);
    ASSERT_TRUE(std::holds_alternative<PagePlace>(forward));
    auto gone = fresh.inverse(
        sample->pdf, 1,
        std::get<PagePlace>(fresh.forward(sample->pdf, sample->chapter, 3)).box.center());
    support::writeBytes(sample->chapter.toStdString(), chapter);
    EXPECT_EQ(std::get<SyncProblem>(gone), SyncProblem::SourceGone);
    EXPECT_TRUE(problemNote(SyncProblem::SourceGone, QStringLiteral("chapter.tex"))
                    .contains(QStringLiteral("chapter.tex")));
    EXPECT_EQ(std::get<SyncProblem>(fresh.forward(sample->pdf + ".none", sample->main, 1)),
              SyncProblem::NoPdf);
}

// A SyncTeX file is only a file on disk: the names it holds lead only into the project, and
// a source changed since the compile has no lines there.
TEST_F(SyncTex, JumpsLeadOnlyIntoTheProjectAndOnlyFromTheTextThatMadeThePdf) {
    pdftest::TexSample own;
    ASSERT_TRUE(own.built);
    const QDir dir(own.dir.path());
    SyncTexIndex first;
    const QPointF chapterPlace =
        std::get<PagePlace>(first.forward(own.pdf, own.chapter, 3)).box.center();

    // The chapter changed after the compile: on both sides, the PDF is older than the text.
    QFile chapter(own.chapter);
    ASSERT_TRUE(chapter.open(QIODevice::ReadWrite));
    chapter.setFileTime(QDateTime::currentDateTime().addSecs(60),
                        QFileDevice::FileModificationTime);
    chapter.close();
    EXPECT_EQ(std::get<SyncProblem>(first.forward(own.pdf, own.chapter, 3)),
              SyncProblem::OlderThanText);
    EXPECT_EQ(std::get<SyncProblem>(first.inverse(own.pdf, 1, chapterPlace)),
              SyncProblem::OlderThanText);
    EXPECT_EQ(first.lastMissingSource(), QFileInfo(own.chapter).canonicalFilePath());
    EXPECT_TRUE(problemNote(SyncProblem::OlderThanText).contains(QStringLiteral("старше")));
    ASSERT_TRUE(chapter.open(QIODevice::ReadWrite));
    chapter.setFileTime(QFileInfo(own.pdf).lastModified().addSecs(-5),
                        QFileDevice::FileModificationTime);
    chapter.close();

    // The chapter's name in the SyncTeX file replaced by another file's.
    const auto forged = [&](const QByteArray& name) {
        EXPECT_TRUE(pdftest::forgeSyncTexInput(own.pdf, "chapter.tex", name));
        SyncTexIndex index;
        return index.inverse(own.pdf, 1, chapterPlace);
    };
    ASSERT_TRUE(std::holds_alternative<SourcePlace>(forged(QFile::encodeName(own.chapter))));
    EXPECT_EQ(std::get<SyncProblem>(forged("/etc/passwd")), SyncProblem::NotOfProject);
    EXPECT_EQ(std::get<SyncProblem>(forged("./../../../../../../../etc/passwd")),
              SyncProblem::NotOfProject);
    EXPECT_EQ(std::get<SyncProblem>(forged("/nowhere/at/all.tex")), SyncProblem::SourceGone);
    // A link inside the folder that leads outside it is outside.
    ASSERT_TRUE(QFile::link(QStringLiteral("/etc/passwd"), dir.filePath("inside.tex")));
    EXPECT_EQ(std::get<SyncProblem>(forged(QFile::encodeName(dir.filePath("inside.tex")))),
              SyncProblem::NotOfProject);
    // A file below the main file's folder belongs to it.
    dir.mkpath(QStringLiteral("chap"));
    support::writeBytes(dir.filePath("chap/ch.tex").toStdString(), "Глава.\n\nВторая.\n");
    QFile moved(dir.filePath("chap/ch.tex"));
    moved.open(QIODevice::ReadWrite);
    moved.setFileTime(QFileInfo(own.pdf).lastModified().addSecs(-5),
                      QFileDevice::FileModificationTime);
    EXPECT_TRUE(std::holds_alternative<SourcePlace>(forged("./chap/ch.tex")));
}

TEST(ProjectFiles, TheMainFileReachesItsInputsWhereverTheyLie) {
    QTemporaryDir root;
    const QDir dir(root.path());
    dir.mkpath(QStringLiteral("thesis/chap"));
    dir.mkpath(QStringLiteral("common"));
    const auto write = [&](const char* name, const char* text) {
        support::writeBytes(dir.filePath(QLatin1String(name)).toStdString(), text);
    };
    write("thesis/main.tex", "\\input{../common/preamble}\n"
                             "\\include{chap/one}% \\input{../common/commented}\n"
                             "%\\input{../common/commented}\n"
                             "\\input ../common/bare.tex\n"
                             "\\subimport{../common/}{imported}\n"
                             "\\inputencoding{cp1251}\n");
    write("thesis/chap/one.tex", "\\input{../common/deeper}\n\\input{chap/one}\n");
    for (const char* name : {"common/preamble.tex", "common/commented.tex", "common/bare.tex",
                             "common/imported.tex", "common/deeper.tex", "common/stray.tex"})
        write(name, "x\n");
    const QString main = dir.filePath(QStringLiteral("thesis/main.tex"));
    QStringList reached;
    for (const QString& path : reachedFiles(main))
        reached << QDir(root.path()).relativeFilePath(path);
    reached.sort();
    EXPECT_EQ(reached, (QStringList{"common/bare.tex", "common/deeper.tex", "common/imported.tex",
                                    "common/preamble.tex", "thesis/chap/one.tex"}));
    EXPECT_TRUE(inProject(main, dir.filePath(QStringLiteral("thesis/chap/one.tex"))));
    EXPECT_TRUE(inProject(main, dir.filePath(QStringLiteral("common/deeper.tex"))));
    EXPECT_FALSE(inProject(main, dir.filePath(QStringLiteral("common/stray.tex"))));
    EXPECT_FALSE(inProject(main, dir.filePath(QStringLiteral("common/commented.tex"))));
    EXPECT_FALSE(inProject(main, QStringLiteral("/etc/passwd")));
    // A folder whose name only begins like the project's is not inside it.
    dir.mkpath(QStringLiteral("thesis2"));
    write("thesis2/x.tex", "x\n");
    EXPECT_FALSE(inProject(main, dir.filePath(QStringLiteral("thesis2/x.tex"))));
}

TEST(PageLayout, PagesRunDownCentredAndPointsMapBothWays) {
    LayoutInput input;
    input.pagePoints = {{600, 800}, {600, 800}, {300, 400}};
    input.zoom = Zoom::FitWidth;
    input.viewport = QSize(612, 500);
    const PageLayout layout(input);
    ASSERT_EQ(layout.pages().size(), 3u);
    EXPECT_EQ(layout.pages()[0], QRect(6, 6, 600, 800));
    EXPECT_EQ(layout.pages()[1].top(), 6 + 800 + 3);
    EXPECT_EQ(layout.pages()[2].width(), 600); // each page fits the width by itself

    const QRect area = layout.toArea(1, QRectF(100, 200, 50, 10));
    const auto hit = layout.pageAt(area.center());
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->first, 1);
    EXPECT_NEAR(hit->second.x(), 125, 1.5);
    EXPECT_NEAR(hit->second.y(), 205, 1.5);
    EXPECT_FALSE(layout.pageAt(QPoint(300, 6 + 800 + 1))); // the gap between pages
    EXPECT_FALSE(layout.pageAt(QPoint(2, 100)));           // the margin

    input.zoom = Zoom::Custom;
    input.zoomFactor = 0.5;
    EXPECT_EQ(PageLayout(input).pages()[0], QRect(156, 6, 300, 400)); // centred in the view
    input.zoom = Zoom::FitPage;
    EXPECT_EQ(PageLayout(input).pages()[0].height(), 497);
}

TEST(PdfSettings, ReadsWhatItWritesAndDefaultsWhatIsMissing) {
    const state::PdfOutput none = processing::parsePdfSettings("");
    EXPECT_EQ(none.kind, state::OutputKind::Dvi);
    EXPECT_EQ(none.compileCommand, "pdflatex -synctex=1 -interaction=nonstopmode");
    EXPECT_EQ(none.viewCommand, "xdg-open");

    // An engine without a line of its own runs with its usual options.
    const state::PdfOutput chosen =
        processing::parsePdfSettings("output=pdf\r\nengine=lualatex\r\nlatexmk=yes\r\n"
                                     "engine=unknown\r\nfuture=1\r\n");
    EXPECT_EQ(chosen.kind, state::OutputKind::Pdf);
    EXPECT_EQ(chosen.engine, state::PdfEngine::Lualatex);
    EXPECT_EQ(chosen.compileCommand, "latexmk -pdflua -synctex=1 -interaction=nonstopmode");

    state::PdfOutput edited = chosen;
    edited.viewCommand = support::cp1251("zathura --fork \"мой файл\"");
    edited.printCommand = "lp -d office\r\nrm -rf x";
    const std::string bytes = processing::pdfSettingsBytes(edited);
    EXPECT_NE(bytes.find("мой файл"), std::string::npos); // stored in UTF-8
    const state::PdfOutput back = processing::parsePdfSettings(bytes);
    EXPECT_EQ(back.viewCommand, edited.viewCommand);
    EXPECT_EQ(back.printCommand, "lp -d office  rm -rf x"); // one line, never two
    EXPECT_EQ(back.compileCommand, edited.compileCommand);
    EXPECT_EQ(back.latexmk, true);
}
