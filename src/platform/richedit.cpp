#include "platform/richedit.h"

#include "platform/codepage.h"
#include "platform/keyboard_layouts.h"
#include "platform/text_search.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <array>

namespace platform {
namespace {

// The character set of a character, kept in its format; text without one counts as Latin.
constexpr int kCharsetProperty = QTextFormat::UserProperty + 1;

int charsetOf(const QTextFormat& format) {
    return format.hasProperty(kCharsetProperty) ? format.intProperty(kCharsetProperty)
                                                : kLatinCharset;
}

// Latin runs are shown in a fixed-pitch font, everything else in a proportional one.
// Built once: every loaded run and every replacement sets one of the two.
const QStringList& familiesFor(int charset) {
    static const QStringList latin{QStringLiteral("DejaVu Sans Mono")};
    static const QStringList cyrillic{QStringLiteral("DejaVu Sans")};
    return charset == kLatinCharset ? latin : cyrillic;
}

char byteOf(QChar ch) {
    unsigned char byte = 0;
    return unicodeToCp1251(ch.unicode(), byte) ? static_cast<char>(byte) : '?';
}

// Document text as CP1251: one byte per character, a paragraph separator as CR LF.
void appendCp1251(std::string& out, QStringView text) {
    for (const QChar ch : text) {
        if (ch == QChar::ParagraphSeparator)
            out += "\r\n";
        else
            out += byteOf(ch);
    }
}

// Text as document text: CR LF, a lone CR and a lone LF each break a line. crlfLength
// receives the length the text has in positions of the CR LF text.
QString toDocumentText(QStringView text, int& crlfLength) {
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    crlfLength = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r' || ch == u'\n' || ch == QChar::ParagraphSeparator) {
            if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
            *out++ = QChar::ParagraphSeparator;
            crlfLength += 2;
        } else {
            *out++ = ch;
            ++crlfLength;
        }
    }
    result.truncate(out - result.constData());
    return result;
}

QTextCharFormat runFormat(const TextRun& run) {
    QTextCharFormat format;
    format.setProperty(kCharsetProperty, run.charset);
    format.setFontFamilies(familiesFor(run.charset));
    if (run.bold) format.setFontWeight(QFont::Bold);
    if (run.italic) format.setFontItalic(true);
    if (run.underline) format.setFontUnderline(true);
    if (run.halfPoints > 0) format.setFontPointSize(run.halfPoints / 2.0);
    if (run.color) format.setForeground(QColor::fromRgb(*run.color));
    return format;
}

// The format of the character at a Qt position inside a block's text.
// Fragment ends are summed from the block's start: asking each fragment for its position
// would walk the document's fragment tree once per fragment.
QTextCharFormat formatOfCharacter(const QTextBlock& block, int qtPosition) {
    int end = block.position();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        end += fragment.length();
        if (qtPosition < end) return fragment.charFormat();
    }
    return block.charFormat();
}

// The format that text typed at a Qt position continues: that of the character before it;
// at the start of a line that of the line's first character; on an empty line the format
// its line break was typed with. (Read without a QTextCursor, which would lay out the line.)
QTextCharFormat formatAtCaret(const QTextDocument* document, int qtPosition) {
    const QTextBlock block = document->findBlock(qtPosition);
    if (qtPosition == block.position())
        return block.length() > 1 ? formatOfCharacter(block, qtPosition) : block.charFormat();
    return formatOfCharacter(block, qtPosition - 1);
}

// The line being edited keeps its shaped glyphs: without them every key shapes the line
// again for the caret and for the repaint after laying it out, and each shaping looks
// every run's format up in the document's fragment tree, whose depth and cache misses
// grow with the document. Only lines the user edits keep them, so memory stays small.
void keepShapedGlyphs(const QTextCursor& cursor) {
    if (QTextLayout* layout = cursor.block().layout()) layout->setCacheEnabled(true);
}

