#pragma once
// Marks over the editing control's text: ranges of lines drawn with a wavy underline, one
// colour per layer (the spell checker's unknown words in red, the typography checks' in
// blue, the project's reference problems in orange). Each layer is a TextMarks of its own
// over the same control, and each keeps its own marks, checked lines and end states; none
// sees another's. They are never part of the text or its format:
// saving, undo, the runs, the typing rules and the recovery journal see nothing of them.
// The control draws them over its lines after drawing the lines (TRichEdit's overlays), so
// a key costs next to nothing more, marks near it or not.
//
// A line keeps its marks as lines before it come and go. An edit inside a line drops the
// marks it touches, shifts the ones after it and leaves the line unchecked until its marks
// are set again; so does a change of the line's formats (its character sets). An edit over
// several lines leaves every line it touched unchecked and unmarked, and the line after them
// unchecked: what they leave open for it may have changed.
#include <QObject>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "platform/richedit.h"
#include "platform/text_line.h"

class QPainter;
class QTextBlock;
class QTextCursor;

namespace platform {

enum class MarkLayer : int { Spelling, Typography, References };
inline constexpr int kMarkLayers = 3;

class TextMarks final : public QObject {
    Q_OBJECT

  public:
    // Lives as the control's child.
    explicit TextMarks(TRichEdit& edit, MarkLayer layer = MarkLayer::Spelling);
    // The control's marks of a layer, made at their first use.
    static TextMarks& Of(TRichEdit& edit, MarkLayer layer);
    TRichEdit& Control() const { return edit_; }
    MarkLayer Layer() const { return layer_; }

    // --- Lines, numbered from 0 (a line break belongs to no line) ---
    int LineCount() const;
    TextLine Line(int line) const;
    // The first and the last line in view.
    std::pair<int, int> ShownLines() const;

    // --- Marks ---
    // Whether the line's marks were set since its text last changed.
    bool IsChecked(int line) const;
    std::vector<LineRange> Marks(int line) const;
    // Sets a line's marks and makes it checked.
    void SetMarks(int line, std::vector<LineRange> marks);
    // The first unchecked line in [from, last] (last -1: to the end), or -1.
    int NextUnchecked(int from, int last = -1) const;
    // The first mark at or after a place, looking through checked lines only: the search
    // stops at the first unchecked line, which the result names (isMark false).
    struct Found {
        int line = -1; // -1: no mark and no unchecked line up to the end
        LineRange mark;
        bool isMark = false;
    };
    Found FindMark(int line, int offset) const;
    // Every line unchecked, no mark shown.
    void ClearAll();
    // The lines that have marks.
    std::vector<int> MarkedLines() const;

    // --- What a line leaves open for the next (the state of the reader of its words) ---
    static constexpr int kUnknownState = -1;
    // The state the line was last read to end in; kUnknownState when its text, or the state
    // it starts in, changed since.
    int EndState(int line) const;
    // Sets it (a non-negative number). When it differs from what the line ended in before,
    // the next line, read from the old one, is unchecked and its state unknown.
    void SetEndState(int line, int state);

    // What the lines above leave open for a line: read from the nearest line whose end state
    // is known, keeping the states of the lines read on the way. State packs into a number
    // (pack, State::unpack); advance(TextLine, State&) reads one line.
    template <typename State, typename Advance> State StateBefore(int line, Advance&& advance) {
        int from = line - 1;
        while (from >= 0 && EndState(from) == kUnknownState)
            --from;
        State state = from >= 0 ? State::unpack(EndState(from)) : State{};
        for (int above = from + 1; above < line; ++above) {
            advance(Line(above), state);
            SetEndState(above, state.pack());
        }
        return state;
    }

    // --- The caret and edits ---
    struct Point {
        int line = 0;
        int offset = 0;
        QChar before; // the character before it in its line (none at the line's start)
    };
    // Where the caret stands (the end of the selection).
    Point Caret() const;
    // Selects a range of a line and brings it into view.
    void Select(int line, LineRange range);
    // Replaces a range of a line in one undo step; the new text takes the format of the
    // range's first character. False (nothing changed) when the text would pass the
    // control's length limit.
    bool Replace(int line, LineRange range, const QString& text);

    // --- Events (all optional) ---
    // After an edit, with the lines it touched as they are numbered now.
    std::function<void(int firstLine, int lastLine)> OnLinesEdited;
    // After the whole text was replaced (a document loaded, the control cleared).
    std::function<void()> OnTextReplaced;
    // After other lines came into view.
    std::function<void()> OnViewChanged;
    // A right click on a mark, or the Menu key with the caret in one: the mark's line and
    // range, and where a menu goes on the screen. True when a menu of its own was shown
    // (the control's own menu is not).
    std::function<bool(int line, LineRange mark, const QPoint& globalPos)> OnMarkMenu;
    // The mouse rests on a mark: the text of its tooltip (empty: none).
    std::function<QString(int line, LineRange mark)> OnMarkToolTip;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void textChanged(int position, int removed, int added);
    void viewChanged();
    bool contextMenu(const QPoint& viewportPos, const QPoint& globalPos, bool atCaret);
    bool toolTip(const QPoint& viewportPos, const QPoint& globalPos);
    // The mark of this layer under a place of the text, if any.
    bool markAt(const QTextCursor& at, int& line, LineRange& mark) const;
    // The marks changed: the lines in view are drawn again.
    void showMarks();
    void paintMarks(QPainter& painter, const std::vector<TRichEdit::PaintedLine>& lines);
    void scheduleShow();
    QTextBlock block(int line) const;

    TRichEdit& edit_;
    MarkLayer layer_;
    int blockCount_ = 1;
    mutable int shownFirst_ = -1; // the lines in view, found again when negative
    mutable int shownLast_ = -1;
    QTimer showTimer_;
};

} // namespace platform
