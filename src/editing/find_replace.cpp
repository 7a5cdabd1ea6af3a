#include "editing/find_replace.h"

namespace editing {

int findInEditor(const FindTarget& target, QStringView text, int start, int length,
                 SearchOptions options) {
    if (text.isEmpty()) return -1;
    if (length > 0) return target.findText(text, start, start + length, options);
    int found = -1;
    int from = start + length;
    for (;;) {
        const int r = target.findText(text, from, start, options);
        if (r < 0) break;
        found = r;
        from = r + 1;
    }
    return found;
}

namespace {

int textSize(QStringView text) {
    return static_cast<int>(text.size());
}

} // namespace

bool findNext(FindTarget& target, QStringView text, bool down, SearchOptions options) {
    int start, length;
    if (down) {
        start = target.selStart() + target.selLength();
        length = target.textLength() - start;
    } else {
        start = target.selStart();
        length = -start;
    }
    const int pos = findInEditor(target, text, start, length, options);
    if (pos < 0) return false;
    target.select(pos, textSize(text));
    return true;
}

bool findNextForward(FindTarget& target, QStringView text, SearchOptions options) {
    if (text.isEmpty()) return false;
    const int start = target.selStart() + target.selLength();
    const int pos = target.findText(text, start, target.textLength(), options);
    if (pos < 0) return false;
    target.select(pos, textSize(text));
    return true;
}

bool replaceNext(FindTarget& target, QStringView text, QStringView replacement,
                 SearchOptions options) {
    const int start = target.selStart();
    const int pos = findInEditor(target, text, start, target.textLength() - start, options);
    if (pos < 0) return false;
    target.select(pos, textSize(text));
    target.replaceSelection(replacement);
    return true;
}

int replaceAll(FindTarget& target, QStringView text, QStringView replacement,
               SearchOptions options) {
    int count = 0;
    int caret = 0;
    int start = 0;
    int pos = findInEditor(target, text, start, target.textLength() - start, options);
    while (pos >= 0) {
        const int expected = target.textLength() - textSize(text) + textSize(replacement);
        const int end = target.replaceRange(pos, textSize(text), replacement);
        if (target.textLength() != expected) break; // refused: searching on would not end
        ++count;
        caret = start = end;
        pos = findInEditor(target, text, start, target.textLength() - start, options);
    }
    if (count > 0) target.select(caret, 0);
    return count;
}

} // namespace editing