// The document's text from a position on, line by line; a long line is read in pieces that
// grow as the search goes on, so that a search that ends near its start reads little.
class DocumentChunks : public ChunkSource {
  public:
    DocumentChunks(const QTextDocument* document, QTextBlock block, int offset, bool lineFeed)
        : document_(document), block_(block), offset_(offset), lineFeed_(lineFeed) {}

    std::u16string_view nextChunk() override {
        chunk_.clear();
        if (lineFeed_) {
            lineFeed_ = false;
            chunk_.push_back(u'\n');
            return chunk_;
        }
        if (!block_.isValid()) return {};
        const int textLength = block_.length() - 1;
        if (textLength - offset_ <= kWholeLine) {
            const QString text = block_.text();
            chunk_.append(reinterpret_cast<const char16_t*>(text.constData()) + offset_,
                          static_cast<size_t>(textLength - offset_));
            offset_ = textLength;
        } else {
            const int count = std::min(piece_, textLength - offset_);
            piece_ = std::min(piece_ * 2, kWholeLine);
            const int start = block_.position() + offset_;
            for (int i = 0; i < count; ++i)
                chunk_.push_back(document_->characterAt(start + i).unicode());
            offset_ += count;
        }
        if (offset_ >= textLength) {
            block_ = block_.next();
            offset_ = 0;
            if (block_.isValid()) chunk_ += u"\r\n";
        }
        return chunk_;
    }

  private:
    static constexpr int kWholeLine = 4096;
    const QTextDocument* document_;
    QTextBlock block_;
    int offset_;
    bool lineFeed_;
    int piece_ = 256;
    std::u16string chunk_;
};

} // namespace

KeyInput keyInputOf(const QKeyEvent* e) {
    KeyInput input;
    input.scanCode = e->nativeScanCode();
    input.qtKey = e->key();
    input.text = e->text();
    const Qt::KeyboardModifiers modifiers = e->modifiers();
    input.shift = modifiers.testFlag(Qt::ShiftModifier);
    input.control = modifiers.testFlag(Qt::ControlModifier);
    input.alt = modifiers.testFlag(Qt::AltModifier);
    input.keypad = modifiers.testFlag(Qt::KeypadModifier);
    // X11 reports Caps Lock as the lock bit of the native modifiers.
    input.capsLock = input.scanCode != 0 && (e->nativeModifiers() & 0x2) != 0;
    return input;
}

TRichEdit::TRichEdit(QWidget* parent) : QPlainTextEdit(parent) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(10);
    setFont(font);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setTabChangesFocus(true);
    // The control types its own layouts from key events; an input method would bypass them.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            [this] { pendingCharset_.reset(); });
}

// --- Text, lines and positions ---

// One pass over the document's raw text, where blocks are separated by paragraph
// separators: a fifth of the time a copy of each block's text takes (the recovery journal
// takes the whole text every two seconds while the user types).
std::string TRichEdit::Text() const {
    static const std::vector<char> bytes = [] {
        std::vector<char> table(0x10000);
        for (size_t u = 0; u < table.size(); ++u)
            table[u] = byteOf(QChar(static_cast<char16_t>(u)));
        return table;
    }();
    const QString raw = document()->toRawText();
    const auto blocks = static_cast<size_t>(document()->blockCount());
    std::string text(static_cast<size_t>(raw.size()) + blocks, '\0');
    char* out = text.data();
    for (const QChar ch : raw) {
        if (ch == QChar::ParagraphSeparator) {
            *out++ = '\r';
            *out++ = '\n';
        } else {
            *out++ = bytes[ch.unicode()];
        }
    }
    text.resize(static_cast<size_t>(out - text.data()));
    return text;
}

QString TRichEdit::PlainText() const {
    QString text = document()->toRawText();
    for (QChar& ch : text)
        if (ch == QChar::ParagraphSeparator) ch = u'\n';
    return text;
}

int TRichEdit::TextLength() const {
    const QTextDocument* d = document();
    return d->characterCount() - 1 + d->blockCount() - 1;
}

