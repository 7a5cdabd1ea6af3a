#include "processing/tform6.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QShowEvent>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>

#include "platform/codepage.h"
#include "platform/memo.h"
#include "platform/textfile.h"
#include "processing/log_commands.h"
#include "processing/log_entry_model.h"
#include "processing/log_text.h"
#include "processing/missing_files.h"
#include "processing/process_start.h"
#include "state/editor.h"

namespace {

constexpr int kPackageSearchMs = 30000;

} // namespace

TForm6::TForm6(state::Editor& editor, QWidget* parent) : QMainWindow(parent), editor_(editor) {
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

    Memo1 = new platform::TMemo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont(QStringLiteral("MS Sans Serif"));
    memoFont.setPixelSize(13);
    Memo1->setFont(memoFont);

    Entries = new processing::LogEntryModel(this);
    ErrorList1 = new QTreeView(this);
    ErrorList1->setObjectName(QStringLiteral("ErrorList1"));
    ErrorList1->setModel(Entries);
    ErrorList1->setRootIsDecorated(false);
    ErrorList1->setUniformRowHeights(true); // long LOGs list tens of thousands of boxes
    ErrorList1->setAllColumnsShowFocus(true);
    ErrorList1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ErrorList1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ErrorList1->setColumnWidth(processing::LogEntryModel::KindColumn, 115);
    ErrorList1->setColumnWidth(processing::LogEntryModel::FileColumn, 110);
    ErrorList1->setColumnWidth(processing::LogEntryModel::LineColumn, 50);

    auto* split = new QSplitter(Qt::Vertical, this);
    split->setObjectName(QStringLiteral("Splitter1"));
    split->setChildrenCollapsible(false);
    split->addWidget(Memo1);
    split->addWidget(ErrorList1);
    split->setSizes({230, 110});
    setCentralWidget(split);

    connect(ErrorList1, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { ErrorList1Activate(index.row()); });
    connect(ErrorList1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { ErrorList1RowChanged(current.row()); });
    connect(Memo1, &QPlainTextEdit::cursorPositionChanged, this, [this] { Memo1CursorMoved(); });
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
    Entries->setEntries({});
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
        const std::string bytes = platform::readFileBytes(LogFileName);
        // TeX copies the source's bytes into its LOG: read in the source's code page.
        Entries->setEntries(processing::parseLog(bytes),
                            processing::logEightBitEncoding(bytes, editor_.DocEncoding));
        processing::appendLogLines(bytes, lines, editor_.DocEncoding);
        LookUpPackages();
    } catch (...) {
        showLines();
        throw;
    }
    showLines();
}

// apt-file, where it is installed, names the Debian package of each missing package or
// class, while the list is already shown; without it the list names the file alone.
void TForm6::LookUpPackages() {
    const QStringList files = Entries->missingTexLiveFiles();
    if (files.isEmpty()) return;
    const processing::ProgramLookup aptFile = processing::findProgram("apt-file", {});
    if (aptFile.error != 0) return;
    for (const QString& file : files) {
        auto* search = new QProcess(this);
        search->setProgram(QFile::decodeName(QByteArray::fromStdString(aptFile.path)));
        search->setArguments(processing::aptFileArguments(file));
        search->setStandardInputFile(QProcess::nullDevice());
        QPointer<processing::LogEntryModel> entries(Entries);
        connect(search, &QProcess::finished, this, [search, entries, file] {
            const QString package =
                processing::packageFromAptFile(QString::fromUtf8(search->readAllStandardOutput()));
            if (entries && !package.isEmpty()) entries->setPackageOf(file, package);
            search->deleteLater();
        });
        connect(search, &QProcess::errorOccurred, search, [search](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) search->deleteLater();
        });
        // A search that hangs is given up.
        QTimer::singleShot(kPackageSearchMs, search, [search] { search->kill(); });
        search->start();
    }
}

void TForm6::FormClose() {
    LogShown = false;
}

void TForm6::N1Click() {
    close();
}

void TForm6::ErrorList1Activate(int row) {
    if (row < 0 || row >= Entries->rowCount()) return;
    const processing::LogEntry entry = Entries->entryAt(row);
    const QString logFolder = QFileInfo(LogFileName).absolutePath();
    bool shown = false;
    editor_.Guarded([&] { shown = processing::goToLogEntry(editor_, entry, logFolder); });
    if (!shown) return;
    // The window the viewer stands beside holds the editor.
    if (QWidget* main = parentWidget()) {
        main->raise();
        main->activateWindow();
    }
}

// A LOG line clicked: the list shows the entry it belongs to.
void TForm6::Memo1CursorMoved() {
    if (followingSelection_) return;
    const auto line = static_cast<size_t>(Memo1->textCursor().blockNumber());
    const std::optional<int> row = Entries->rowAtLogLine(line);
    if (!row) return;
    followingSelection_ = true;
    const QModelIndex index = Entries->index(*row, 0);
    ErrorList1->setCurrentIndex(index);
    ErrorList1->scrollTo(index);
    followingSelection_ = false;
}

// An entry chosen in the list: the LOG shows where it begins.
void TForm6::ErrorList1RowChanged(int row) {
    if (followingSelection_ || row < 0 || row >= Entries->rowCount()) return;
    followingSelection_ = true;
    Memo1->ShowLine(static_cast<int>(Entries->entryAt(row).firstLogLine));
    followingSelection_ = false;
}

void TForm6::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || LogShown) return;
    editor_.Guarded([this] { FormShow(); });
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
