// Placeholder implementation; replaced by the full control.
#include "platform/richedit.h"

#include "platform/codepage.h"

namespace platform {

TRichEdit::TRichEdit(QWidget* parent) : QPlainTextEdit(parent) {}
std::string TRichEdit::Text() const { return {}; }
int TRichEdit::TextLength() const { return 0; }
int TRichEdit::LineCount() const { return 0; }
std::string TRichEdit::Line(int) const { return {}; }
int TRichEdit::LineLength(int) const { return 0; }
int TRichEdit::CharBefore(int) const { return -1; }
int TRichEdit::ToQtPosition(int p) const { return p; }
int TRichEdit::FromQtPosition(int p) const { return p; }
int TRichEdit::SelStart() const { return 0; }
int TRichEdit::SelLength() const { return 0; }
void TRichEdit::SetSelStart(int) {}
void TRichEdit::SetSelLength(int) {}
void TRichEdit::SetSel(int, int) {}
std::string TRichEdit::SelText() const { return {}; }
void TRichEdit::SetSelText(std::string_view) {}
int TRichEdit::InsertCharset() const { return 0; }
void TRichEdit::SetInsertCharset(int) {}
int TRichEdit::CharsetAt(int) const { return 0; }
void TRichEdit::LoadRuns(const std::vector<TextRun>&) {}
void TRichEdit::Clear() { clear(); }
bool TRichEdit::Modified() const { return document()->isModified(); }
void TRichEdit::SetModified(bool m) { document()->setModified(m); }
int TRichEdit::FindText(std::string_view, int, int, bool, bool) const { return -1; }
void TRichEdit::CutToClipboard() {}
void TRichEdit::CopyToClipboard() {}
void TRichEdit::PasteFromClipboard() {}
bool TRichEdit::event(QEvent* e) { return QPlainTextEdit::event(e); }
void TRichEdit::keyPressEvent(QKeyEvent* e) { QPlainTextEdit::keyPressEvent(e); }
void TRichEdit::keyReleaseEvent(QKeyEvent* e) { QPlainTextEdit::keyReleaseEvent(e); }
void TRichEdit::mousePressEvent(QMouseEvent* e) { QPlainTextEdit::mousePressEvent(e); }
void TRichEdit::mouseReleaseEvent(QMouseEvent* e) { QPlainTextEdit::mouseReleaseEvent(e); }
void TRichEdit::insertFromMimeData(const QMimeData* s) { QPlainTextEdit::insertFromMimeData(s); }

} // namespace platform
