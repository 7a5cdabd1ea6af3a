#pragma once
// TRichEdit: the editing control. A QPlainTextEdit that offers the operations the editor
// is written against, in the editor's own terms:
//  - text as CP1251 bytes; positions count every line break as two characters (CR LF);
//  - the insertion character set (0 Latin, 204 Cyrillic, any other byte kept), stored per
//    character in the char format, following the text at the caret;
//  - key events in the order key-down, key-press (replaceable, before insertion), key-up,
//    with Windows virtual-key codes; the keyboard layout is the editor's own: Russian
//    while the insertion set is 204, US otherwise, by physical key.
#include <QColor>
#include <QPlainTextEdit>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Virtual-key codes the handlers test.
enum VirtualKey : int {
    VK_BACK = 8,
    VK_TAB = 9,
    VK_RETURN = 13,
    VK_SHIFT = 16,
    VK_CONTROL = 17,
    VK_MENU = 18,
    VK_ESCAPE = 27,
    VK_SPACE = 32,
    VK_LEFT = 37,
    VK_UP = 38,
    VK_RIGHT = 39,
    VK_DOWN = 40,
    VK_OEM_5 = 220, // the backslash key
};

constexpr int kLatinCharset = 0;
constexpr int kCyrillicCharset = 204;

// One run of a document handed to the control whole: text (CP1251, "\n" breaks a line)
// with its character set and optional formatting.
struct TextRun {
    std::string text;
    int charset = kLatinCharset;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int halfPoints = 0; // font size in half points; 0 keeps the control's size
    std::optional<QColor> color;
};

class TRichEdit : public QPlainTextEdit {
    Q_OBJECT

  public:
    static constexpr int kMaxLength = 1000000;

    explicit TRichEdit(QWidget* parent = nullptr);

    // --- Text, lines and positions (every line break counts as CR LF) ---
    std::string Text() const;
    int TextLength() const;
    // Lines without their breaks; the count leaves out a last empty line.
    int LineCount() const;
    std::string Line(int index) const;
    int LineLength(int index) const;
    // The byte before a position ('\n' at the start of a line), or -1 at position 0.
    int CharBefore(int position) const;
    int CharBeforeCaret() const { return CharBefore(SelStart()); }

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
    // Replaces the selection; the new characters take the insertion character set and
    // the caret ends after them.
    void SetSelText(std::string_view text);

    // --- Insertion character set ---
    int InsertCharset() const;
    // With a selection the whole selection takes the set.
    void SetInsertCharset(int charset);
    // The character set of the character at a position (the one after it).
    int CharsetAt(int position) const;

    // --- Whole document ---
    // Replaces the whole content with runs, in one edit block.
    void LoadRuns(const std::vector<TextRun>& runs);
    void Clear();
    bool Modified() const;
    void SetModified(bool modified);

    // --- Find: the first match lying wholly inside [from, to), searching forwards; -1 if
    // none. Without matchCase, Latin and Cyrillic letters (ё/Ё too) compare ignoring case.
    int FindText(std::string_view text, int from, int to, bool wholeWord, bool matchCase) const;

    // --- Clipboard, converted between Unicode and CP1251 ---
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();

    // --- Events (all optional) ---
    std::function<void(int virtualKey, Qt::KeyboardModifiers shift)> OnKeyDown;
    // The typed CP1251 character; the handler may replace it, or set it to 0 to swallow it.
    std::function<void(char& key)> OnKeyPress;
    std::function<void(int virtualKey, Qt::KeyboardModifiers shift)> OnKeyUp;
    std::function<void()> OnMouseDown; // after the caret has moved to the click
    std::function<void()> OnMouseUp;
    // Text about to be pasted; returns the CP1251 text to insert.
    std::function<std::string(const QString&)> OnPaste;
    // Sounded when typing or pasting would pass kMaxLength.
    std::function<void()> OnBeep;

  protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
};

} // namespace platform
