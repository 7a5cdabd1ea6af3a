// The Edit menu: find and replace, the remembered place, go to line, the clipboard, and
// the paste guard.
#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>
#include <optional>

#include "editing/editing_commands.h"
#include "editing/find_dialogs.h"
#include "editing/find_replace.h"
#include "editing/go_to_line.h"
#include "editing/paste_guard.h"
#include "platform/codepage.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/textfile.h"
#include "state/editor.h"

namespace {

// The editing control as find and replace see it. The control takes the focus (and its
// window the activation) once, at the first selection.
class RichEditTarget final : public editing::FindTarget {
  public:
    explicit RichEditTarget(platform::TRichEdit& edit) : edit_(edit) {}

    int textLength() const override { return edit_.TextLength(); }
    int selStart() const override { return edit_.SelStart(); }
    int selLength() const override { return edit_.SelLength(); }
    int findText(QStringView text, int from, int to,
                 editing::SearchOptions options) const override {
        return edit_.FindText(text, from, to, options.wholeWord, options.matchCase);
    }
    void select(int start, int length) override {
        if (!focused_) {
            edit_.activateWindow();
            edit_.setFocus();
            focused_ = true;
        }
        edit_.SetSel(start, length);
    }
    void replaceSelection(QStringView text) override { edit_.SetSelText(text); }

    // Replace All runs inside an edit block: the replacement is made without moving the
    // caret (replaceAll places it when the run is over). Held to the control's limit as
    // typing is; refusing leaves the text as it is, which ends Replace All.
    int replaceRange(int start, int length, QStringView text) override {
        const int end = edit_.ReplaceRange(start, length, text);
        if (end >= 0) return end;
        refused_ = true;
        return start + length;
    }

    // A replacement was refused because it would take the text past the control's limit.
    bool refused() const { return refused_; }

  private:
    platform::TRichEdit& edit_;
    bool focused_ = false;
    bool refused_ = false;
};

// What the clipboard held when the editor itself last copied or cut: such text pastes
// back exactly as it was copied. notice is what the guard tells of the paste under way.
class PasteGuardState : public QObject {
  public:
    using QObject::QObject;
    QString editorCopy;
    bool hasEditorCopy = false;
    QString notice;
};

QString withoutCarriageReturns(QString text) {
    text.remove(QLatin1Char('\r'));
    text.replace(QChar(0x2029), QLatin1Char('\n'));
    return text;
}

// Pasted text passes the paste guard, except text that the editor itself copied.
void installPasteGuard(state::Editor& editor, QObject& owner) {
    auto* state = new PasteGuardState(&owner);
    state->setObjectName(QStringLiteral("PasteGuard"));
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        QObject::connect(clipboard, &QClipboard::dataChanged, state, [&editor, state, clipboard] {
            // The editor copies while its selection is still there (a cut removes it after).
            state->hasEditorCopy = false;
            if (editor.RichEdit1->SelLength() <= 0) return;
            const QString copied = withoutCarriageReturns(clipboard->text());
            if (copied == withoutCarriageReturns(editor.RichEdit1->SelectedText())) {
                state->editorCopy = copied;
                state->hasEditorCopy = true;
            }
        });
    }
    editor.RichEdit1->OnPaste = [&editor, state](const QString& text) -> QString {
        state->notice.clear();
        // The editor's own copy goes back as it was, unless the document is now one whose
        // encoding could not save it.
        if (state->hasEditorCopy && withoutCarriageReturns(text) == state->editorCopy &&
            !platform::firstUnheldCharacter(withoutCarriageReturns(text), editor.DocEncoding))
            return text;
        editing::GuardedPaste guarded = editing::guardPastedText(text, editor.DocEncoding);
        state->notice = editing::pasteNotice(guarded);
        return std::move(guarded.text);
    };
    // Told once the text is in (a paste refused at the length limit changed nothing): the
    // notice stands in for the layout indicator until the next key or caret move.
    editor.RichEdit1->OnPasted = [&editor, state] {
        if (!state->notice.isEmpty()) editor.ShowIndicatorNotice(state->notice);
    };
}

} // namespace

