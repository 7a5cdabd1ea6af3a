// The Edit menu: find and replace, the remembered place, go to line, the clipboard, and
// the paste guard.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <vector>

#include "app/tform1.h"
#include "editing/find_dialogs.h"
#include "editing/find_replace.h"
#include "editing/go_to_line.h"
#include "editing/paste_guard.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

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
void installPasteGuard(TForm1& form) {
    auto* state = new PasteGuardState(&form);
    state->setObjectName(QStringLiteral("PasteGuard"));
    if (QClipboard* clipboard = QGuiApplication::clipboard()) {
        QObject::connect(clipboard, &QClipboard::dataChanged, state, [&form, state, clipboard] {
            // The editor copies while its selection is still there (a cut removes it after).
            state->hasEditorCopy = false;
            if (form.RichEdit1->SelLength() <= 0) return;
            const QString copied = withoutCarriageReturns(clipboard->text());
            if (copied == withoutCarriageReturns(platform::fromCp1251(form.RichEdit1->SelText()))) {
                state->editorCopy = copied;
                state->hasEditorCopy = true;
            }
        });
    }
    form.RichEdit1->OnPaste = [&form, state](const QString& text) -> std::string {
        state->changed = 0;
        if (state->hasEditorCopy && withoutCarriageReturns(text) == state->editorCopy)
            return platform::toCp1251(text);
        editing::GuardedPaste guarded =
            editing::guardPastedText(text, form.DocEncoding == platform::TextEncoding::Utf8);
        state->changed = guarded.changed;
        return std::move(guarded.text);
    };
    // Told once the text is in (a paste refused at the length limit changed nothing): the
    // notice stands in for the layout indicator until the next key or caret move.
    form.RichEdit1->OnPasted = [&form, state] {
        if (state->changed > 0)
            form.ShowIndicatorNotice(
                QString::fromUtf8("Вставка: заменено знаков: %1").arg(state->changed));
    };
}

} // namespace

void TForm1::CreateFindDialogs() {
    FindDialog1 = new TFindDialog(this);
    ReplaceDialog1 = new TReplaceDialog(this);
    connect(FindDialog1, &TFindDialog::Find, this,
            [this] { Guarded([this] { FindDialog1Find(); }); });
    connect(ReplaceDialog1, &TReplaceDialog::Find, this,
            [this] { Guarded([this] { ReplaceDialog1Find(); }); });
    connect(ReplaceDialog1, &TReplaceDialog::Replace, this,
            [this] { Guarded([this] { ReplaceDialog1Replace(); }); });
    installPasteGuard(*this);
}

int TForm1::FindInEditor(const std::string& text, int start, int length, bool wholeWord,
                         bool matchCase) {
    RichEditTarget target(*RichEdit1);
    return editing::findInEditor(target, text, start, length, {wholeWord, matchCase});
}

void TForm1::N15Click() {
    FindDialog1->Execute(frameGeometry().topLeft());
}

void TForm1::N17Click() {
    if (FindDialog1->FindText().empty()) return;
    FindDialog1Find();
}

void TForm1::N16Click() {
    if (ReplaceDialog1->FindText().empty()) ReplaceDialog1->SetFindText(FindDialog1->FindText());
    ReplaceDialog1->Execute(frameGeometry().topLeft());
}

void TForm1::FindDialog1Find() {
    RichEditTarget target(*RichEdit1);
    if (!editing::findNext(target, FindDialog1->FindText(), FindDialog1->Down(),
                           {FindDialog1->WholeWord(), FindDialog1->MatchCase()}))
        prompts().beep();
}

void TForm1::ReplaceDialog1Find() {
    RichEditTarget target(*RichEdit1);
    if (!editing::findNextForward(target, ReplaceDialog1->FindText(),
                                  {ReplaceDialog1->WholeWord(), ReplaceDialog1->MatchCase()}))
        prompts().beep();
}

void TForm1::ReplaceDialog1Replace() {
    RichEditTarget target(*RichEdit1);
    const editing::SearchOptions options{ReplaceDialog1->WholeWord(), ReplaceDialog1->MatchCase()};
    if (ReplaceDialog1->ReplaceAll()) {
        const int selStart = RichEdit1->SelStart(), selLength = RichEdit1->SelLength();
        const bool modified = RichEdit1->Modified();
        int count = 0;
        {
            EditBlock block(RichEdit1->document());
            target.setInEditBlock(true);
            count = editing::replaceAll(target, ReplaceDialog1->FindText(),
                                        ReplaceDialog1->ReplaceText(), options);
        }
        if (target.refused()) {
            // All or nothing, as a paste is: when one replacement would take the text past
            // the limit, those made before it are taken back (they are one undo step) and
            // leave nothing to redo.
            QTextDocument* document = RichEdit1->document();
            if (count > 0) {
                document->undo();
                document->clearUndoRedoStacks(QTextDocument::RedoStack);
            }
            RichEdit1->SetModified(modified);
            RichEdit1->SetSel(selStart, selLength);
            prompts().beep();
        }
    } else if (!editing::replaceNext(target, ReplaceDialog1->FindText(),
                                     ReplaceDialog1->ReplaceText(), options)) {
        prompts().beep();
    }
}

void TForm1::N21Click() {
    MarkedPosition = RichEdit1->SelStart();
}

void TForm1::N18Click() {
    if (MarkedPosition < 0) return;
    RichEdit1->SetSel(MarkedPosition, 0);
    RefreshLayoutIndicator();
}

void TForm1::N20Click() {
    const std::optional<std::string> answer = prompts().inputBox(
        platform::toCp1251(u"Переход"), platform::toCp1251(u"Номер строки:"), "");
    if (!answer) return;
    int32_t lineNumber = 0;
    if (!platform::parseInteger(*answer, lineNumber)) {
        prompts().beep();
        return;
    }
    CaretToLine(lineNumber);
}

void TForm1::CaretToLine(int32_t lineNumber) {
    const int32_t position =
        editing::lineStartPosition(lineNumber, RichEdit1->LineCount(),
                                   [this](int line) { return RichEdit1->LineLength(line); });
    RichEdit1->SetSel(position, 0);
    RefreshLayoutIndicator();
}

void TForm1::N11Click() {
    RichEdit1->CutToClipboard();
}
void TForm1::N12Click() {
    RichEdit1->CopyToClipboard();
}
void TForm1::N13Click() {
    RichEdit1->PasteFromClipboard();
}