int TRichEdit::LineCount() const {
    int count = document()->blockCount();
    if (document()->lastBlock().length() == 1) --count;
    return count;
}

std::string TRichEdit::Line(int index) const {
    std::string line;
    const QTextBlock block = document()->findBlockByNumber(index);
    if (index >= 0 && block.isValid()) appendCp1251(line, block.text());
    return line;
}

int TRichEdit::LineLength(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    return index >= 0 && block.isValid() ? block.length() - 1 : 0;
}

QString TRichEdit::LineText(int index) const {
    const QTextBlock block = document()->findBlockByNumber(index);
    return index >= 0 && block.isValid() ? block.text() : QString();
}

int TRichEdit::LineStart(int index) const {
    const QTextBlock block = document()->findBlockByNumber(std::max(index, 0));
    // Block k starts at its Qt position plus k: each break before it counts two.
    return block.isValid() ? block.position() + block.blockNumber() : TextLength();
}

int TRichEdit::CaretLine() const {
    return textCursor().blockNumber();
}

QTextBlock TRichEdit::blockAt(int position, int& offset) const {
    // Block k starts at position(k) + k of the CR LF text; find the last one starting at or
    // before the position. Since the Qt position is the CR LF position less the block
    // number, the blocks at Qt positions p and p - hi bracket it.
    const QTextDocument* d = document();
    position = std::clamp(position, 0, TextLength());
    const int lastQt = d->characterCount() - 1;
    int hi = d->findBlock(std::min(position, lastQt)).blockNumber();
    int lo = std::min(hi, d->findBlock(std::max(0, position - hi)).blockNumber());
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (d->findBlockByNumber(mid).position() + mid <= position)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = d->findBlockByNumber(lo);
    offset = position - (block.position() + lo);
    return block;
}

int TRichEdit::ToQtPosition(int position) const {
    int offset = 0;
    const QTextBlock block = blockAt(position, offset);
    return block.position() + std::min(offset, block.length() - 1);
}

int TRichEdit::FromQtPosition(int qtPosition) const {
    const QTextDocument* d = document();
    qtPosition = std::clamp(qtPosition, 0, d->characterCount() - 1);
    return qtPosition + d->findBlock(qtPosition).blockNumber();
}

int TRichEdit::CharBefore(int position) const {
    const int unit = unitBefore(position);
    if (unit < 0 || unit == '\n' || unit == '\r') return unit;
    return static_cast<unsigned char>(byteOf(QChar(static_cast<char16_t>(unit))));
}

int TRichEdit::unitBefore(int position) const {
    position = std::min(position, TextLength());
    if (position <= 0) return -1;
    int offset = 0;
    const QTextBlock block = blockAt(position, offset);
    if (offset == 0) return '\n';
    if (offset > block.length() - 1) return '\r';
    return document()->characterAt(block.position() + offset - 1).unicode();
}

int TRichEdit::CharBeforeCaret() const {
    const int qt = textCursor().selectionStart();
    if (qt <= 0) return -1;
    if (document()->findBlock(qt).position() == qt) return '\n';
    return static_cast<unsigned char>(byteOf(document()->characterAt(qt - 1)));
}

// --- Selection ---

int TRichEdit::SelStart() const {
    return FromQtPosition(textCursor().selectionStart());
}

int TRichEdit::SelLength() const {
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) return 0;
    return FromQtPosition(cursor.selectionEnd()) - FromQtPosition(cursor.selectionStart());
}

void TRichEdit::SetSelStart(int position) {
    SetSel(position, 0);
}

void TRichEdit::SetSelLength(int length) {
    SetSel(SelStart(), length);
}

