#include "project/navigation.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/prompts.h"
#include "platform/recognition.h"
#include "platform/richedit.h"
#include "platform/text_encoding.h"
#include "state/document_files.h"
#include "state/editor.h"

namespace project {
namespace {

// The jumps remembered for "Назад".
constexpr size_t kBackSteps = 100;
// Files larger than this are not read for the references' lines.
constexpr qint64 kMaxLineFileBytes = 64 * 1024 * 1024;

enum Column { FileColumn, LineColumn, TextColumn };
enum Role { PathRole = Qt::UserRole + 1, LineRole, ColumnRole, LengthRole };

PositionTarget targetAtCaret(const platform::TRichEdit& control) {
    const int line = control.CaretLine();
    return targetAt(control.LineText(line), control.SelStart() - control.LineStart(line));
}

} // namespace

QString lineOfFile(const QString& path, int line) {
    QFile file(path);
    if (line < 0 || !file.open(QIODevice::ReadOnly) || file.size() > kMaxLineFileBytes) return {};
    const QByteArray bytes = file.readAll();
    const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
    const platform::Recognition recognition = platform::recogniseEncoding(view);
    if (recognition.utf16) return {};
    const QString text = platform::decodeText(view, recognition.encoding).decoded.text;
    qsizetype start = 0;
    for (int i = 0; i < line; ++i) {
        start = text.indexOf(u'\n', start);
        if (start < 0) return {};
        ++start;
    }
    const qsizetype end = text.indexOf(u'\n', start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

ProjectNavigation::ProjectNavigation(state::Editor& editor, std::function<SnapshotPtr()> snapshot,
                                     QWidget* window)
    : QObject(window), LineText(&lineOfFile), editor_(editor), snapshot_(std::move(snapshot)),
      window_(window) {}

void ProjectNavigation::Watch(platform::TRichEdit& control) {
    control.viewport()->installEventFilter(this);
}

bool ProjectNavigation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonRelease || !editor_.RichEdit1 ||
        watched != editor_.RichEdit1->viewport())
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !(mouse->modifiers() & Qt::ControlModifier))
        return false;
    // After the control and its handlers are done with the click.
    QTimer::singleShot(0, this, [this] {
        if (editor_.RichEdit1 && editor_.RichEdit1->SelLength() == 0)
            editor_.Guarded([this] { GoToDefinition(); });
    });
    return false;
}

void ProjectNavigation::Open(const Destination& destination) {
    if (!editor_.OpenAnotherDocument(destination.path)) return;
    platform::TRichEdit& control = *editor_.RichEdit1;
    // The place comes from a snapshot that the text may have left behind: kept inside it.
    const int line = std::clamp(destination.line, 0, std::max(control.LineCount() - 1, 0));
    const int column = std::clamp(destination.column, 0, control.LineLength(line));
    editor_.CaretToLine(line + 1);
    control.SetSel(control.LineStart(line) + column,
                   std::clamp(destination.length, 0, control.LineLength(line) - column));
    control.ensureCursorVisible();
}

void ProjectNavigation::GoToDefinition() {
    platform::TRichEdit& control = *editor_.RichEdit1;
    const PositionTarget target = targetAtCaret(control);
    const SnapshotPtr snapshot = snapshot_();
    const std::optional<Destination> found =
        target.IsEmpty() || !snapshot ? std::nullopt : definitionOf(*snapshot, target);
    if (!found) {
        editor_.ShowIndicatorNotice(
            target.IsEmpty() ? QStringLiteral("Под курсором нет ссылки, ключа или команды")
                             : QStringLiteral("Определение не найдено в проекте"));
        return;
    }
    Spot here{editor_.DocName.isEmpty() ? QString() : state::documentFilePath(editor_),
              control.SelStart()};
    Open(*found);
    if (!here.path.isEmpty()) {
        back_.push_back(std::move(here));
        if (back_.size() > kBackSteps) back_.erase(back_.begin());
    }
}

void ProjectNavigation::GoBack() {
    if (back_.empty()) {
        editor_.prompts().beep();
        return;
    }
    const Spot spot = back_.back();
    back_.pop_back();
    if (!editor_.OpenAnotherDocument(spot.path)) return;
    editor_.RichEdit1->SetSel(spot.position, 0);
    editor_.RichEdit1->ensureCursorVisible();
}

void ProjectNavigation::makeReferencesWindow() {
    references_ = new QDialog(window_);
    references_->setObjectName(QStringLiteral("References1"));
    references_->setModal(false);
    references_->resize(720, 300);
    referenceList_ = new QTreeWidget(references_);
    referenceList_->setObjectName(QStringLiteral("ReferenceList1"));
    referenceList_->setRootIsDecorated(false);
    referenceList_->setUniformRowHeights(true);
    referenceList_->setHeaderLabels(
        {QStringLiteral("Файл"), QStringLiteral("Строка"), QStringLiteral("Текст")});
    auto* layout = new QVBoxLayout(references_);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(referenceList_);
    connect(referenceList_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        editor_.Guarded([this, item] {
            Open({item->data(FileColumn, PathRole).toString(),
                  item->data(FileColumn, LineRole).toInt(),
                  item->data(FileColumn, ColumnRole).toInt(),
                  item->data(FileColumn, LengthRole).toInt()});
        });
    });
}

void ProjectNavigation::FindReferences() {
    const PositionTarget target = targetAtCaret(*editor_.RichEdit1);
    const bool keyed = target.kind == ArgumentKind::Reference ||
                       target.kind == ArgumentKind::Label || target.kind == ArgumentKind::Citation;
    const SnapshotPtr snapshot = snapshot_();
    if (!keyed || !snapshot) {
        editor_.ShowIndicatorNotice(QStringLiteral("Под курсором нет метки или ключа"));
        return;
    }
    if (!references_) makeReferencesWindow();
    const QDir rootFolder = QFileInfo(snapshot->root).absoluteDir();
    referenceList_->clear();
    for (const Destination& found : referencesOf(*snapshot, target.key)) {
        auto* item = new QTreeWidgetItem(referenceList_);
        item->setText(FileColumn, rootFolder.relativeFilePath(found.path));
        item->setText(LineColumn, QString::number(found.line + 1));
        item->setText(TextColumn, LineText(found.path, found.line).trimmed());
        item->setToolTip(FileColumn, found.path);
        item->setData(FileColumn, PathRole, found.path);
        item->setData(FileColumn, LineRole, found.line);
        item->setData(FileColumn, ColumnRole, found.column);
        item->setData(FileColumn, LengthRole, found.length);
    }
    for (int column : {FileColumn, LineColumn})
        referenceList_->resizeColumnToContents(column);
    references_->setWindowTitle(QStringLiteral("Ссылки на «%1»: %2")
                                    .arg(target.key)
                                    .arg(referenceList_->topLevelItemCount()));
    if (referenceList_->topLevelItemCount() > 0)
        referenceList_->setCurrentItem(referenceList_->topLevelItem(0));
    references_->show();
    references_->raise();
}

} // namespace project
