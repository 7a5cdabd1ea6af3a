// The outline of a project and the answers of go to definition and find references.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "project/definitions.h"
#include "project/outline.h"

namespace {

using project::Place;

Place at(int file, int line, int column = 0) {
    return {file, line, column, 0};
}

// A thesis of a root and one chapter: two sections, a figure with its label, a table.
project::Snapshot thesis() {
    project::Snapshot snapshot;
    snapshot.root = QStringLiteral("/p/main.tex");
    project::FileIndex root;
    root.path = snapshot.root;
    root.uses = {
        {project::UseKind::Input, QStringLiteral("input"), QStringLiteral("ch1"), at(0, 3, 7), {}}};
    project::FileIndex chapter;
    chapter.path = QStringLiteral("/p/parts/ch1.tex");
    chapter.headings = {{1, QStringLiteral("Обзор"), at(1, 0)},
                        {2, QStringLiteral("Методы  и\nсредства"), at(1, 2)},
                        {2, QStringLiteral("Итоги"), at(1, 20)},
                        {1, QStringLiteral("Опыты"), at(1, 30)}};
    chapter.floats = {
        {project::FloatKind::Figure, QStringLiteral("Схема"), QStringLiteral("fig:s"), at(1, 5)},
        {project::FloatKind::Table, QStringLiteral("Итоги опытов"), {}, at(1, 31)}};
    chapter.labels = {{QStringLiteral("sec:m"), {}, at(1, 3, 7)},
                      {QStringLiteral("fig:s"), {}, at(1, 8, 7)},
                      {QStringLiteral("sec:m"), {}, at(1, 25, 7)}};
    chapter.uses = {{project::UseKind::Reference,
                     QStringLiteral("ref"),
                     QStringLiteral("fig:s"),
                     at(1, 21, 12),
                     {}},
                    {project::UseKind::Reference,
                     QStringLiteral("ref"),
                     QStringLiteral("fig:s"),
                     at(1, 1, 4),
                     {}}};
    chapter.definitions = {{QStringLiteral("\\R"), false, at(1, 40)}};
    snapshot.files = {root, chapter};
    snapshot.labels.insert(QStringLiteral("fig:s"), {at(1, 8, 7)});
    snapshot.definitions.insert(QStringLiteral("\\R"), at(1, 40));
    project::BibFile bib;
    bib.path = QStringLiteral("/p/refs.bib");
    bib.entries = {{QStringLiteral("knuth"), {}, {}, {}, {}, at(0, 12, 6)}};
    snapshot.bibs = {bib};
    snapshot.bibKeys.insert(QStringLiteral("knuth"), {0, 0});
    return snapshot;
}

// The tree as text: one line a node, indented by depth.
void print(const std::vector<project::OutlineNode>& nodes, int depth, QStringList& out) {
    for (const auto& node : nodes) {
        out << QString(depth * 2, u' ') + node.text;
        print(node.children, depth + 1, out);
    }
}

TEST(Outline, NestsSectionsByLevelWithTheirLabelsAndFloats) {
    const auto outline = project::outlineOf(thesis());
    QStringList tree;
    print(outline, 0, tree);
    EXPECT_EQ(tree,
              (QStringList{"main.tex", "parts/ch1.tex", "  Обзор", "    Методы и средства",
                           "      sec:m", "      Рисунок: Схема", "        fig:s", "    Итоги",
                           "      sec:m", "  Опыты", "    Таблица: Итоги опытов"}));
    // Keys stay unique among siblings and name the kind and title.
    EXPECT_EQ(outline[1].children[0].children[0].key, QStringLiteral("h2 Методы и средства"));

    EXPECT_EQ(project::sectionPathAt(outline, 1, 25),
              (std::vector<QString>{"/p/parts/ch1.tex", "h1 Обзор", "h2 Итоги"}));
    EXPECT_EQ(project::sectionPathAt(outline, 0, 5), (std::vector<QString>{"/p/main.tex"}));
    EXPECT_TRUE(project::sectionPathAt(outline, 7, 5).empty());
}

TEST(Definitions, LeadFromTheTargetToItsDefinition) {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("parts"));
    for (const char* name : {"parts/ch1.tex", "refs.bib", "data"}) {
        QFile file(folder.filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    project::Snapshot snapshot = thesis();
    snapshot.root = folder.filePath(QStringLiteral("main.tex"));
    const auto target = [](project::ArgumentKind kind, const char* command, const QString& key) {
        project::PositionTarget t;
        t.kind = kind;
        t.command = QLatin1String(command);
        t.key = key;
        return t;
    };
    using K = project::ArgumentKind;
    struct Case {
        project::PositionTarget target;
        QString path; // empty: none
        int line;
    } cases[] = {
        {target(K::Reference, "ref", QStringLiteral("fig:s")), QStringLiteral("/p/parts/ch1.tex"),
         8},
        {target(K::Reference, "ref", QStringLiteral("fig:x")), {}, 0},
        {target(K::Citation, "cite", QStringLiteral("knuth")), QStringLiteral("/p/refs.bib"), 12},
        {target(K::Input, "input", QStringLiteral("parts/ch1")), folder.filePath("parts/ch1.tex"),
         0},
        {target(K::Input, "input", QStringLiteral("data")), folder.filePath("data"), 0},
        {target(K::Input, "input", QStringLiteral("nothing")), {}, 0},
        {target(K::Bibliography, "bibliography", QStringLiteral("refs")),
         folder.filePath("refs.bib"), 0},
        {target(K::None, "R", {}), QStringLiteral("/p/parts/ch1.tex"), 40},
        {target(K::None, "section", {}), {}, 0},
    };
    for (const Case& c : cases) {
        const auto found = project::definitionOf(snapshot, c.target);
        ASSERT_EQ(found.has_value(), !c.path.isEmpty()) << c.target.key.toStdString();
        if (!found) continue;
        EXPECT_EQ(found->path, c.path);
        EXPECT_EQ(found->line, c.line);
    }
}

TEST(Definitions, ReferencesAreListedByFileThenLine) {
    const auto found = project::referencesOf(thesis(), QStringLiteral("fig:s"));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, 1);
    EXPECT_EQ(found[1].line, 8); // the label itself
    EXPECT_EQ(found[2].line, 21);
    EXPECT_EQ(project::referencesOf(thesis(), QStringLiteral("knuth")).size(), 1u);
}

} // namespace
