// The Edit menu: find and replace, the remembered place, go to line, the clipboard, and
// the paste guard.
#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>
#include <optional>
#include <vector>

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
    int findText(std::string_view text, int from, int to,
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
    void replaceSelection(std::string_view text) override { edit_.SetSelText(text); }

    // Inside an edit block (Replace All) the replacement is made in the document without
    // moving the control's caret: moving it lays out and scrolls to every match, which
    // costs a hundred times more than the edit. The new text takes the format that the
    // control's own replacement gives it, which depends only on the formats of the
    // characters before and at the selection start; each such pair is first replaced by
    // the control itself and its result reused.
    int replaceRange(int start, int length, std::string_view text) override {
        // Held to the control's limit as typing is; refusing leaves the text as it is, which
        // ends Replace All.
        if (edit_.TextLength() - length + platform::TRichEdit::LengthOf(text) >
            platform::TRichEdit::kMaxLength) {
            refused_ = true;
            return start + length;
        }
        if (!inEditBlock_ || text.find_first_of("\r\n") != std::string_view::npos)
            return FindTarget::replaceRange(start, length, text);
        QTextDocument* document = edit_.document();
        const int qtStart = edit_.ToQtPosition(start);
        const QTextBlock block = document->findBlock(qtStart);
        if (qtStart >= block.position() + block.length() - 1) // on a line break
            return FindTarget::replaceRange(start, length, text);
        const QTextCharFormat at = formatOfCharacter(document, qtStart);
        const QTextCharFormat before =
            qtStart == block.position() ? at : formatOfCharacter(document, qtStart - 1);
        const QTextCharFormat* inserted = nullptr;
        for (const Learned& l : learned_)
            if (l.before == before && l.at == at) inserted = &l.inserted;
        if (inserted == nullptr && !text.empty()) {
            const int end = FindTarget::replaceRange(start, length, text);
            if (learned_.size() < 32)
                learned_.push_back({before, at, formatOfCharacter(document, qtStart)});
            return end;
        }
        QTextCursor cursor(document);
        cursor.setPosition(qtStart);
        cursor.setPosition(edit_.ToQtPosition(start + length), QTextCursor::KeepAnchor);
        if (text.empty())
            cursor.removeSelectedText();
        else
            cursor.insertText(platform::fromCp1251(text), *inserted);
        return start + static_cast<int>(text.size());
    }

    void setInEditBlock(bool on) { inEditBlock_ = on; }
    // A replacement was refused because it would take the text past the control's limit.
    bool refused() const { return refused_; }

  private:
    struct Learned {
        QTextCharFormat before;
        QTextCharFormat at;
        QTextCharFormat inserted;
    };

    static QTextCharFormat formatOfCharacter(QTextDocument* document, int qtPosition) {
        QTextCursor probe(document);
        probe.setPosition(qtPosition + 1);
        return probe.charFormat();
    }

    platform::TRichEdit& edit_;
    bool focused_ = false;
    bool inEditBlock_ = false;
    bool refused_ = false;
    std::vector<Learned> learned_;
};

// Groups a run of edits into one undo step, laid out once at the end.
class EditBlock {
  public:
    explicit EditBlock(QTextDocument* document) : cursor_(document) { cursor_.beginEditBlock(); }
    ~EditBlock() { cursor_.endEditBlock(); }
    EditBlock(const EditBlock&) = delete;
    EditBlock& operator=(const EditBlock&) = delete;

  private:
    QTextCursor cursor_;
};

// What the clipboard held when the editor itself last copied or cut: such text pastes
// back exactly as it was copied. changed counts the characters the guard replaced in the
// paste under way.
class PasteGuardState : public QObject {
  public:
    using QObject::QObject;
    QString editorCopy;
    bool hasEditorCopy = false;
    int changed = 0;
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
            if (copied ==
                withoutCarriageReturns(platform::fromCp1251(editor.RichEdit1->SelText()))) {
                state->editorCopy = copied;
                state->hasEditorCopy = true;
            }
        });
    }
    editor.RichEdit1->OnPaste = [&editor, state](const QString& text) -> std::string {
        state->changed = 0;
        if (state->hasEditorCopy && withoutCarriageReturns(text) == state->editorCopy)
            return platform::toCp1251(text);
        editing::GuardedPaste guarded =
            editing::guardPastedText(text, editor.DocEncoding == platform::TextEncoding::Utf8);
        state->changed = guarded.changed;
        return std::move(guarded.text);
    };
    // Told once the text is in (a paste refused at the length limit changed nothing): the
    // notice stands in for the layout indicator until the next key or caret move.
    editor.RichEdit1->OnPasted = [&editor, state] {
        if (state->changed > 0)
            editor.ShowIndicatorNotice(
                QString::fromUtf8("Вставка: заменено знаков: %1").arg(state->changed));
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
    return editing::findInEditor(target, text, start, length, {wholeWord, matchCase});
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
    if (find.FindText().empty()) return;
    findFromFindDialog(editor, find);
}

void showReplaceDialog(state::Editor& editor, TReplaceDialog& replace, const TFindDialog& find) {
    if (replace.FindText().empty()) replace.SetFindText(find.FindText());
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
    if (replace.ReplaceAll()) {
        const int selStart = edit.SelStart(), selLength = edit.SelLength();
        const bool modified = edit.Modified();
        int count = 0;
        {
            EditBlock block(edit.document());
            target.setInEditBlock(true);
            count = editing::replaceAll(target, replace.FindText(), replace.ReplaceText(), options);
        }
        if (target.refused()) {
            // All or nothing, as a paste is: when one replacement would take the text past
            // the limit, those made before it are taken back (they are one undo step) and
            // leave nothing to redo.
            QTextDocument* document = edit.document();
            if (count > 0) {
                document->undo();
                document->clearUndoRedoStacks(QTextDocument::RedoStack);
            }
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
