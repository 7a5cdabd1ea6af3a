// The completion's lists: where their entries come from, and how typing narrows them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "project/completion_lists.h"
#include "project/package_names.h"

namespace {

using project::Candidate;
using project::CompletionKind;

QStringList texts(const std::vector<Candidate>& list, const std::vector<int>& indices) {
    QStringList result;
    for (int i : indices)
        result << list[static_cast<size_t>(i)].text;
    return result;
}

TEST(NarrowCandidates, PrefixesFirstThenSubstringsIgnoringCase) {
    const std::vector<Candidate> list = {{QStringLiteral("\\section"), {}},
                                         {QStringLiteral("\\subsection"), {}},
                                         {QStringLiteral("\\Section"), {}},
                                         {QStringLiteral("рис:Схема"), {}},
                                         {QStringLiteral("схема:общая"), {}}};
    struct Case {
        const char16_t* typed;
        QStringList expected;
    } cases[] = {
        {u"\\sec",
         {QStringLiteral("\\section"), QStringLiteral("\\Section"),
          QStringLiteral("\\subsection")}},
        {u"\\",
         {QStringLiteral("\\section"), QStringLiteral("\\subsection"),
          QStringLiteral("\\Section")}},
        {u"СХЕМ", {QStringLiteral("схема:общая"), QStringLiteral("рис:Схема")}},
        {u"",
         {QStringLiteral("\\section"), QStringLiteral("\\subsection"), QStringLiteral("\\Section"),
          QStringLiteral("рис:Схема"), QStringLiteral("схема:общая")}},
        {u"zzz", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(texts(list, project::narrowCandidates(list, QString::fromUtf16(c.typed))),
                  c.expected)
            << QString::fromUtf16(c.typed).toStdString();
}

TEST(CompletionLists, TakeTheProjectsTheEditorsAndThePackagesNamesOnceEach) {
    auto snapshot = std::make_shared<project::Snapshot>();
    project::FileIndex file;
    file.path = QStringLiteral("/p/main.tex");
    file.definitions = {{QStringLiteral("\\R"), false, {}}, {QStringLiteral("теорема"), true, {}}};
    file.labels = {{QStringLiteral("fig:b"), QStringLiteral("Схема  стенда"), {}},
                   {QStringLiteral("fig:a"), {}, {}}};
    snapshot->files.push_back(file);
    project::BibFile bib;
    bib.entries = {{QStringLiteral("knuth84"),
                    QStringLiteral("book"),
                    QStringLiteral("Knuth, D."),
                    QStringLiteral("1984"),
                    QStringLiteral("The TeXbook"),
                    {}}};
    snapshot->bibs.push_back(bib);
    project::CompletionLists lists(
        snapshot, {{QStringLiteral("\\frac{}{}"), QStringLiteral("\\item"), QStringLiteral("\\R")},
                   {QStringLiteral("itemize")},
                   {QStringLiteral("\\align"), QStringLiteral("\\item")},
                   {QStringLiteral("align")}});
    const auto all = [&](CompletionKind kind) {
        const auto& list = lists.Of(kind);
        return texts(list, project::narrowCandidates(list, {}));
    };
    EXPECT_EQ(all(CompletionKind::Command), (QStringList{"\\align", "\\frac", "\\item", "\\R"}));
    EXPECT_EQ(all(CompletionKind::Environment), (QStringList{"align", "itemize", "теорема"}));
    EXPECT_EQ(all(CompletionKind::Label), (QStringList{"fig:a", "fig:b"}));
    EXPECT_EQ(lists.Of(CompletionKind::Label)[1].detail, QStringLiteral("Схема стенда"));
    ASSERT_EQ(lists.Of(CompletionKind::Citation).size(), 1u);
    EXPECT_EQ(lists.Of(CompletionKind::Citation)[0].detail,
              QStringLiteral("Knuth, D., 1984, The TeXbook"));
}

TEST(CompletionLists, OfferTheFilesUnderTheRootsFolder) {
    QTemporaryDir folder;
    for (const char* name : {"main.tex", "parts/part1.tex", "images/a.png", "refs.bib",
                             ".hidden/x.tex", "notes.txt"}) {
        QDir(folder.path()).mkpath(QFileInfo(folder.filePath(QLatin1String(name))).path());
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    auto snapshot = std::make_shared<project::Snapshot>();
    snapshot->root = folder.filePath(QStringLiteral("main.tex"));
    project::CompletionLists lists(snapshot, {});
    const auto all = [&](CompletionKind kind) {
        const auto& list = lists.Of(kind);
        return texts(list, project::narrowCandidates(list, {}));
    };
    EXPECT_EQ(all(CompletionKind::InputFile), (QStringList{"main", "parts/part1"}));
    EXPECT_EQ(all(CompletionKind::GraphicsFile), (QStringList{"images/a.png"}));
    EXPECT_EQ(all(CompletionKind::BibliographyFile), (QStringList{"refs.bib"}));
}

TEST(PackageNames, AreTheUsersCommandsEnvironmentsAndRequiredPackages) {
    const project::PackageNames names = project::scanPackageText(
        QString::fromUtf16(uR"(\RequirePackage{amsmath,amsfonts}\RequirePackage[x]{graphicx}
\newcommand{\foo}[1]{} \newcommand*\bar{} \DeclareRobustCommand\baz{}
\def\qux{} \let\quux\relax \def\@internal{} \newcommand{\foo}{}
\DeclareMathOperator{\tg}{tg} \NewDocumentCommand\xparse{m}{}
\newenvironment{proof}{}{} \newtheorem{theorem}{Theorem} \newenvironment{@x}{}{})"));
    EXPECT_EQ(names.commands,
              (QStringList{"\\foo", "\\bar", "\\baz", "\\qux", "\\quux", "\\tg", "\\xparse"}));
    EXPECT_EQ(names.environments, (QStringList{"proof", "theorem"}));
    EXPECT_EQ(names.required, (QStringList{"amsmath", "amsfonts", "graphicx"}));
}

TEST(PackageCatalog, ReadsARealPackageAndThoseItRequires) {
    project::PackageCatalog catalog;
    if (project::PackageCatalog::kpsewhich(QStringLiteral("amsmath.sty")).isEmpty())
        GTEST_SKIP() << "no TeX Live";
    catalog.Want({QStringLiteral("amsmath"), QStringLiteral("no-such-package-here")});
    catalog.WaitForIdle();
    QStringList commands;
    QStringList environments;
    catalog.NamesOf({QStringLiteral("amsmath")}, commands, environments);
    EXPECT_TRUE(commands.contains(QStringLiteral("\\eqref")));
    EXPECT_TRUE(commands.contains(QStringLiteral("\\DeclareMathOperator"))); // from amsopn
    EXPECT_TRUE(environments.contains(QStringLiteral("align")));
}

} // namespace
