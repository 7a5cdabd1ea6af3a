// The layout indicator (Label1) and the Smart Keyboard switch (ToolButton24 and Label2).
// The layout is the insertion character set of the editing control: 0 Latin, every other
// set shows as Cyrillic.
#include <QLabel>
#include <QToolButton>

#include "app/tform1.h"

void TForm1::RefreshLayoutIndicator() {
    const int charset = RichEdit1->InsertCharset();
    // Setting the set again makes the keyboard follow the text at the caret; a selection
    // takes it whole.
    RichEdit1->SetInsertCharset(charset);
    if (charset == ShownCharset) return;
    if (LayoutBeep) prompts().beep();
    ShownCharset = charset;
    Label1->setVisible(true);
    QPalette palette = Label1->palette();
    if (charset == platform::kLatinCharset) {
        Label1->setText(QStringLiteral("Latin"));
        palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    } else {
        Label1->setText(QStringLiteral("Кириллица"));
        palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    }
    Label1->setPalette(palette);
    Label1->repaint();
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
    Label2->repaint();
}

void TForm1::ToolButton24Click() {
    SmartKeyboardOn = !SmartKeyboardOn;
    RefreshSmartKeyboardControls();
}

// Runs after the control has put the caret at the click.
void TForm1::RichEdit1MouseDown() {
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