void TRichEdit::SetSel(int start, int length) {
    const int total = TextLength();
    QTextCursor cursor = textCursor();
    if (start >= total) {
        cursor.movePosition(QTextCursor::End);
    } else {
        start = std::max(start, 0);
        const int end = std::clamp(start + length, 0, total);
        cursor.setPosition(ToQtPosition(start));
        cursor.setPosition(ToQtPosition(end), QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
    pendingCharset_.reset();
}

std::string TRichEdit::SelText() const {
    std::string text;
    appendCp1251(text, textCursor().selectedText());
    return text;
}

QString TRichEdit::SelectedText() const {
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

bool TRichEdit::SetSelText(std::string_view text) {
    return insertText(fromCp1251(text));
}

bool TRichEdit::SetSelText(QStringView text) {
    return insertText(text);
}

bool TRichEdit::HasRoomFor(int length) const {
    return TextLength() - SelLength() + length <= maxLength_;
}

int TRichEdit::LengthOf(std::string_view text) {
    int length = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            length += 2;
        } else {
            ++length;
        }
    }
    return length;
}

bool TRichEdit::insertText(QStringView text) {
    int added = 0;
    const QString documentText = toDocumentText(text, added);
    if (!HasRoomFor(added)) {
        if (OnBeep)
            OnBeep();
        else
            QApplication::beep();
        return false;
    }
    const QTextCharFormat format = insertionFormat(InsertCharset());
    QTextCursor cursor = textCursor();
    keepShapedGlyphs(cursor);
    const bool replacesSelection = cursor.hasSelection();
    cursor.insertText(documentText, format);
    // Without a selection the control's own caret stands at the insertion point and moves
    // past the new text by itself; handing it the cursor again would measure the caret
    // line three more times on every key.
    if (replacesSelection) setTextCursor(cursor);
    ensureCursorVisible();
    return true;
}

// --- Insertion character set ---

int TRichEdit::charsetAtQt(int qtPosition) const {
    const QTextDocument* d = document();
    const int last = d->characterCount() - 1;
    if (qtPosition >= last) return charsetOf(formatAtCaret(d, last));
    const QTextBlock block = d->findBlock(qtPosition);
    if (qtPosition == block.position() + block.length() - 1) {
        // A line break carries the character format of the line it opens.
        return charsetOf(block.next().charFormat());
    }
    return charsetOf(formatOfCharacter(block, qtPosition));
}

int TRichEdit::InsertCharset() const {
    if (pendingCharset_) return *pendingCharset_;
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) return charsetAtQt(cursor.selectionStart());
    return charsetOf(formatAtCaret(document(), cursor.position()));
}

QTextCharFormat TRichEdit::insertionFormat(int charset) const {
    QTextCharFormat format = formatAtCaret(document(), textCursor().selectionStart());
    format.setProperty(kCharsetProperty, charset);
    format.setFontFamilies(familiesFor(charset));
    return format;
}

void TRichEdit::SetInsertCharset(int charset) {
    charset &= 0xFF;
    const QTextCursor cursor = textCursor();
    if (cursor.hasSelection()) {
        // Only a selection that holds other sets changes; formatting is not part of the
        // saved text, so the modified flag stays as it was.
        bool uniform = true;
        const int start = cursor.selectionStart();
        const int end = cursor.selectionEnd();
        for (QTextBlock block = document()->findBlock(start); block.isValid() && uniform;
             block = block.next()) {
            if (block.position() >= end) break;
            for (auto it = block.begin(); !it.atEnd() && uniform; ++it) {
                const QTextFragment fragment = it.fragment();
                if (fragment.position() + fragment.length() <= start) continue;
                if (fragment.position() >= end) break;
                uniform = charsetOf(fragment.charFormat()) == charset;
            }
        }
        if (!uniform) {
            const bool modified = Modified();
            QTextCharFormat format;
            format.setProperty(kCharsetProperty, charset);
            format.setFontFamilies(familiesFor(charset));
            QTextCursor selection = cursor;
            selection.mergeCharFormat(format);
            SetModified(modified);
        }
    }
    pendingCharset_ = charset;
}

int TRichEdit::CharsetOfFormat(const QTextFormat& format) {
    return charsetOf(format);
}