namespace editing {

FindDialogs createFindDialogs(state::Editor& editor, QWidget& window) {
    auto* find = new TFindDialog(&window);
    auto* replace = new TReplaceDialog(&window);
    QObject::connect(find, &TFindDialog::Find, &window, [&editor, find] {
        editor.Guarded([&editor, find] { findFromFindDialog(editor, *find); });
    });
    QObject::connect(replace, &TReplaceDialog::Find, &window, [&editor, replace] {
        editor.Guarded([&editor, replace] { findFromReplaceDialog(editor, *replace); });
    });
    QObject::connect(replace, &TReplaceDialog::Replace, &window, [&editor, replace] {
        editor.Guarded([&editor, replace] { replaceFromDialog(editor, *replace); });
    });
    installPasteGuard(editor, window);
    return {find, replace};
}

int findInControl(state::Editor& editor, const std::string& text, int start, int length,
                  bool wholeWord, bool matchCase) {
    RichEditTarget target(*editor.RichEdit1);
    return editing::findInEditor(target, platform::fromCp1251(text), start, length,
                                 {wholeWord, matchCase});
}

namespace {

// The dialogs open at the main window's top-left corner.
QPoint dialogCorner(const state::Editor& editor) {
    return editor.RichEdit1->window()->frameGeometry().topLeft();
}

} // namespace

void showFindDialog(state::Editor& editor, TFindDialog& find) {
    find.Execute(dialogCorner(editor));
}

void findAgain(state::Editor& editor, const TFindDialog& find) {
    if (find.FindText().isEmpty()) return;
    findFromFindDialog(editor, find);
}

void showReplaceDialog(state::Editor& editor, TReplaceDialog& replace, const TFindDialog& find) {
    if (replace.FindText().isEmpty()) replace.SetFindText(find.FindText());
    replace.Execute(dialogCorner(editor));
}

void findFromFindDialog(state::Editor& editor, const TFindDialog& find) {
    RichEditTarget target(*editor.RichEdit1);
    if (!editing::findNext(target, find.FindText(), find.Down(),
                           {find.WholeWord(), find.MatchCase()}))
        editor.prompts().beep();
}

void findFromReplaceDialog(state::Editor& editor, const TReplaceDialog& replace) {
    RichEditTarget target(*editor.RichEdit1);
    if (!editing::findNextForward(target, replace.FindText(),
                                  {replace.WholeWord(), replace.MatchCase()}))
        editor.prompts().beep();
}

void replaceFromDialog(state::Editor& editor, const TReplaceDialog& replace) {
    platform::TRichEdit& edit = *editor.RichEdit1;
    RichEditTarget target(edit);
    const editing::SearchOptions options{replace.WholeWord(), replace.MatchCase()};
    // A replacement the document's encoding could not save is refused before anything
    // changes, as a paste of it would be guarded.
    if (const auto unheld =
            platform::firstUnheldCharacter(replace.ReplaceText(), editor.DocEncoding))
        throw platform::UnheldCharacterError(editor.DocEncoding, *unheld);
    if (replace.ReplaceAll()) {
        const int selStart = edit.SelStart(), selLength = edit.SelLength();
        const bool modified = edit.Modified();
        int count = 0;
        {
            platform::TRichEdit::EditBlock block(edit);
            count = editing::replaceAll(target, replace.FindText(), replace.ReplaceText(), options);
        }
        if (target.refused()) {
            // All or nothing, as a paste is: when one replacement would take the text past
            // the limit, those made before it are taken back (they are one undo step) and
            // leave nothing to redo.
            if (count > 0) edit.UndoLastStep();
            edit.SetModified(modified);
            edit.SetSel(selStart, selLength);
            editor.prompts().beep();
        }
    } else if (!editing::replaceNext(target, replace.FindText(), replace.ReplaceText(), options)) {
        editor.prompts().beep();
    }
}

void rememberPlace(state::Editor& editor) {
    editor.MarkedPosition = editor.RichEdit1->SelStart();
}

void returnToPlace(state::Editor& editor) {
    if (editor.MarkedPosition < 0) return;
    editor.RichEdit1->SetSel(editor.MarkedPosition, 0);
    editor.RefreshLayoutIndicator();
}

void goToLine(state::Editor& editor) {
    const std::optional<std::string> answer = editor.prompts().inputBox(
        platform::toCp1251(u"Переход"), platform::toCp1251(u"Номер строки:"), "");
    if (!answer) return;
    int32_t lineNumber = 0;
    if (!platform::parseInteger(*answer, lineNumber)) {
        editor.prompts().beep();
        return;
    }
    caretToLine(editor, lineNumber);
}

void caretToLine(state::Editor& editor, int32_t lineNumber) {
    platform::TRichEdit& edit = *editor.RichEdit1;
    const int32_t position = editing::lineStartPosition(
        lineNumber, edit.LineCount(), [&edit](int line) { return edit.LineLength(line); });
    edit.SetSel(position, 0);
    editor.RefreshLayoutIndicator();
}

void cut(state::Editor& editor) {
    editor.RichEdit1->CutToClipboard();
}
void copy(state::Editor& editor) {
    editor.RichEdit1->CopyToClipboard();
}
void paste(state::Editor& editor) {
    editor.RichEdit1->PasteFromClipboard();
}

} // namespace editing
