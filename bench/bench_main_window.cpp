// Building and showing the main window with all data files loaded, against a plain
// QMainWindow with a text control, a menu bar and a toolbar of 20 actions, in the same run.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/tform1.h"
#include "platform/codepage.h"
#include "support/scripted_prompts.h"

namespace {

// The folder with the data files: beside the program, or one level up (build/bench/).
std::string dataFolder() {
    QDir dir(QCoreApplication::applicationDirPath());
    if (!dir.exists(QStringLiteral("env1.dat"))) dir.cdUp();
    return platform::fromFsPath(dir.absolutePath());
}

void showAndSettle(QWidget& window) {
    window.show();
    QApplication::processEvents();
}

double plainWindow() {
    QElapsedTimer timer;
    timer.start();
    {
        QMainWindow window;
        window.setCentralWidget(new QPlainTextEdit);
        for (const char* title : {"File", "Edit", "Processing", "Service"}) {
            QMenu* menu = window.menuBar()->addMenu(QLatin1String(title));
            for (int i = 0; i < 6; ++i)
                menu->addAction(QStringLiteral("Item %1").arg(i));
        }
        QToolBar* bar = window.addToolBar(QStringLiteral("bar"));
        for (int i = 0; i < 20; ++i)
            bar->addAction(QStringLiteral("Button %1").arg(i));
        showAndSettle(window);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double editorWindow(const std::string& folder, bool withDialogs) {
    QElapsedTimer timer;
    timer.start();
    {
        TForm1 form(folder, std::make_unique<support::ScriptedPrompts>());
        if (withDialogs) form.CreateDialogs();
        showAndSettle(form);
    }
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::string folder = dataFolder();
    const int runs = 40;
    // Warm up fonts, styles and the icon engine once for both.
    plainWindow();
    editorWindow(folder, true);

    std::vector<double> plain, editor, editorDialogs;
    for (int i = 0; i < runs; ++i) {
        plain.push_back(plainWindow());
        editor.push_back(editorWindow(folder, false));
        editorDialogs.push_back(editorWindow(folder, true));
    }
    const double base = median(plain);
    std::printf("data files from %s, %d runs each, median times:\n", folder.c_str(), runs);
    std::printf("  QMainWindow + QPlainTextEdit + menus + 20-action toolbar: %8.3f ms\n", base);
    std::printf("  TForm1 built, data files loaded, shown:                  %8.3f ms  ratio %.2fx "
                "(target <= 2x)\n",
                median(editor), median(editor) / base);
    std::printf(
        "  the same with the eight dialog windows created:          %8.3f ms  ratio %.2fx\n",
        median(editorDialogs), median(editorDialogs) / base);
    return 0;
}