int TRichEdit::CharsetAt(int position) const {
    int offset = 0;
    const QTextBlock block = blockAt(position, offset);
    return charsetAtQt(block.position() + std::min(offset, block.length() - 1));
}

// --- Whole document ---

void TRichEdit::LoadRuns(const std::vector<TextRun>& runs) {
    // Runs of the same look share one format.
    std::vector<std::pair<const TextRun*, QTextCharFormat>> formats;
    const auto formatOf = [&formats](const TextRun& run) -> const QTextCharFormat& {
        for (const auto& [known, format] : formats) {
            if (known->charset == run.charset && known->bold == run.bold &&
                known->italic == run.italic && known->underline == run.underline &&
                known->halfPoints == run.halfPoints && known->color == run.color)
                return format;
        }
        formats.emplace_back(&run, runFormat(run));
        return formats.back().second;
    };

    QTextDocument* d = document();
    d->setUndoRedoEnabled(false);
    d->clear();
    QTextCursor cursor(d);
    cursor.beginEditBlock();
    if (!runs.empty()) cursor.setBlockCharFormat(formatOf(runs.front()));
    for (const TextRun& run : runs)
        if (!run.text.isEmpty()) cursor.insertText(run.text, formatOf(run));
    cursor.endEditBlock();
    d->setUndoRedoEnabled(true);
    d->setModified(false);
    setTextCursor(QTextCursor(d));
    pendingCharset_.reset();
}

void TRichEdit::Clear() {
    const int charset = InsertCharset();
    QTextDocument* d = document();
    d->setUndoRedoEnabled(false);
    d->clear();
    QTextCursor cursor(d);
    cursor.setBlockCharFormat(
        runFormat(TextRun{{}, charset, false, false, false, 0, std::nullopt}));
    d->setUndoRedoEnabled(true);
    d->setModified(false);
    setTextCursor(cursor);
    pendingCharset_.reset();
}

bool TRichEdit::Modified() const {
    return document()->isModified();
}

void TRichEdit::SetModified(bool modified) {
    document()->setModified(modified);
}

// --- Find ---

int TRichEdit::FindText(std::string_view text, int from, int to, bool wholeWord,
                        bool matchCase) const {
    return FindText(QStringView(fromCp1251(text)), from, to, wholeWord, matchCase);
}

int TRichEdit::FindText(QStringView text, int from, int to, bool wholeWord, bool matchCase) const {
    from = std::max(from, 0);
    to = std::min(to, TextLength());
    if (text.empty() || to - from < static_cast<int>(text.size())) return -1;
    int offset = 0;
    const QTextBlock block = blockAt(from, offset);
    const bool onLineFeed = offset > block.length() - 1;
    DocumentChunks source(document(), onLineFeed ? block.next() : block, onLineFeed ? 0 : offset,
                          onLineFeed);
    return findForward(source, from, to, unitBefore(from),
                       std::u16string_view(reinterpret_cast<const char16_t*>(text.data()),
                                           static_cast<size_t>(text.size())),
                       wholeWord, matchCase);
}

// --- Runs of edits ---

TRichEdit::EditBlock::EditBlock(TRichEdit& edit) : cursor_(edit.document()) {
    cursor_.beginEditBlock();
}

TRichEdit::EditBlock::~EditBlock() {
    cursor_.endEditBlock();
}

int TRichEdit::ReplaceRange(int start, int length, std::string_view text) {
    return ReplaceRange(start, length, QStringView(fromCp1251(text)));
}

