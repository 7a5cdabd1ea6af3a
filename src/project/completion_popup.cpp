#include "project/completion_popup.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QListView>
#include <QScreen>
#include <QTimer>

#include "platform/charsets.h"
#include "platform/richedit.h"
#include "state/editor.h"

namespace project {

// The entries that fit what was typed: indices into the list.
class CandidateModel final : public QAbstractListModel {
  public:
    using QAbstractListModel::QAbstractListModel;

    void Show(std::shared_ptr<CompletionLists> lists, const std::vector<Candidate>* list,
              std::vector<int> rows) {
        beginResetModel();
        lists_ = std::move(lists);
        list_ = list;
        rows_ = std::move(rows);
        endResetModel();
    }
    const Candidate* At(int row) const {
        if (!list_ || row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
        return &(*list_)[static_cast<size_t>(rows_[static_cast<size_t>(row)])];
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const Candidate* candidate = At(index.row());
        if (!candidate) return {};
        if (role == Qt::DisplayRole) {
            if (candidate->detail.isEmpty()) return candidate->text;
            constexpr int kDetail = 70;
            QString detail = candidate->detail;
            if (detail.size() > kDetail) detail = detail.left(kDetail) + u'…';
            return candidate->text + QStringLiteral("   ") + detail;
        }
        if (role == Qt::ToolTipRole) return candidate->detail;
        return {};
    }

  private:
    std::shared_ptr<CompletionLists> lists_; // which list_ belongs to
    const std::vector<Candidate>* list_ = nullptr;
    std::vector<int> rows_;
};

namespace {

constexpr int kRowsShown = 10;
constexpr int kWidth = 520;

bool isCyrillic(QChar c) {
    return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF;
}

} // namespace

CompletionPopup::CompletionPopup(state::Editor& editor, ListsSource lists, QObject* parent)
    : QObject(parent), editor_(editor), lists_(std::move(lists)), view_(new QListView),
      model_(new CandidateModel(this)) {
    // A window of its own that never takes the focus: the keys stay with the text.
    view_->setObjectName(QStringLiteral("Completion1"));
    view_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    view_->setAttribute(Qt::WA_ShowWithoutActivating);
    view_->setFocusPolicy(Qt::NoFocus);
    view_->setUniformItemSizes(true);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setModel(model_);
    // Its window is made now: made by the first key that opens it, it kept that key waiting.
    view_->ensurePolished();
    view_->winId();
    // So are the glyphs of both scripts in its font.
    (void)view_->fontMetrics().horizontalAdvance(QStringLiteral("Схема fig:scheme"));
    connect(view_, &QListView::clicked, this, [this] { editor_.Guarded([this] { Accept(); }); });
}

CompletionPopup::~CompletionPopup() {
    delete view_;
}

void CompletionPopup::Watch(platform::TRichEdit& control) {
    control.installEventFilter(this);
    control.viewport()->installEventFilter(this);
}

bool CompletionPopup::IsShown() const {
    return view_->isVisible();
}

QStringList CompletionPopup::ShownTexts() const {
    QStringList texts;
    for (int row = 0; row < model_->rowCount(); ++row)
        texts << model_->At(row)->text;
    return texts;
}

void CompletionPopup::Close() {
    view_->hide();
    contextLine_ = -1;
}

void CompletionPopup::Refresh(bool opening) {
    platform::TRichEdit* control = editor_.RichEdit1;
    std::shared_ptr<CompletionLists> lists = lists_ ? lists_() : nullptr;
    if (!control || !lists || control->SelLength() > 0) return Close();
    const int line = control->CaretLine();
    const int column = control->SelStart() - control->LineStart(line);
    const CompletionContext context = completionContextAt(control->LineText(line), column);
    if (context.kind == CompletionKind::None ||
        (line == dismissedLine_ && context.start == dismissedStart_))
        return Close();
    dismissedLine_ = -1;
    if (!IsShown() && !opening) return;
    const std::vector<Candidate>& list = lists->Of(context.kind);
    std::vector<int> rows = narrowCandidates(list, context.prefix);
    // Nothing to offer, or only what is written already.
    if (rows.empty() || (rows.size() == 1 && list[static_cast<size_t>(rows[0])].text ==
                                                 control->LineText(line).mid(
                                                     context.start, context.end - context.start)))
        return Close();
    context_ = context;
    contextLine_ = line;
    model_->Show(std::move(lists), &list, std::move(rows));
    view_->setCurrentIndex(model_->index(0));
    const int rowHeight = view_->sizeHintForRow(0);
    const int shown = std::min(model_->rowCount(), kRowsShown);
    view_->resize(kWidth, rowHeight * shown + 2 * view_->frameWidth() + 2);
    // Below the caret, or above it when the screen ends first.
    const QRect caret = control->cursorRect();
    QPoint place = control->viewport()->mapToGlobal(caret.bottomLeft() + QPoint(0, 2));
    if (const QScreen* screen = control->screen()) {
        const QRect room = screen->availableGeometry();
        if (place.y() + view_->height() > room.bottom())
            place.setY(control->viewport()->mapToGlobal(caret.topLeft()).y() - view_->height() - 2);
        place.setX(
            std::clamp(place.x(), room.left(), std::max(room.left(), room.right() - kWidth)));
    }
    view_->move(place);
    if (!view_->isVisible()) view_->show();
}

void CompletionPopup::Accept() {
    platform::TRichEdit* control = editor_.RichEdit1;
    const Candidate* candidate = model_->At(view_->currentIndex().row());
    if (!control || !candidate || contextLine_ < 0) return Close();
    QString text = candidate->text;
    // \bibliography names its files without ".bib".
    if (context_.kind == CompletionKind::BibliographyFile && context_.command == u"bibliography" &&
        text.endsWith(QStringLiteral(".bib")))
        text.chop(4);
    const int lineStart = control->LineStart(contextLine_);
    const int start = lineStart + context_.start;
    const int layout = control->InsertCharset();
    Close();
    {
        platform::TRichEdit::EditBlock block(*control);
        control->SetSel(start, context_.end - context_.start);
        control->SetSelText(QStringView());
        // Each run of letters is shown in its own script, as typing it would have shown it.
        for (int i = 0; i < text.size();) {
            const bool cyrillic = isCyrillic(text[i]);
            int end = i + 1;
            while (end < text.size() && isCyrillic(text[end]) == cyrillic)
                ++end;
            control->SetInsertCharset(cyrillic ? platform::kCyrillicCharset
                                               : platform::kLatinCharset);
            control->SetSelText(QStringView(text).mid(i, end - i));
            i = end;
        }
    }
    // No switch the user did not ask for: the layout stays the one they were typing in.
    control->SetInsertCharset(layout);
    editor_.RefreshLayoutIndicator();
}

bool CompletionPopup::chosenIsWritten() const {
    const Candidate* candidate = model_->At(view_->currentIndex().row());
    const platform::TRichEdit* control = editor_.RichEdit1;
    return candidate && control && contextLine_ >= 0 &&
           control->LineText(contextLine_).mid(context_.start, context_.end - context_.start) ==
               candidate->text;
}

bool CompletionPopup::takesKey(const QKeyEvent* key) const {
    if (!IsShown() || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Escape:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return true;
    default:
        return false;
    }
}

void CompletionPopup::handleKey(const QKeyEvent* key) {
    const int rows = model_->rowCount();
    const int row = view_->currentIndex().row();
    const auto select = [this, rows](int to) {
        view_->setCurrentIndex(model_->index(std::clamp(to, 0, rows - 1)));
    };
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
        Accept();
        break;
    case Qt::Key_Escape:
        dismissedLine_ = contextLine_;
        dismissedStart_ = context_.start;
        Close();
        break;
    case Qt::Key_Up:
        select(row <= 0 ? rows - 1 : row - 1);
        break;
    case Qt::Key_Down:
        select(row + 1 >= rows ? 0 : row + 1);
        break;
    case Qt::Key_PageUp:
        select(row - kRowsShown);
        break;
    case Qt::Key_PageDown:
        select(row + kRowsShown);
        break;
    default:
        break;
    }
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
    if (!editor_.RichEdit1) return false;
    if (watched == editor_.RichEdit1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) Close();
        return false;
    }
    if (watched != editor_.RichEdit1) return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // The popup's keys go before the window's shortcuts (Esc stops a compile).
        auto* key = static_cast<QKeyEvent*>(event);
        if (takesKey(key)) {
            key->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        // Enter on an entry written out already ("\\item" among "\\itemsep" ...) is the
        // user's line break, not a choice.
        if (IsShown() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            chosenIsWritten())
            Close();
        if (takesKey(key)) {
            swallowRelease_ = key->key();
            editor_.Guarded([this, key] { handleKey(key); });
            return true;
        }
        if (key->key() == Qt::Key_Space && (key->modifiers() & Qt::ControlModifier)) {
            dismissedLine_ = -1;
            editor_.Guarded([this] { Refresh(true); });
            return true;
        }
        // Looked at once the control has done the key.
        const bool typed = !key->text().isEmpty() && key->text()[0].isPrint();
        const bool opening = typed && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        openingQueued_ = openingQueued_ || opening;
        if ((opening || IsShown()) && !refreshQueued_) {
            refreshQueued_ = true;
            QTimer::singleShot(0, this, [this] {
                const bool open = openingQueued_;
                refreshQueued_ = false;
                openingQueued_ = false;
                editor_.Guarded([this, open] { Refresh(open); });
            });
        }
        return false;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (swallowRelease_ != 0 && key->key() == swallowRelease_) {
            if (!key->isAutoRepeat()) swallowRelease_ = 0;
            return true;
        }
        return false;
    }
    case QEvent::FocusOut:
    case QEvent::Hide:
        Close();
        return false;
    default:
        return false;
    }
}

} // namespace project
