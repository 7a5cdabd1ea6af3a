#pragma once
// "Структура": the project's files in the order TeX reads them and, inside each, its
// sections, labels, figures and tables. A new snapshot changes the tree in place (nodes
// matched by their keys), so what the user expanded and where the tree is scrolled stay.
// The section that holds the caret is the tree's current item.
#include <QStandardItemModel>
#include <QWidget>
#include <functional>
#include <vector>

#include "project/outline.h"

class QTreeView;

namespace project {

class StructurePane final : public QWidget {
    Q_OBJECT

  public:
    explicit StructurePane(QWidget* parent = nullptr);

    // Brings the tree up to date with the snapshot.
    void ShowSnapshot(const Snapshot& snapshot);
    // Makes the section holding the line of the file the current item.
    void ShowCaret(const QString& path, int line);

    QTreeView* Tree() const { return tree_; }
    QStandardItemModel& Model() { return model_; }
    // A click (or Enter) on an item: its file and line (from 0).
    std::function<void(const QString& path, int line)> OnOpen;

  private:
    void sync(QStandardItem* parent, const std::vector<OutlineNode>& nodes);
    QStandardItem* itemAt(const std::vector<QString>& keys) const;
    void open(const QModelIndex& index);

    QTreeView* tree_;
    QStandardItemModel model_;
    std::vector<OutlineNode> outline_;
    std::vector<QString> filePaths_; // of the snapshot shown, by file index
    QStandardItem* shownSection_ = nullptr;
};

} // namespace project
