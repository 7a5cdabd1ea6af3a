// The layout indicator (Label1) and the Smart Keyboard switch (ToolButton24 and Label2).
// The layout is the insertion character set of the editing control: 0 Latin, every other
// set shows as Cyrillic.
#include <QLabel>
#include <QToolButton>

#include "app/tform1.h"

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

void TForm1::RefreshLayoutIndicator() {
    const int charset = RichEdit1->InsertCharset();
    // Setting the set again makes the keyboard follow the text at the caret; a selection
    // takes it whole.
    RichEdit1->SetInsertCharset(charset);
    if (charset == ShownCharset) return;
    if (LayoutBeep) prompts().beep();
    ShownCharset = charset;
    IndicatorNoticeShown = false;
    showLayout(*Label1, charset);
}

void TForm1::ShowIndicatorNotice(const QString& text) {
    IndicatorNoticeShown = true;
    Label1->setVisible(true);
    Label1->setText(text);
    Label1->repaint();
}

// Shows the layout last shown; the caller's own refresh (key-up, a click) follows the
// caret from there, and nothing here touches the text (this may run inside an edit).
void TForm1::EndIndicatorNotice() {
    if (!IndicatorNoticeShown) return;
    IndicatorNoticeShown = false;
    showLayout(*Label1, ShownCharset);
}

void TForm1::RefreshSmartKeyboardControls() {
    ToolButton24->setChecked(!SmartKeyboardOn);
    if (SmartKeyboardOn) {
        ToolButton24->setToolTip(QStringLiteral("Усыпить Умную Клаву"));
        Label2->setText(QStringLiteral("Умная Клава работает"));
    } else {
        ToolButton24->setToolTip(QStringLiteral("Разбудить Умную Клаву"));
        Label2->setText(QStringLiteral("Умная Клава спит"));
    }
    ToolButton24->setAccessibleName(ToolButton24->toolTip());
    Label2->repaint();
}

void TForm1::ToolButton24Click() {
    SmartKeyboardOn = !SmartKeyboardOn;
    RefreshSmartKeyboardControls();
}

// Runs after the control has put the caret at the click.
void TForm1::RichEdit1MouseDown() {
    EndIndicatorNotice();
    RefreshLayoutIndicator();
}

void TForm1::RichEdit1MouseUp() {}

// The user's own switch by mouse: a click on the indicator turns the layout over while a
// document is open, and the typing goes on in the editor.
void TForm1::Label1Click() {
    if (!RichEdit1->isEnabled()) return;
    RichEdit1->SetInsertCharset(RichEdit1->InsertCharset() == platform::kCyrillicCharset
                                    ? platform::kLatinCharset
                                    : platform::kCyrillicCharset);
    RefreshLayoutIndicator();
    RichEdit1->setFocus();
}

// The user's own switch in one of the program's text fields: the layout turns over for the
// fields and the editing area alike, and the indicator shows it.
void TForm1::SwitchLayoutInField() {
    RichEdit1->SetInsertCharset(RichEdit1->InsertCharset() == platform::kCyrillicCharset
                                    ? platform::kLatinCharset
                                    : platform::kCyrillicCharset);
    RefreshLayoutIndicator();
}
