// A project on disk as the index reads it: the tree of files, the .bib entries, the problems
// of the references, and the renaming plan.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "project/bib_reader.h"
#include "project/label_rename.h"
#include "project/project_files.h"
#include "project/project_index.h"
#include "project/snapshot_builder.h"
#include "support/text.h"

namespace project {
namespace {

class ProjectOnDisk : public ::testing::Test {
  protected:
    QString path(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    void write(const QString& name, const std::string& bytes) const {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        support::writeBytes(path(name).toStdString(), bytes);
    }
    SnapshotPtr build(const LiveTexts& live = {}) {
        return builder_.build(normalPath(path("main.tex")), live);
    }
    static QStringList fileNames(const Snapshot& s) {
        QStringList names;
        for (const FileIndex& f : s.files)
            names << QFileInfo(f.path).fileName() + (f.note.isEmpty() ? "" : " (" + f.note + ")");
        return names;
    }
    static QStringList reasons(const Snapshot& s) {
        QStringList all;
        for (const Problem& p : s.problems)
            all << QStringLiteral("%1:%2 %3")
                       .arg(QFileInfo(s.files[p.at.file].path).fileName())
                       .arg(p.at.line)
                       .arg(p.reason);
        return all;
    }

    QTemporaryDir dir_;
    SnapshotBuilder builder_;
};

TEST_F(ProjectOnDisk, FollowsTheTreeAsTexReadsIt) {
    QTemporaryDir outside;
    const QString shared = QDir(outside.path()).filePath("shared.tex");
    support::writeBytes(shared.toStdString(), "\\label{outside}");
    write("main.tex", "\\input{ch1}\\include{ch2}\\input{gone}\n\\import{parts/}{p}\n\\input{" +
                          shared.toStdString() + "}\\input{bin}\\input{cp}\n");
    write("ch1.tex", "\\input{main}\\input{ch1.tex}"); // a circle, and itself
    write("ch2.tex", "\\label{two}");
    write("parts/p.tex", "\\input{q}"); // from the folder of the import
    write("parts/q.tex", "\\label{q}");
    write("bin.tex", std::string("\\label{x}\0\x01\x02", 12));
    write("cp.tex",
          support::cp1251("\\usepackage[cp1251]{inputenc}\n\\section{Глава}\\label{рис:схема}"));

    const SnapshotPtr s = build();
    EXPECT_EQ(fileNames(*s),
              QStringList({"main.tex", "ch1.tex", "ch2.tex", "gone.tex (Нет такого файла)", "p.tex",
                           "q.tex", "shared.tex", "bin.tex (Файл не читается: это двоичный файл)",
                           "cp.tex"}));
    EXPECT_TRUE(s->labels.contains("q"));
    EXPECT_TRUE(s->labels.contains("outside"));
    ASSERT_TRUE(s->labels.contains(QStringLiteral("рис:схема")));
    EXPECT_EQ(s->files[8].labels[0].context, QStringLiteral("Глава"));
    EXPECT_EQ(reasons(*s), QStringList({"main.tex:0 Нет файла «gone»"}));
    EXPECT_EQ(s->FileIndexOf(path("parts/../ch2.tex")), 2);
}

TEST_F(ProjectOnDisk, BibFilesAreReadWithTheirErrorsAndLines) {
    write("main.tex", "\\bibliography{refs,none}\\cite{ok,кот,broken,nowhere}");
    write("refs.bib", "@article{ok,\n  author={Иванов, И.}, title={О {TeX}},\n  year=2001}\n\n"
                      "@book{broken title={No comma}}\n\n"
                      "@misc{\n  кот, author = \"A and B\", year = {1999}}\n");
    const SnapshotPtr s = build();
    ASSERT_EQ(s->bibs.size(), 2u);
    const BibFile& refs = s->bibs[0];
    ASSERT_EQ(refs.entries.size(), 3u);
    EXPECT_EQ(refs.entries[0].author, QStringLiteral("Иванов, И."));
    EXPECT_EQ(refs.entries[0].title, QStringLiteral("О {TeX}"));
    EXPECT_EQ(refs.entries[0].year, QStringLiteral("2001"));
    EXPECT_EQ(refs.entries[0].type, QStringLiteral("article"));
    const Place key = refs.entries[2].at; // the key on the line after its "@misc{"
    EXPECT_EQ(refs.entries[2].key, QStringLiteral("кот"));
    EXPECT_EQ(std::tuple(key.file, key.line, key.column, key.length), std::tuple(0, 7, 2, 3));
    ASSERT_EQ(refs.errors.size(), 1u);
    EXPECT_EQ(refs.errors[0].line, 4);
    EXPECT_EQ(s->bibs[1].note, missingNote());
    EXPECT_EQ(reasons(*s), QStringList({"main.tex:0 Нет файла «none»",
                                        "main.tex:0 Ключа «nowhere» нет ни в одном файле .bib"}));
}

TEST_F(ProjectOnDisk, NamesAreResolvedAsTexResolvesThem) {
    write("main.tex", "\\include{a.b}\\input{fig.tikz}\\input{sub/part}\\subimport{imp/}{x}");
    write("a.b.tex", "");
    write("fig.tikz", "");
    // A name in a file of a subfolder is taken from the root's folder, as TeX takes it.
    write("sub/part.tex", "\\input{sub/inner}\\bibliography{refs}");
    write("sub/inner.tex", "");
    write("imp/x.tex", "\\input{y}"); // from the folder of the import
    write("imp/y.tex", "");
    write("refs.bib", "@book{k, title={T}}");
    const SnapshotPtr s = build();
    EXPECT_EQ(fileNames(*s), QStringList({"main.tex", "a.b.tex", "fig.tikz", "part.tex",
                                          "inner.tex", "x.tex", "y.tex"}));
    ASSERT_EQ(s->bibs.size(), 1u);
    EXPECT_TRUE(s->bibs[0].note.isEmpty());
}

TEST_F(ProjectOnDisk, CitationsAndTheBibFilesThatDefineThem) {
    // @string macros of one file are not another's; a .bib in CP1251 is read in it.
    write("main.tex", "\\bibliography{one,two}\\cite{a,b,c,item,*}"
                      "\\begin{thebibliography}{1}\\bibitem{item}x\\end{thebibliography}");
    write("one.bib", "@string{j = {Journal}}\n@article{a, journal = j, title={T}}");
    write("two.bib", support::cp1251("@article{b, journal = j, title={Заглавие}}\n"
                                     "@article{c, author={Пушкин, А.}, title={Повесть}}"));
    SnapshotPtr s = build();
    EXPECT_TRUE(s->problems.empty()) << reasons(*s).join(u'\n').toStdString();
    ASSERT_EQ(s->bibs[1].entries.size(), 2u);
    EXPECT_EQ(s->bibs[1].entries[1].author, QStringLiteral("Пушкин, А."));
    EXPECT_EQ(s->bibs[1].entries[0].title, QStringLiteral("Заглавие"));

    // A .bib that cannot be read may hold any key: no citation is taken as unknown.
    write("main.tex", "\\bibliography{bin}\\cite{a}");
    write("bin.bib", std::string("@book{a,\0\0\0", 11));
    s = build();
    EXPECT_FALSE(s->bibs[0].note.isEmpty());
    EXPECT_TRUE(s->problems.empty());
}

TEST(BibReader, ACancelledReadingLeavesBtparseReadyForTheNextFile) {
    std::string bib;
    for (int i = 0; i < 1000; ++i)
        bib += "@book{k" + std::to_string(i) + ", title={T}}\n";
    const std::atomic<bool> cancelled = true;
    EXPECT_LT(parseBib(bib, &cancelled).entries.size(), 1000u);
    EXPECT_EQ(parseBib("@book{a, title={T}}").entries.size(), 1u);
    // A file cut short inside its last entry (what it holds is listed), then another.
    EXPECT_EQ(parseBib("@book{a, title={T}}\n@book{b, title = {").entries.size(), 2u);
    EXPECT_EQ(parseBib("@book{c, title={T}}").entries.size(), 1u);
}

TEST(ProjectIndexThread, IndicesReadBibFilesAtOnceWithoutHarm) {
    // btparse keeps its state in globals: two indices reading at once must not mix them.
    QTemporaryDir dir;
    std::string bib;
    for (int i = 0; i < 2000; ++i)
        bib += "@book{k" + std::to_string(i) + ", title={T}}\n";
    support::writeBytes(QDir(dir.path()).filePath("refs.bib").toStdString(), bib);
    const QString main = QDir(dir.path()).filePath("main.tex");
    support::writeBytes(main.toStdString(), "\\bibliography{refs}");
    std::vector<std::unique_ptr<ProjectIndex>> indices;
    for (int i = 0; i < 4; ++i)
        indices.push_back(std::make_unique<ProjectIndex>());
    for (auto& index : indices)
        index->SetRoot(main);
    for (auto& index : indices) {
        index->WaitForIdle();
        ASSERT_EQ(index->Current()->bibs.size(), 1u);
        EXPECT_EQ(index->Current()->bibs[0].entries.size(), 2000u);
        EXPECT_TRUE(index->Current()->bibs[0].errors.empty());
    }
}

TEST_F(ProjectOnDisk, ReferenceProblems) {
    write("main.tex", "\\label{a}\\ref{a}\\ref{b}\\ref{fig:\\x}\n\\input{c}");
    write("c.tex", "\\label{a}\\pageref{a}");
    const SnapshotPtr s = build();
    EXPECT_EQ(reasons(*s),
              QStringList({"main.tex:0 Метка «a» определена дважды (ещё: c.tex, строка 1)",
                           "main.tex:0 Метка «b» нигде не определена",
                           "c.tex:0 Метка «a» определена дважды (ещё: main.tex, строка 1)"}));
}

TEST_F(ProjectOnDisk, LiveTextStandsForItsFileAndChangedFilesAreReadAgain) {
    write("main.tex", "\\input{c}\\ref{new}");
    write("c.tex", "\\label{old}");
    EXPECT_EQ(build()->problems.size(), 1u);
    LiveTexts live;
    live.insert(normalPath(path("c.tex")), LiveText{"\\label{new}", 1});
    EXPECT_TRUE(build(live)->problems.empty());
    write("c.tex", "\\label{new}\\label{other}");
    EXPECT_TRUE(build()->labels.contains("other"));
}

TEST_F(ProjectOnDisk, RootOfADocument) {
    write("main.tex", "");
    write("sub/part.tex", "");
    const QString part = path("sub/part.tex");
    EXPECT_EQ(rootOf(part, "../main", u""), normalPath(path("main.tex")));
    EXPECT_EQ(rootOf(part, "*", u"% !TeX root = ../main.tex\n"), normalPath(path("main.tex")));
    EXPECT_EQ(rootOf(part, "", u"% !TeX root = ../main\n"), normalPath(path("main.tex")));
    EXPECT_EQ(rootOf(part, "", u"\\section{x}"), normalPath(part));
}

TEST_F(ProjectOnDisk, RenamePlansEveryPlaceAndRefusesATakenName) {
    write("main.tex", "\\label{a}\\label{b}\\cref{a,b}\\cite{k}\n\\input{c}\\bibliography{r}");
    write("c.tex", "see \\ref{a}\n\\cite{k}");
    write("r.bib", "@book{k, title={T}}\n@book{k2, title={T}}");
    const SnapshotPtr s = build();

    const RenamePlan label = planRename(*s, "a", QStringLiteral("рис:новая"));
    ASSERT_TRUE(label.refusal.isEmpty()) << label.refusal.toStdString();
    EXPECT_FALSE(label.citation);
    ASSERT_EQ(label.files.size(), 2u);
    EXPECT_EQ(QFileInfo(label.files[0].path).fileName(), "c.tex");
    EXPECT_EQ(label.files[0].places.size(), 1u);
    ASSERT_EQ(label.files[1].places.size(), 2u);
    EXPECT_EQ(label.files[1].places[1].column, 24);

    const RenamePlan key = planRename(*s, "k", "k3");
    EXPECT_TRUE(key.citation);
    ASSERT_EQ(key.files.size(), 3u); // c.tex, main.tex, r.bib
    EXPECT_EQ(key.files[2].places[0].column, 6);

    EXPECT_EQ(planRename(*s, "a", "b").refusal, QStringLiteral("Метка «b» уже есть в проекте"));
    EXPECT_EQ(planRename(*s, "k", "k2").refusal, QStringLiteral("Ключ «k2» уже есть в проекте"));
    EXPECT_FALSE(planRename(*s, "a", "").refusal.isEmpty());
    EXPECT_FALSE(planRename(*s, "a", "x y").refusal.isEmpty());
    EXPECT_FALSE(planRename(*s, "a", "x}").refusal.isEmpty());
    EXPECT_FALSE(planRename(*s, "zzz", "y").refusal.isEmpty());
    EXPECT_EQ(keyAt(*s, 0, 0, 26), QStringLiteral("b"));
    EXPECT_EQ(keyAt(*s, 0, 0, 1), QString());
}

TEST(ProjectIndexThread, PublishesSnapshotsInTheBackground) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv); // the snapshots are announced, and files watched, in it
    QTemporaryDir dir;
    const QString main = QDir(dir.path()).filePath("main.tex");
    support::writeBytes(main.toStdString(), "\\label{a}");
    ProjectIndex index;
    EXPECT_TRUE(index.Current()->files.empty());
    index.SetRoot(main);
    index.WaitForIdle();
    EXPECT_TRUE(index.Current()->labels.contains("a"));
    index.SetLiveText(main, "\\label{b}");
    index.WaitForIdle();
    EXPECT_TRUE(index.Current()->labels.contains("b"));
    index.Forget(main);
    index.WaitForIdle();
    EXPECT_TRUE(index.Current()->labels.contains("a"));

    // A file changed on disk by another program is read again, unasked.
    QCoreApplication::processEvents(); // the snapshot's files are watched
    support::writeBytes(main.toStdString(), "\\label{c} changed");
    QElapsedTimer clock;
    clock.start();
    while (!index.Current()->labels.contains("c") && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        index.WaitForIdle();
    }
    EXPECT_TRUE(index.Current()->labels.contains("c"));
}

} // namespace
} // namespace project
