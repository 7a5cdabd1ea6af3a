#include "processing/tform6.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShowEvent>

#include "app/tform1.h"
#include "platform/codepage.h"
#include "processing/log_text.h"

TForm6::TForm6(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Просмотр LOG-файла"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);
    setGeometry(192, 107, 544, 375);
    // The viewer never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    N1 = menuBar()->addAction(QStringLiteral("ЗАКРЫТЬ"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont(QStringLiteral("MS Sans Serif"));
    memoFont.setPixelSize(13);
    Memo1->setFont(memoFont);
    setCentralWidget(Memo1);
}

void TForm6::Open() {
    if (LogShown && isVisible()) {
        if (isMinimized()) showNormal();
        raise();
        activateWindow();
        return;
    }
    show();
}

void TForm6::FormShow() {
    Memo1->clear();
    LogShown = true;
    std::vector<std::string> lines;
    auto showLines = [&] {
        QStringList text;
        text.reserve(static_cast<qsizetype>(lines.size()));
        for (const std::string& line : lines)
            text << platform::fromCp1251(line);
        Memo1->setPlainText(text.join(QLatin1Char('\n')));
    };
    try {
        processing::readLogLines(LogFileName, lines);
    } catch (...) {
        showLines();
        throw;
    }
    showLines();
}

void TForm6::FormClose() {
    LogShown = false;
}

void TForm6::N1Click() {
    close();
}

void TForm6::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || LogShown) return;
    if (auto* main = qobject_cast<TForm1*>(parentWidget())) main->Guarded([this] { FormShow(); });
}

void TForm6::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // Hidden by any means other than minimising: the window is closed.
    if (!event->spontaneous()) LogShown = false;
}

void TForm6::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}
