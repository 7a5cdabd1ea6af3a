#include "project/outline.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace project {
namespace {

// Gives siblings that share a key a number, so that each key is unique among them.
void makeKeysUnique(std::vector<OutlineNode>& nodes) {
    QHash<QString, int> count;
    for (OutlineNode& node : nodes) {
        const int n = count[node.key]++;
        if (n > 0) node.key += u'#' + QString::number(n);
        makeKeysUnique(node.children);
    }
}

struct Item {
    int line = 0;
    int column = 0;
    OutlineNode node;
};

} // namespace

std::vector<OutlineNode> outlineOf(const Snapshot& snapshot) {
    std::vector<OutlineNode> files;
    const QDir rootFolder = QFileInfo(snapshot.root).absoluteDir();
    for (int f = 0; f < static_cast<int>(snapshot.files.size()); ++f) {
        const FileIndex& index = snapshot.files[static_cast<size_t>(f)];
        OutlineNode file;
        file.kind = OutlineKind::File;
        file.key = index.path;
        file.text = rootFolder.relativeFilePath(index.path);
        file.file = f;
        file.note = index.note;
        // The headings, floats and labels in the order they are written.
        std::vector<Item> items;
        for (const Heading& heading : index.headings) {
            const QString title = heading.title.simplified();
            items.push_back({heading.at.line,
                             heading.at.column,
                             {OutlineKind::Heading,
                              QStringLiteral("h%1 ").arg(heading.level) + title,
                              title,
                              f,
                              heading.at.line,
                              heading.level,
                              {},
                              {}}});
        }
        for (const Float& item : index.floats) {
            const bool figure = item.kind == FloatKind::Figure;
            const QString caption = item.caption.simplified();
            OutlineNode node{figure ? OutlineKind::Figure : OutlineKind::Table,
                             (figure ? QStringLiteral("f ") : QStringLiteral("t ")) + caption,
                             (figure ? QStringLiteral("Рисунок: ") : QStringLiteral("Таблица: ")) +
                                 caption,
                             f,
                             item.at.line,
                             0,
                             {},
                             {}};
            items.push_back({item.at.line, item.at.column, std::move(node)});
        }
        for (const Label& label : index.labels)
            items.push_back({label.at.line,
                             label.at.column,
                             {OutlineKind::Label,
                              QStringLiteral("l ") + label.key,
                              label.key,
                              f,
                              label.at.line,
                              0,
                              {},
                              {}}});
        std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
            return a.line != b.line ? a.line < b.line : a.column < b.column;
        });
        // The chain of open headings; a float holds the labels written inside it.
        std::vector<OutlineNode*> open{&file};
        OutlineNode* lastFloat = nullptr;
        QString lastFloatLabel;
        for (Item& item : items) {
            OutlineNode& node = item.node;
            const OutlineKind kind = node.kind;
            if (kind == OutlineKind::Heading) {
                while (open.size() > 1 && open.back()->level >= node.level)
                    open.pop_back();
                open.back()->children.push_back(std::move(node));
                open.push_back(&open.back()->children.back());
                lastFloat = nullptr;
            } else if (kind == OutlineKind::Label && lastFloat && node.text == lastFloatLabel) {
                lastFloat->children.push_back(std::move(node));
            } else {
                open.back()->children.push_back(std::move(node));
                lastFloat = nullptr;
                if (kind != OutlineKind::Label) {
                    lastFloat = &open.back()->children.back();
                    for (const Float& f : index.floats)
                        if (f.at.line == lastFloat->line) lastFloatLabel = f.label;
                }
            }
        }
        files.push_back(std::move(file));
    }
    makeKeysUnique(files);
    return files;
}

std::vector<QString> sectionPathAt(const std::vector<OutlineNode>& outline, int file, int line) {
    std::vector<QString> path;
    const OutlineNode* node = nullptr;
    for (const OutlineNode& candidate : outline)
        if (candidate.file == file) node = &candidate;
    while (node) {
        path.push_back(node->key);
        const OutlineNode* deeper = nullptr;
        for (const OutlineNode& child : node->children)
            if (child.kind == OutlineKind::Heading && child.line <= line) deeper = &child;
        node = deeper;
    }
    return path;
}

} // namespace project