int TRichEdit::ReplaceRange(int start, int length, QStringView text) {
    const int total = TextLength();
    start = std::clamp(start, 0, total);
    const int end = std::clamp(start + length, start, total);
    int added = 0;
    const QString documentText = toDocumentText(text, added);
    if (total - (end - start) + added > maxLength_) return -1;
    // The set SetSelText takes: that of the first selected character, or the one the caret
    // continues when nothing is selected.
    const int qtStart = ToQtPosition(start);
    QTextCharFormat format = formatAtCaret(document(), qtStart);
    const int charset = end > start ? charsetAtQt(qtStart) : charsetOf(format);
    format.setProperty(kCharsetProperty, charset);
    format.setFontFamilies(familiesFor(charset));
    QTextCursor cursor(document());
    cursor.setPosition(qtStart);
    cursor.setPosition(ToQtPosition(end), QTextCursor::KeepAnchor);
    if (documentText.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(documentText, format);
    return start + added;
}

void TRichEdit::UndoLastStep() {
    QTextDocument* d = document();
    d->undo();
    d->clearUndoRedoStacks(QTextDocument::RedoStack);
}

// --- Clipboard ---

QMimeData* TRichEdit::createMimeDataFromSelection() const {
    // The selection exactly as it stands (a no-break space stays one), lines ending in LF.
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

void TRichEdit::CopyToClipboard() {
    if (!textCursor().hasSelection()) return;
    QApplication::clipboard()->setMimeData(createMimeDataFromSelection());
}

void TRichEdit::CutToClipboard() {
    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) return;
    CopyToClipboard();
    cursor.removeSelectedText();
    setTextCursor(cursor);
}

void TRichEdit::PasteFromClipboard() {
    if (const QMimeData* data = QApplication::clipboard()->mimeData()) insertFromMimeData(data);
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) return;
    const QString text = source->text();
    if (insertText(OnPaste ? OnPaste(text) : text) && OnPasted) OnPasted();
}

// --- Events ---

