#pragma once
// TRichEdit: the editing control. A QPlainTextEdit that offers the operations the editor
// is written against, in the editor's own terms:
//  - text as Unicode (any character, in UTF-16 units) where a command must carry whatever
//    the document holds (find and replace, the clipboard, the recovery journal, saving),
//    and as CP1251 bytes where the editor's own characters are meant (typing, the Smart
//    Keyboard's look at the text before the caret, insertion from the data files; a
//    character CP1251 lacks reads as "?" there); positions count every UTF-16 unit as one
//    and every line break as two characters (CR LF);
//  - the insertion character set (0 Latin, 204 Cyrillic, any other byte kept), stored per
//    character in the char format, following the text at the caret;
//  - key events in the order key-down, key-press (replaceable, before insertion), key-up,
//    with Windows virtual-key codes; the keyboard layout is the editor's own: Russian
//    while the insertion set is 204, US otherwise, by physical key.
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/charsets.h"
#include "platform/keyboard_layouts.h"
#include "platform/text_run.h"

namespace platform {

// What a key event says about the key, for the editor's own layouts.
KeyInput keyInputOf(const QKeyEvent* e);

// What the editor's input mode (the Smart Keyboard) sees of each key, in the order
// key-down, key-press (only for keys that type), key-up. Key-down comes before the layout
// is read, so a switch there changes the layout of that very key.
class KeyFilter {
  public:
    virtual ~KeyFilter() = default;
    virtual void KeyDown(int virtualKey, Qt::KeyboardModifiers modifiers) = 0;
    // The typed CP1251 character; the filter may replace it, or set it to 0 to swallow it.
    virtual void KeyPress(char& key) = 0;
    virtual void KeyUp(int virtualKey, Qt::KeyboardModifiers modifiers) = 0;
};

class TRichEdit : public QPlainTextEdit {
    Q_OBJECT

  public:
    // The most characters the control holds unless it is given another limit.
    static constexpr int kMaxLength = 1000000;

    explicit TRichEdit(QWidget* parent = nullptr);

    // --- Text, lines and positions (every line break counts as CR LF) ---
    // The text in CP1251, a line break as CR LF.
    std::string Text() const;
    // The text as it is, a line break as "\n".
    QString PlainText() const;
    int TextLength() const;
    // Lines without their breaks; the count leaves out a last empty line.
    int LineCount() const;
    std::string Line(int index) const;
    int LineLength(int index) const;
    // A line as it is (any character), without its break; empty past the last line.
    QString LineText(int index) const;
    // The position where a line (from 0) starts; the end of the text past the last line.
    int LineStart(int index) const;
    // The line (from 0) that holds the caret.
    int CaretLine() const;
    // The byte before a position ('\n' at the start of a line), or -1 at position 0.
    int CharBefore(int position) const;
    int CharBeforeCaret() const;

    int ToQtPosition(int position) const;
    int FromQtPosition(int qtPosition) const;

    // --- Selection ---
    int SelStart() const;
    int SelLength() const;
    // A position past the end puts the caret at the end.
    void SetSelStart(int position);
    void SetSelLength(int length);
    void SetSel(int start, int length);
    std::string SelText() const;
    // The selection as it is, a line break as "\n".
    QString SelectedText() const;
    // Replaces the selection; the new characters take the insertion character set and
    // the caret ends after them. CR LF, a lone CR and a lone LF each break a line. Held to
    // MaxLength() as typing and pasting are: false (a beep, nothing changed) when the text
    // would pass it.
    bool SetSelText(std::string_view cp1251Text);
    bool SetSelText(QStringView text);
    // Whether the text stays within MaxLength() when `length` characters (a line break
    // counting two) replace the selection.
    bool HasRoomFor(int length) const;
    // The characters a CP1251 text takes in the control: CR LF, a lone CR and a lone LF
    // each count two.
    static int LengthOf(std::string_view text);

    // The most characters the control holds (a line break counting two): typing, pasting,
    // SetSelText and ReplaceRange stop there. LoadRuns is not held to it.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int length) { maxLength_ = length; }

    // --- Insertion character set ---
    int InsertCharset() const;
    // With a selection the whole selection takes the set.
    void SetInsertCharset(int charset);
    // The character set of the character at a position (the one after it).
    int CharsetAt(int position) const;
    // The character set a character format carries (Latin when it carries none).
    static int CharsetOfFormat(const QTextFormat& format);

    // --- Whole document ---
    // Replaces the whole content with runs, in one edit block. In run texts CR LF, a lone CR
    // and a lone LF each break a line. Afterwards the caret is at the start, the document is
    // unmodified and there is nothing to undo.
    void LoadRuns(const std::vector<TextRun>& runs);
    // Empties the control and clears the modified flag; the insertion set stays.
    void Clear();
    bool Modified() const;
    void SetModified(bool modified);

