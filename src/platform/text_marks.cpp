#include "platform/text_marks.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <algorithm>
#include <array>

#include "platform/richedit.h"

namespace platform {
namespace {

// A line's marks in one layer.
struct BlockMarks {
    std::vector<LineRange> marks;
    bool checked = false;
    bool stateKnown = false;
    int endState = TextMarks::kUnknownState; // kept when unknown, to tell a change
};

// Every layer's marks of a line, kept by its block so that they follow it as lines come and
// go.
struct BlockData : QTextBlockUserData {
    std::array<BlockMarks, kMarkLayers> layers;
};

// The line's text or what comes before it changed: its marks and its state are out of date.
void outdate(BlockMarks* data) {
    if (!data) return;
    data->checked = false;
    data->stateKnown = false;
}

int index(MarkLayer layer) {
    return static_cast<int>(layer);
}

BlockMarks* marksOf(const QTextBlock& block, MarkLayer layer) {
    auto* data = static_cast<BlockData*>(block.userData());
    return data ? &data->layers[static_cast<size_t>(index(layer))] : nullptr;
}

// The block's data, made at its first use (a checked line without marks keeps its flag and
// its end state there too).
BlockMarks& madeMarksOf(QTextBlock& block, MarkLayer layer) {
    if (!block.userData()) block.setUserData(new BlockData);
    return *marksOf(block, layer);
}

QColor markColour(MarkLayer layer) {
    switch (layer) {
    case MarkLayer::Typography:
        return QColor(0x1f, 0x6f, 0xe0);
    case MarkLayer::References:
        return QColor(0xe0, 0x78, 0x00);
    case MarkLayer::Spelling:
        break;
    }
    return Qt::red;
}

const QString& layerName(MarkLayer layer) {
    static const std::array<QString, kMarkLayers> names = {QStringLiteral("SpellingMarks"),
                                                           QStringLiteral("TypographyMarks"),
                                                           QStringLiteral("ReferenceMarks")};
    return names[static_cast<size_t>(index(layer))];
}

} // namespace

TextMarks::TextMarks(TRichEdit& edit, MarkLayer layer)
    : QObject(&edit), edit_(edit), layer_(layer) {
    setObjectName(layerName(layer));
    // Marks are shown from the event loop, never from inside an edit or a scroll, where the
    // control's layout may not have caught up with its text yet.
    showTimer_.setSingleShot(true);
    showTimer_.setInterval(0);
    connect(&showTimer_, &QTimer::timeout, this, &TextMarks::showMarks);
    QTextDocument* document = edit.document();
    blockCount_ = document->blockCount();
    connect(document, &QTextDocument::contentsChange, this, &TextMarks::textChanged);
    connect(edit.verticalScrollBar(), &QScrollBar::valueChanged, this, &TextMarks::viewChanged);
    edit.AddOverlay(this,
                    [this](QPainter& painter, const std::vector<TRichEdit::PaintedLine>& lines) {
                        paintMarks(painter, lines);
                    });
    edit.installEventFilter(this);             // the Menu key comes to the control
    edit.viewport()->installEventFilter(this); // a right click to its viewport
}

TextMarks& TextMarks::Of(TRichEdit& edit, MarkLayer layer) {
    auto* marks = edit.findChild<TextMarks*>(layerName(layer), Qt::FindDirectChildrenOnly);
    return marks != nullptr ? *marks : *new TextMarks(edit, layer);
}

QTextBlock TextMarks::block(int line) const {
    return edit_.document()->findBlockByNumber(line);
}

int TextMarks::LineCount() const {
    return edit_.document()->blockCount();
}

TextLine TextMarks::Line(int line) const {
    TextLine result;
    const QTextBlock b = block(line);
    if (!b.isValid()) return result;
    result.text = b.text();
    result.latin.reserve(static_cast<size_t>(result.text.size()));
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const bool latin = TRichEdit::CharsetOfFormat(fragment.charFormat()) == kLatinCharset;
        result.latin.insert(result.latin.end(), static_cast<size_t>(fragment.length()), latin);
    }
    result.latin.resize(static_cast<size_t>(result.text.size()), true);
    return result;
}

std::pair<int, int> TextMarks::ShownLines() const {
    if (shownFirst_ < 0) {
        // Two hit tests walk the lines in view: found once per scroll, resize or change of
        // lines, not for every line whose marks are set.
        const QRect view = edit_.viewport()->rect();
        shownFirst_ = edit_.cursorForPosition(view.topLeft()).blockNumber();
        shownLast_ = edit_.cursorForPosition(QPoint(0, view.bottom())).blockNumber();
        shownLast_ = std::max(shownLast_, shownFirst_);
    }
    return {shownFirst_, shownLast_};
}

bool TextMarks::IsChecked(int line) const {
    const BlockMarks* data = marksOf(block(line), layer_);
    return data && data->checked;
}