namespace {

constexpr Qt::KeyboardModifiers kShortcutModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

void TRichEdit::SetWindowShortcuts(const QList<QKeySequence>& shortcuts) {
    windowShortcuts_.clear();
    for (const QKeySequence& sequence : shortcuts) {
        if (sequence.isEmpty()) continue;
        const QKeyCombination first = sequence[0];
        windowShortcuts_.push_back(
            QKeyCombination(first.keyboardModifiers() & kShortcutModifiers, first.key())
                .toCombined());
    }
}

bool TRichEdit::isWindowShortcut(const QKeyEvent* e) const {
    if (windowShortcuts_.empty()) return false;
    const Qt::KeyboardModifiers modifiers = e->modifiers() & kShortcutModifiers;
    const auto bound = [&](int key) {
        const int combined = QKeyCombination(modifiers, Qt::Key(key)).toCombined();
        return std::find(windowShortcuts_.begin(), windowShortcuts_.end(), combined) !=
               windowShortcuts_.end();
    };
    if (bound(e->key())) return true;
    // The physical key as the editor's own layouts see it: on a Russian desktop the C key
    // reports a Cyrillic letter, yet Ctrl on it is Ctrl+C. Letter and digit keys have the
    // virtual-key code of their Qt key.
    const int virtualKey = virtualKeyOf(keyInputOf(e));
    const bool letterOrDigit =
        (virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z');
    return letterOrDigit && bound(virtualKey);
}

bool TRichEdit::event(QEvent* e) {
    // The window's shortcuts take precedence over the control's own keys.
    if (e->type() == QEvent::ShortcutOverride && isWindowShortcut(static_cast<QKeyEvent*>(e))) {
        e->ignore();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void TRichEdit::typeCharacter(unsigned char c) {
    if (c == 0) return;
    if (c == 8) {
        // A set chosen by the key handlers for this key (Backspace ends a command word)
        // outlives the caret move of the deletion.
        const std::optional<int> chosen = pendingCharset_;
        QTextCursor cursor = textCursor();
        keepShapedGlyphs(cursor);
        if (cursor.hasSelection())
            cursor.removeSelectedText();
        else
            cursor.deletePreviousChar();
        setTextCursor(cursor);
        pendingCharset_ = chosen;
        ensureCursorVisible();
        return;
    }
    const char16_t unit = cp1251ToUnicode(c);
    insertText(QStringView(&unit, 1));
}

void TRichEdit::keyPressEvent(QKeyEvent* e) {
    const KeyInput input = keyInputOf(e);
    if (!e->isAutoRepeat()) layoutSwitch_.keyDown(e->key());

    if (keyFilter_) keyFilter_->KeyDown(virtualKeyOf(input), e->modifiers());

    if (e->matches(QKeySequence::Paste)) {
        PasteFromClipboard();
        return;
    }
    if (e->matches(QKeySequence::Copy)) {
        CopyToClipboard();
        return;
    }
    if (e->matches(QKeySequence::Cut)) {
        CutToClipboard();
        return;
    }

    // Esc types nothing, but the key handlers see it as the character 27, as they see Enter
    // and Backspace: like any character outside a command word, it ends one.
    if (e->key() == Qt::Key_Escape && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        char c = 27;
        if (keyFilter_) keyFilter_->KeyPress(c);
        e->ignore();
        return;
    }
    // The layout is read after key-down, which may have switched it.
    const KeyMapping mapping = mapKey(input, InsertCharset() == kCyrillicCharset);
    if (mapping.character >= 0) {
        char c = static_cast<char>(mapping.character);
        if (keyFilter_) keyFilter_->KeyPress(c);
        typeCharacter(static_cast<unsigned char>(c));
        e->accept();
        return;
    }
    switch (e->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        e->ignore();
        return;
    default:
        break;
    }
    // Ctrl and Alt combinations type nothing; the rest (movement, deletion, undo) is the
    // base control's.
    const QString text = e->text();
    if (std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.isPrint(); })) {
        e->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(e);
}

void TRichEdit::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) {
        e->accept();
        return;
    }
    if (layoutSwitch_.keyUp(e->key()))
        SetInsertCharset(InsertCharset() == kCyrillicCharset ? kLatinCharset : kCyrillicCharset);
    if (keyFilter_) keyFilter_->KeyUp(virtualKeyOf(keyInputOf(e)), e->modifiers());
    e->accept();
}

void TRichEdit::mousePressEvent(QMouseEvent* e) {
    layoutSwitch_.click();
    QPlainTextEdit::mousePressEvent(e);
    pendingCharset_.reset();
    if (OnMouseDown) OnMouseDown();
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseReleaseEvent(e);
    if (OnMouseUp) OnMouseUp();
}

void TRichEdit::inputMethodEvent(QInputMethodEvent* e) {
    if (!e->commitString().isEmpty()) insertText(fromCp1251(toCp1251(e->commitString())));
    e->accept();
}

void TRichEdit::focusOutEvent(QFocusEvent* e) {
    layoutSwitch_.reset();
    QPlainTextEdit::focusOutEvent(e);
}

void TRichEdit::AddOverlay(QObject* owner, Overlay overlay) {
    overlays_.emplace_back(owner, std::move(overlay));
}

void TRichEdit::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    if (overlays_.empty()) return;
    // Down from the first line in view, adding up heights as the control itself does: the
    // place of each line found by itself would walk down from the top again.
    const QRect exposed = e->rect();
    const QPointF offset = contentOffset();
    const QAbstractTextDocumentLayout* layout = document()->documentLayout();
    QTextBlock b = firstVisibleBlock();
    qreal top = blockBoundingGeometry(b).translated(offset).top();
    std::vector<PaintedLine> lines;
    for (; b.isValid() && top <= exposed.bottom(); b = b.next()) {
        if (!b.isVisible()) continue;
        const QRectF r = layout->blockBoundingRect(b);
        if (b.userData() && top + r.height() >= exposed.top())
            lines.push_back({b, QRectF(offset.x(), top, r.width(), r.height())});
        top += r.height();
    }
    if (lines.empty()) return;
    QPainter painter(viewport());
    for (const auto& [owner, overlay] : overlays_)
        if (owner) overlay(painter, lines);
}

} // namespace platform
