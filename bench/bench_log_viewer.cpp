// The LOG viewer opening a 10 MB LOG of TeX Live with many bad boxes (the box warnings of
// tests/processing/logs/boxes.log repeated), shown with its list of entries, against the
// plain viewer it grew from in the same run: a window whose memo takes the LOG's lines read
// with readLogLines and converted the same way, and nothing else.
// Prints the median and best wall time of a few openings of each, and of the list's own
// work alone (the openings' difference drowns in the memo's time on a busy machine).
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/tform1.h"
#include "large_log.h"
#include "platform/codepage.h"
#include "platform/textfile.h"
#include "processing/log_entry_model.h"
#include "processing/log_text.h"
#include "processing/tform6.h"
#include "support/scripted_prompts.h"

namespace {

constexpr int kRuns = 7;

// The viewer as it was: the LOG's lines into a memo.
double plainViewer(const QString& path) {
    QMainWindow window;
    auto* memo = new QPlainTextEdit(&window);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    window.setCentralWidget(memo);
    window.setGeometry(192, 107, 544, 375);
    QElapsedTimer timer;
    timer.start();
    window.show();
    std::vector<std::string> lines;
    processing::readLogLines(path, lines);
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        text << platform::fromCp1251(line);
    memo->setPlainText(text.join(QLatin1Char('\n')));
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double listedViewer(TForm1& form, int& rows) {
    QElapsedTimer timer;
    timer.start();
    form.LOG1Click();
    QApplication::processEvents();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    rows = form.Form6->Entries->rowCount();
    form.Form6->close();
    QApplication::processEvents();
    return ms;
}

// What the list adds to an opening: the LOG parsed and its entries handed to the list.
double listAlone(TForm1& form, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    form.Form6->Entries->setEntries(processing::parseLog(platform::readFileBytes(path)));
    QApplication::processEvents();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void print(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s %8.1f ms median, %8.1f ms best\n", what, ms[ms.size() / 2], ms.front());
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const std::string log = largeLog();
    std::ofstream(dir.filePath(QStringLiteral("thesis.log")).toStdString(), std::ios::binary)
        << log;

    TForm1 form({}, std::make_unique<support::ScriptedPrompts>());
    form.CreateDialogs();
    form.DocName = QStringLiteral("thesis");
    form.DocExt = QStringLiteral(".tex");
    form.DocDir = dir.path();
    form.MainFile = QStringLiteral("*");

    std::vector<double> plain, listed, list;
    int rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        plain.push_back(plainViewer(dir.filePath(QStringLiteral("thesis.log"))));
        listed.push_back(listedViewer(form, rows));
        list.push_back(listAlone(form, dir.filePath(QStringLiteral("thesis.log"))));
    }
    std::printf("LOG: %zu bytes, %d entries listed; %d openings each\n", log.size(), rows, kRuns);
    print("plain viewer (memo only):", plain);
    print("the viewer with its list of entries:", listed);
    print("of which the list (read, parse, hand over):", list);
    std::sort(plain.begin(), plain.end());
    std::sort(listed.begin(), listed.end());
    std::printf("difference of the medians: %.1f ms\n",
                listed[listed.size() / 2] - plain[plain.size() / 2]);
    return 0;
}