std::vector<LineRange> TextMarks::Marks(int line) const {
    const BlockMarks* data = marksOf(block(line), layer_);
    return data ? data->marks : std::vector<LineRange>{};
}

void TextMarks::SetMarks(int line, std::vector<LineRange> marks) {
    QTextBlock b = block(line);
    if (!b.isValid()) return;
    BlockMarks& data = madeMarksOf(b, layer_);
    const bool changed = data.marks != marks;
    data.marks = std::move(marks);
    data.checked = true;
    if (changed) scheduleShow();
}

int TextMarks::NextUnchecked(int from, int last) const {
    int line = std::max(from, 0);
    for (QTextBlock b = block(line); b.isValid() && (last < 0 || line <= last);
         b = b.next(), ++line) {
        const BlockMarks* data = marksOf(b, layer_);
        if (!data || !data->checked) return line;
    }
    return -1;
}

TextMarks::Found TextMarks::FindMark(int line, int offset) const {
    line = std::max(line, 0);
    for (QTextBlock b = block(line); b.isValid(); b = b.next(), ++line, offset = 0) {
        const BlockMarks* data = marksOf(b, layer_);
        if (!data || !data->checked) return {line, {}, false};
        for (const LineRange& mark : data->marks)
            if (mark.start >= offset) return {line, mark, true};
    }
    return {};
}

void TextMarks::ClearAll() {
    for (QTextBlock b = edit_.document()->firstBlock(); b.isValid(); b = b.next())
        if (BlockMarks* data = marksOf(b, layer_)) *data = BlockMarks{};
    scheduleShow();
}

std::vector<int> TextMarks::MarkedLines() const {
    std::vector<int> lines;
    int line = 0;
    for (QTextBlock b = edit_.document()->firstBlock(); b.isValid(); b = b.next(), ++line)
        if (const BlockMarks* data = marksOf(b, layer_); data && !data->marks.empty())
            lines.push_back(line);
    return lines;
}

int TextMarks::EndState(int line) const {
    const BlockMarks* data = marksOf(block(line), layer_);
    return data && data->stateKnown ? data->endState : kUnknownState;
}

void TextMarks::SetEndState(int line, int state) {
    QTextBlock b = block(line);
    if (!b.isValid()) return;
    BlockMarks& data = madeMarksOf(b, layer_);
    const bool changed = data.endState != state;
    data.endState = state;
    data.stateKnown = true;
    if (changed) outdate(marksOf(b.next(), layer_));
}

TextMarks::Point TextMarks::Caret() const {
    // Found from the position alone: moving a cursor there would lay out its line.
    const int position = edit_.textCursor().selectionEnd();
    const QTextBlock b = edit_.document()->findBlock(position);
    const int offset = position - b.position();
    return {b.blockNumber(), offset,
            offset > 0 ? edit_.document()->characterAt(position - 1) : QChar()};
}

void TextMarks::Select(int line, LineRange range) {
    const QTextBlock b = block(line);
    if (!b.isValid()) return;
    edit_.SetSel(edit_.FromQtPosition(b.position() + range.start), range.length);
    edit_.ensureCursorVisible();
}

bool TextMarks::Replace(int line, LineRange range, const QString& text) {
    const QTextBlock b = block(line);
    if (!b.isValid() || range.start < 0 || range.end() > b.length() - 1) return false;
    if (edit_.TextLength() - range.length + text.size() > edit_.MaxLength()) return false;
    QTextCursor cursor(edit_.document());
    cursor.setPosition(b.position() + range.start + 1);
    const QTextCharFormat format = cursor.charFormat(); // that of the range's first character
    cursor.setPosition(b.position() + range.start);
    cursor.setPosition(b.position() + range.end(), QTextCursor::KeepAnchor);
    cursor.beginEditBlock();
    cursor.insertText(text, format);
    cursor.endEditBlock();
    return true;
}

void TextMarks::textChanged(int position, int removed, int added) {
    const QTextDocument* document = edit_.document();
    const int blockCount = document->blockCount();
    const bool sameLines = blockCount == blockCount_;
    blockCount_ = blockCount;
    if (!sameLines) shownFirst_ = -1;
    if (position == 0 && added >= document->characterCount() - 1) {
        // A document loaded or the control cleared: the blocks are new and hold no marks.
        scheduleShow();
        if (OnTextReplaced) OnTextReplaced();
        return;
    }
    const QTextBlock first = document->findBlock(position);
    const int end = position + added;
    if (sameLines && end < first.position() + first.length()) {
        // Within one line: what the edit touched goes, what follows it moves.
        if (BlockMarks* data = marksOf(first, layer_)) {
            const int offset = position - first.position();
            outdate(data);
            const size_t before = data->marks.size();
            std::vector<LineRange> kept;
            for (LineRange mark : data->marks) {
                if (mark.end() < offset) {
                    kept.push_back(mark);
                } else if (mark.start > offset + removed) {
                    mark.start += added - removed;
                    kept.push_back(mark);
                }
            }
            data->marks = std::move(kept);
            if (data->marks.size() != before) scheduleShow();
        }
        if (OnLinesEdited) {
            const int line = first.blockNumber();
            OnLinesEdited(line, line);
        }
        return;
    }
    const QTextBlock last = document->findBlock(end);
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        if (BlockMarks* data = marksOf(b, layer_)) {
            data->marks.clear();
            outdate(data);
        }
        if (b == last) {
            outdate(marksOf(b.next(), layer_));
            break;
        }
    }
    if (OnLinesEdited) OnLinesEdited(first.blockNumber(), last.blockNumber());
}

