#include "project/structure_pane.h"

#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

namespace project {
namespace {

// OpenedRole: the file was expanded once, when it first came; after that the user decides.
enum Role { PathRole = Qt::UserRole + 1, LineRole, KeyRole, OpenedRole };

void setIfChanged(QStandardItem& item, const QVariant& value, int role) {
    if (item.data(role) != value) item.setData(value, role);
}

void fill(QStandardItem& item, const OutlineNode& node, const QString& path) {
    setIfChanged(item, node.text, Qt::DisplayRole);
    // A file that could not be read says why, and is shown greyed.
    setIfChanged(item,
                 node.note.isEmpty() ? node.text : node.text + QStringLiteral(": ") + node.note,
                 Qt::ToolTipRole);
    setIfChanged(item, node.note.isEmpty() ? QVariant() : QVariant(QColor(Qt::gray)),
                 Qt::ForegroundRole);
    setIfChanged(item, path, PathRole);
    setIfChanged(item, node.line, LineRole);
    setIfChanged(item, node.key, KeyRole);
    if (node.kind == OutlineKind::File) {
        QFont font = item.font();
        font.setBold(true);
        if (item.font() != font) item.setFont(font);
    }
}

} // namespace

StructurePane::StructurePane(QWidget* parent) : QWidget(parent), tree_(new QTreeView(this)) {
    setObjectName(QStringLiteral("StructurePane1"));
    tree_->setObjectName(QStringLiteral("StructureTree1"));
    tree_->setModel(&model_);
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);
    tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_->setFocusPolicy(Qt::ClickFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_);
    connect(tree_, &QTreeView::clicked, this, &StructurePane::open);
    connect(tree_, &QTreeView::activated, this, &StructurePane::open);
}

void StructurePane::ShowSnapshot(const Snapshot& snapshot) {
    outline_ = outlineOf(snapshot);
    filePaths_.clear();
    for (const FileIndex& file : snapshot.files)
        filePaths_.push_back(file.path);
    const QStandardItem* shown = shownSection_;
    sync(model_.invisibleRootItem(), outline_);
    // The item last shown as the caret's section may be gone.
    if (shown && shownSection_ == shown) shownSection_ = nullptr;
    // The files are open from the start; what is inside them as the user leaves it.
    for (int row = 0; row < model_.rowCount(); ++row) {
        QStandardItem* file = model_.item(row);
        if (file->data(OpenedRole).isNull()) {
            file->setData(true, OpenedRole);
            tree_->expand(file->index());
        }
    }
}

void StructurePane::sync(QStandardItem* parent, const std::vector<OutlineNode>& nodes) {
    for (int i = 0; i < static_cast<int>(nodes.size()); ++i) {
        const OutlineNode& node = nodes[static_cast<size_t>(i)];
        const QString& path = node.file >= 0 && node.file < static_cast<int>(filePaths_.size())
                                  ? filePaths_[static_cast<size_t>(node.file)]
                                  : QString();
        int found = -1;
        for (int row = i; row < parent->rowCount(); ++row)
            if (parent->child(row)->data(KeyRole).toString() == node.key) {
                found = row;
                break;
            }
        QStandardItem* item;
        if (found < 0) {
            item = new QStandardItem;
            item->setEditable(false);
            fill(*item, node, path);
            parent->insertRow(i, item);
        } else {
            // The rows before it are gone from here (or come back later as new ones).
            if (found > i) {
                for (int row = i; row < found; ++row)
                    if (shownSection_ == parent->child(row)) shownSection_ = nullptr;
                parent->removeRows(i, found - i);
            }
            item = parent->child(i);
            fill(*item, node, path);
        }
        sync(item, node.children);
    }
    if (parent->rowCount() > static_cast<int>(nodes.size())) {
        for (int row = static_cast<int>(nodes.size()); row < parent->rowCount(); ++row)
            if (shownSection_ == parent->child(row)) shownSection_ = nullptr;
        parent->removeRows(static_cast<int>(nodes.size()),
                           parent->rowCount() - static_cast<int>(nodes.size()));
    }
}

QStandardItem* StructurePane::itemAt(const std::vector<QString>& keys) const {
    QStandardItem* item = model_.invisibleRootItem();
    for (const QString& key : keys) {
        QStandardItem* next = nullptr;
        for (int row = 0; row < item->rowCount() && !next; ++row)
            if (item->child(row)->data(KeyRole).toString() == key) next = item->child(row);
        if (!next) return nullptr;
        item = next;
    }
    return item == model_.invisibleRootItem() ? nullptr : item;
}

void StructurePane::ShowCaret(const QString& path, int line) {
    int file = -1;
    for (int i = 0; i < static_cast<int>(filePaths_.size()); ++i)
        if (filePaths_[static_cast<size_t>(i)] == path) file = i;
    QStandardItem* section = itemAt(sectionPathAt(outline_, file, line));
    if (section == shownSection_) return;
    shownSection_ = section;
    if (!section) {
        tree_->selectionModel()->clearCurrentIndex();
        tree_->clearSelection();
        return;
    }
    tree_->selectionModel()->setCurrentIndex(section->index(), QItemSelectionModel::ClearAndSelect);
    // Scrolled to only when the user left it in sight: scrolling would open what they closed.
    for (QStandardItem* parent = section->parent(); parent; parent = parent->parent())
        if (!tree_->isExpanded(parent->index())) return;
    tree_->scrollTo(section->index());
}

void StructurePane::open(const QModelIndex& index) {
    const QString path = index.data(PathRole).toString();
    if (!path.isEmpty() && OnOpen) OnOpen(path, index.data(LineRole).toInt());
}

} // namespace project