    // --- Saving: one pass over the whole text, nothing copied per line ---
    // Calls character(char16_t) for every character in order and lineBreak() for every break
    // between two lines. The room the saved text needs follows from TextLength().
    template <typename Character, typename LineBreak>
    void WalkText(Character&& character, LineBreak&& lineBreak) const {
        const QString raw = document()->toRawText();
        for (const QChar ch : raw) {
            if (ch == QChar::ParagraphSeparator)
                lineBreak();
            else
                character(ch.unicode());
        }
    }

    // --- Find: the first match lying wholly inside [from, to), searching forwards; -1 if
    // none. Without matchCase, Latin and Cyrillic letters (ё/Ё too) compare ignoring case.
    // With wholeWord, a match that begins (ends) with a letter or digit must not have one
    // just before (after) it. The text searched is Text(): a line break is CR LF. Reads only
    // the text it passes over; an empty search text finds nothing.
    int FindText(QStringView text, int from, int to, bool wholeWord, bool matchCase) const;
    int FindText(std::string_view cp1251Text, int from, int to, bool wholeWord,
                 bool matchCase) const;

    // --- Runs of edits (Replace All): one undo step, the caret left in place ---
    // While an EditBlock lives, the control's edits form one undo step, laid out once when
    // it ends.
    class EditBlock {
      public:
        explicit EditBlock(TRichEdit& edit);
        ~EditBlock();
        EditBlock(const EditBlock&) = delete;
        EditBlock& operator=(const EditBlock&) = delete;

      private:
        QTextCursor cursor_;
    };
    // Replaces [start, start + length) with text, giving it the format that SetSel
    // and SetSelText would, but leaves the caret and the view where they are: moving the
    // caret lays out and scrolls to every place, which costs far more than the edit.
    // Returns the position just after the new text; -1 (nothing changed, no beep) when the
    // text would pass MaxLength().
    int ReplaceRange(int start, int length, QStringView text);
    int ReplaceRange(int start, int length, std::string_view cp1251Text);
    // Takes back the last undo step (an EditBlock's edits) and leaves nothing to redo.
    void UndoLastStep();

    // --- Clipboard ---
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    // --- Keys: the filter the control hands each key to, in one hop ---
    // Null removes it. The filter must live as long as the control gets keys (a child
    // object of the control does).
    void SetKeyFilter(KeyFilter* filter) { keyFilter_ = filter; }

    // --- Window shortcuts ---
    // The key sequences the window's commands are bound to: the control yields them to the
    // window before its own keys (Ctrl+X, Ctrl+C, ...). A letter or digit key also matches
    // by its physical key, so Ctrl+C works whatever layout the desktop has.
    void SetWindowShortcuts(const QList<QKeySequence>& shortcuts);

    // --- Events (all optional) ---
    std::function<void()> OnMouseDown; // after the caret has moved to the click
    std::function<void()> OnMouseUp;
    // Text about to be pasted; returns the text to insert.
    std::function<QString(const QString&)> OnPaste;
    // After pasted text has been inserted (not when it was refused).
    std::function<void()> OnPasted;
    // Sounded when typing, pasting or SetSelText would pass MaxLength().
    std::function<void()> OnBeep;

    // --- Drawn over the text ---
    // Something drawn over the lines after the control has drawn them, for as long as its
    // owner lives: the marks' waves, kept in the lines' user data. (As extra selections the
    // control would lay out and draw every marked line twice whenever it repaints one, as it
    // does at every key.) It is given the lines in the repainted area that hold user data,
    // each with its place in the viewport, found in one walk down the lines in view.
    struct PaintedLine {
        QTextBlock block;
        QRectF rect;
    };
    using Overlay = std::function<void(QPainter& painter, const std::vector<PaintedLine>& lines)>;
    void AddOverlay(QObject* owner, Overlay overlay);

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

  private:
    // The block holding a position of the CR LF text and the offset into it (an offset past
    // the block's text means the position lies on the block's line break).
    QTextBlock blockAt(int position, int& offset) const;
    int charsetAtQt(int qtPosition) const;
    QTextCharFormat insertionFormat(int charset) const;
    // Replaces the selection with text in the insertion set; false (and a beep) when the
    // result would pass MaxLength().
    bool insertText(QStringView text);
    // The UTF-16 unit before a position ('\n' at the start of a line), or -1 at position 0.
    int unitBefore(int position) const;
    void typeCharacter(unsigned char c);
    bool isWindowShortcut(const QKeyEvent* e) const;

    // The insertion set chosen since the caret last moved; otherwise the set follows the text
    // at the caret.
    std::optional<int> pendingCharset_;
    LayoutSwitchKeys layoutSwitch_;
    KeyFilter* keyFilter_ = nullptr;
    int maxLength_ = kMaxLength;
    std::vector<int> windowShortcuts_; // key combinations, modifiers Shift/Ctrl/Alt/Meta only
    std::vector<std::pair<QPointer<QObject>, Overlay>> overlays_;
};

} // namespace platform
