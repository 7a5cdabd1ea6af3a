#include "typography/fix_layout.h"

#include "platform/keyboard_layouts.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/text_encoding.h"
#include "platform/text_marks.h"
#include "state/editor.h"

namespace typography {

void FixLayout(state::Editor& editor) {
    platform::TRichEdit& edit = *editor.RichEdit1;
    int start = edit.SelStart();
    int length = edit.SelLength();
    QString text;
    if (length > 0) {
        text = edit.SelectedText();
    } else {
        // The word before the caret, within its line (a position there is one unit).
        const platform::TextMarks& marks =
            platform::TextMarks::Of(edit, platform::MarkLayer::Typography);
        const platform::TextMarks::Point caret = marks.Caret();
        const QString line = marks.Line(caret.line).text;
        const int from = platform::wrongLayoutWordStart(line, caret.offset);
        text = line.mid(from, caret.offset - from);
        length = caret.offset - from;
        start -= length;
    }
    const bool toCyrillic = platform::retypesToCyrillic(text);
    QString retyped = platform::retypeInLayout(text, toCyrillic);
    for (qsizetype i = 0; i < retyped.size(); ++i)
        if (!platform::holdsCharacter(editor.DocEncoding, retyped[i].unicode()))
            retyped[i] = text[i];
    if (retyped == text) {
        editor.prompts().beep();
        return;
    }
    {
        const platform::TRichEdit::EditBlock block(edit);
        edit.SetSel(start, length);
        edit.SetInsertCharset(toCyrillic ? 204 : 0);
        if (!edit.SetSelText(QStringView(retyped))) return; // the control has beeped
    }
    editor.RefreshLayoutIndicator();
}

} // namespace typography
