#pragma once
// Find and replace over the editing control. The control's own find searches forwards
// only; searching upwards is built from repeated forward searches. Positions count every
// line break as two characters.
#include <QStringView>

namespace editing {

struct SearchOptions {
    bool wholeWord = false;
    bool matchCase = false;
};

// What find and replace need of the editing control.
class FindTarget {
  public:
    virtual ~FindTarget() = default;
    virtual int textLength() const = 0;
    virtual int selStart() const = 0;
    virtual int selLength() const = 0;
    // The first match lying wholly inside [from, to), searching forwards; -1 if none.
    virtual int findText(QStringView text, int from, int to, SearchOptions options) const = 0;
    // Gives the control the focus and selects.
    virtual void select(int start, int length) = 0;
    // Replaces the selection; the caret ends after the new text.
    virtual void replaceSelection(QStringView text) = 0;
    // Selects [start, start + length) and replaces it; returns the position just after the
    // new text. A control may do it without moving its caret (the caller places the caret
    // when a run of replacements is over).
    virtual int replaceRange(int start, int length, QStringView text) {
        select(start, length);
        replaceSelection(text);
        return selStart() + selLength();
    }
};

// length > 0: the first match in [start, start + length). Otherwise the match with the
// greatest start lying wholly inside [start + length, start); a length of 0 finds nothing.
// An empty search text finds nothing.
int findInEditor(const FindTarget& target, QStringView text, int start, int length,
                 SearchOptions options);

// Find Next of the Find dialog: from the end of the selection downwards, or from its start
// upwards; the match is selected. False (nothing changed) when there is none.
bool findNext(FindTarget& target, QStringView text, bool down, SearchOptions options);

// Find Next of the Replace dialog: always downwards from the end of the selection.
bool findNextForward(FindTarget& target, QStringView text, SearchOptions options);

// Replace: the first match from the selection start on (the selected match itself when
// Find Next left one) is selected and replaced. False when there is none.
bool replaceNext(FindTarget& target, QStringView text, QStringView replacement,
                 SearchOptions options);

// Replace All: every match from the start of the text, never searching inside the text
// just inserted; the caret ends after the last new text. Returns how many were replaced.
// Stops when the control refuses a replacement (the text would pass the control's limit),
// so it always ends.
int replaceAll(FindTarget& target, QStringView text, QStringView replacement,
               SearchOptions options);

} // namespace editing
