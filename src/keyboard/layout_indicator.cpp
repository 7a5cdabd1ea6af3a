#include "keyboard/layout_indicator.h"

#include <QLabel>
#include <QToolButton>

#include "keyboard/smart_keyboard.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "state/editor.h"

namespace keyboard {

namespace {

void showLayout(QLabel& label, int charset) {
    label.setVisible(true);
    QPalette palette = label.palette();
    if (charset == platform::kLatinCharset) {
        label.setText(QStringLiteral("Latin"));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    } else {
        label.setText(QStringLiteral("Кириллица"));
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    }
    label.setPalette(palette);
    label.repaint();
}

} // namespace

LayoutIndicator::LayoutIndicator(state::Editor& editor, SmartKeyboard& keyboard,
                                 QLabel& switchLabel, QToolButton& switchButton)
    : QObject(editor.RichEdit1), editor_(editor), label_(*editor.Label1), switchLabel_(switchLabel),
      switchButton_(switchButton) {
    // The keyboard's signals come inside its guard.
    connect(&keyboard, &SmartKeyboard::keyArrived, this, &LayoutIndicator::EndNotice);
    connect(&keyboard, &SmartKeyboard::layoutMayHaveChanged, this, &LayoutIndicator::Refresh);
    connect(&keyboard, &SmartKeyboard::switched, this, &LayoutIndicator::RefreshSwitch);
    Watch(*editor.RichEdit1);
}

// A notice lasts until the caret moves.
void LayoutIndicator::Watch(platform::TRichEdit& control) {
    connect(&control, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (editor_.IndicatorNoticeShown) editor_.Guarded([this] { EndNotice(); });
    });
}

void LayoutIndicator::Refresh() {
    platform::TRichEdit& control = *editor_.RichEdit1;
    const int charset = control.InsertCharset();
    // Setting the set again makes the keyboard follow the text at the caret; a selection
    // takes it whole.
    control.SetInsertCharset(charset);
    if (charset == editor_.ShownCharset) return;
    if (editor_.LayoutBeep) editor_.prompts().beep();
    editor_.ShownCharset = charset;
    editor_.IndicatorNoticeShown = false;
    narrow();
    showLayout(label_, charset);
}

NoticePlace noticePlace(const QLabel& label, const QString& text) {
    // A window that is not on the screen has no place to measure; nothing is read there.
    if (!label.window()->isVisible()) return NoticePlace::Indicator;
    const int needed = label.fontMetrics().horizontalAdvance(text) + 2 * label.margin();
    const int room = label.contentsRect().width();
    if (needed <= room) return NoticePlace::Indicator;
    const QWidget* row = label.parentWidget();
    if (row != nullptr && needed <= room + row->width() - label.x() - label.width())
        return NoticePlace::Row;
    return NoticePlace::Box;
}

void LayoutIndicator::ShowNotice(const QString& text) {
    const NoticePlace place = noticePlace(label_, text);
    if (place == NoticePlace::Box) {
        // Read whole, not cut.
        editor_.prompts().unicodeInformation(text);
        return;
    }
    if (place == NoticePlace::Row && !widened_) {
        // The whole row under the text, over the Smart Keyboard's label until it ends.
        widened_ = label_.width();
        label_.resize(label_.parentWidget()->width() - label_.x(), label_.height());
        label_.raise();
        switchLabel_.hide();
    }
    editor_.IndicatorNoticeShown = true;
    label_.setVisible(true);
    label_.setText(text);
    label_.repaint();
}

// Shows the layout last shown; the caller's own refresh (key-up, a click) follows the
// caret from there, and nothing here touches the text (this may run inside an edit).
void LayoutIndicator::EndNotice() {
    if (!editor_.IndicatorNoticeShown) return;
    editor_.IndicatorNoticeShown = false;
    narrow();
    showLayout(label_, editor_.ShownCharset);
}

void LayoutIndicator::narrow() {
    if (!widened_) return;
    label_.resize(*widened_, label_.height());
    widened_.reset();
    switchLabel_.show();
}

void LayoutIndicator::RefreshSwitch() {
    const bool on = editor_.SmartKeyboardOn;
    switchButton_.setChecked(!on);
    if (on) {
        switchButton_.setToolTip(QStringLiteral("Усыпить Умную Клаву"));
        switchLabel_.setText(QStringLiteral("Умная Клава работает"));
    } else {
        switchButton_.setToolTip(QStringLiteral("Разбудить Умную Клаву"));
        switchLabel_.setText(QStringLiteral("Умная Клава спит"));
    }
    switchButton_.setAccessibleName(switchButton_.toolTip());
    switchLabel_.repaint();
}

void LayoutIndicator::flipLayout() {
    platform::TRichEdit& control = *editor_.RichEdit1;
    control.SetInsertCharset(control.InsertCharset() == platform::kCyrillicCharset
                                 ? platform::kLatinCharset
                                 : platform::kCyrillicCharset);
    Refresh();
}

void LayoutIndicator::SwitchByClick() {
    if (!editor_.RichEdit1->isEnabled()) return;
    flipLayout();
    editor_.RichEdit1->setFocus();
}

void LayoutIndicator::SwitchInField() {
    flipLayout();
}

void LayoutIndicator::CaretClicked() {
    EndNotice();
    Refresh();
}

} // namespace keyboard