void TextMarks::showMarks() {
    edit_.viewport()->update();
}

namespace {

// A wave under [x0, x1] hanging from y, two pixels deep.
void drawWave(QPainter& painter, qreal x0, qreal x1, qreal y) {
    QPolygonF wave;
    bool down = false;
    for (qreal x = x0; x < x1; x += 2, down = !down)
        wave << QPointF(x, down ? y + 2 : y);
    wave << QPointF(x1, down ? y + 2 : y);
    painter.drawPolyline(wave);
}

} // namespace

void TextMarks::paintMarks(QPainter& painter, const std::vector<TRichEdit::PaintedLine>& lines) {
    bool penSet = false;
    for (const auto& [b, rect] : lines) {
        const BlockMarks* data = marksOf(b, layer_);
        if (!data || data->marks.empty()) continue;
        if (!penSet) {
            painter.setPen(QPen(markColour(layer_), 1));
            penSet = true;
        }
        const QTextLayout* layout = b.layout();
        const int length = b.length() - 1;
        for (const LineRange& mark : data->marks) {
            if (mark.start < 0 || mark.length <= 0 || mark.end() > length) continue;
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                const int from = std::max(mark.start, line.textStart());
                const int to = std::min(mark.end(), line.textStart() + line.textLength());
                if (from >= to) continue;
                const qreal x0 = rect.left() + line.cursorToX(from);
                const qreal x1 = rect.left() + line.cursorToX(to);
                const qreal bottom = rect.top() + line.y() + line.height() - 1;
                const qreal y = std::min(rect.top() + line.y() + line.ascent() + 1, bottom - 2);
                drawWave(painter, std::min(x0, x1), std::max(x0, x1), y);
            }
        }
    }
}

void TextMarks::scheduleShow() {
    if (!showTimer_.isActive()) showTimer_.start();
}

void TextMarks::viewChanged() {
    shownFirst_ = -1;
    scheduleShow();
    if (OnViewChanged) OnViewChanged();
}

bool TextMarks::markAt(const QTextCursor& at, int& line, LineRange& mark) const {
    const QTextBlock b = at.block();
    const BlockMarks* data = marksOf(b, layer_);
    if (!data) return false;
    const int offset = at.position() - b.position();
    for (const LineRange& each : data->marks) {
        if (offset < each.start || offset > each.end()) continue;
        line = b.blockNumber();
        mark = each;
        return true;
    }
    return false;
}

bool TextMarks::contextMenu(const QPoint& viewportPos, const QPoint& globalPos, bool atCaret) {
    if (!OnMarkMenu) return false;
    const QTextCursor at = atCaret ? edit_.textCursor() : edit_.cursorForPosition(viewportPos);
    int line = 0;
    LineRange mark;
    if (!markAt(at, line, mark)) return false;
    const QPoint where =
        atCaret ? edit_.viewport()->mapToGlobal(edit_.cursorRect(at).bottomLeft()) : globalPos;
    return OnMarkMenu(line, mark, where);
}

bool TextMarks::toolTip(const QPoint& viewportPos, const QPoint& globalPos) {
    if (!OnMarkToolTip) return false;
    int line = 0;
    LineRange mark;
    if (!markAt(edit_.cursorForPosition(viewportPos), line, mark)) return false;
    const QString text = OnMarkToolTip(line, mark);
    if (text.isEmpty()) return false;
    QToolTip::showText(globalPos, text, edit_.viewport());
    return true;
}

bool TextMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu) {
        auto* menuEvent = static_cast<QContextMenuEvent*>(event);
        const bool keyboard = menuEvent->reason() == QContextMenuEvent::Keyboard;
        // The Menu key reaches the control, a click its viewport.
        if (keyboard == (watched == &edit_) &&
            contextMenu(menuEvent->pos(), menuEvent->globalPos(), keyboard))
            return true;
    } else if (event->type() == QEvent::ToolTip && watched == edit_.viewport()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (toolTip(help->pos(), help->globalPos())) return true;
    } else if (event->type() == QEvent::Resize && watched == edit_.viewport()) {
        viewChanged();
    }
    return false;
}

} // namespace platform
