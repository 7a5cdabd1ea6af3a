// The completion popup and the structure pane on a generated project of 300 files with
// 5,000 labels, 10,000 .bib entries and 3,000 headings (snapshots made as the index makes
// them), in the real main window:
//  - from the key that opens the popup (the "{" of "\ref{", of "\cite{", the "\" of a
//    command) to the popup shown, with its lists made afresh for a new snapshot (the worst
//    case: the first key after the project changed) and made already; limit 30 ms;
//  - a key that narrows the open popup, against the same key with no popup (the baseline);
//  - the structure pane: filled the first time, and brought up to date in place after one
//    heading changed; then, with the real index on the same project written to disk
//    (100,000 lines), from the last key of a new \section to the pane showing it: the pause
//    the window waits before handing the text over, the index's work and the pane's; limit
//    300 ms after the pause.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "app/tform1.h"
#include "platform/richedit.h"
#include "project/completion_popup.h"
#include "project/project_index.h"
#include "project/structure_pane.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"

namespace {

constexpr int kFiles = 300;
constexpr int kLabels = 5000;
constexpr int kBibEntries = 10000;
constexpr int kHeadingsPerFile = 10;
constexpr int kRounds = 15;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

project::SnapshotPtr generatedProject(const QString& folder, int generation) {
    auto snapshot = std::make_shared<project::Snapshot>();
    snapshot->root = folder + QStringLiteral("/main.tex");
    for (int f = 0; f < kFiles; ++f) {
        project::FileIndex file;
        file.path = f == 0 ? snapshot->root : folder + QStringLiteral("/parts/part%1.tex").arg(f);
        file.packages = {QStringLiteral("amsmath")};
        for (int h = 0; h < kHeadingsPerFile; ++h)
            file.headings.push_back({h == 0 ? 1 : 2,
                                     QStringLiteral("Раздел %1.%2 (%3)")
                                         .arg(f)
                                         .arg(h)
                                         .arg(h == 5 && f == 7 ? generation : 0),
                                     {f, h * 30, 0, 0}});
        for (int l = 0; l < kLabels / kFiles + 1; ++l) {
            const QString key = QStringLiteral("fig:рис%1-%2").arg(f).arg(l);
            const project::Place at{f, l * 20 + 5, 7, static_cast<int>(key.size())};
            file.labels.push_back({key, QStringLiteral("Схема стенда номер %1").arg(l), at});
            snapshot->labels.insert(key, {at});
        }
        snapshot->files.push_back(std::move(file));
    }
    project::BibFile bib;
    bib.path = folder + QStringLiteral("/refs.bib");
    for (int e = 0; e < kBibEntries; ++e) {
        bib.entries.push_back({QStringLiteral("author%1year").arg(e),
                               QStringLiteral("article"),
                               QStringLiteral("Иванов И. И. and Petrov P."),
                               QStringLiteral("2020"),
                               QStringLiteral("О природе вещей, том %1").arg(e),
                               {0, e * 8, 9, 10}});
        snapshot->bibKeys.insert(bib.entries.back().key, {0, e});
    }
    snapshot->bibs.push_back(std::move(bib));
    return snapshot;
}

// The pause in typing after which the window hands the text to the index (app/project_menu).
constexpr int kTypingPauseMs = 200;

void writeText(const QString& path, const QString& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text.toUtf8().toStdString();
}

// The generated project on disk: 300 chapters of about 333 lines each (headings, labels,
// references, citations and prose) and a .bib of 10,000 entries. Returns the root.
QString writeProject(const QString& folder) {
    QString main = QStringLiteral("\\documentclass{report}\n\\usepackage[utf8]{inputenc}\n"
                                  "\\begin{document}\n");
    for (int f = 1; f < kFiles; ++f) {
        main += QStringLiteral("\\include{ch%1}\n").arg(f);
        QString text = QStringLiteral("\\chapter{Глава %1}\n").arg(f);
        for (int l = 0; l < kLabels / kFiles + 1; ++l) {
            text += QStringLiteral("\\section{Раздел %1}\\label{sec:%2-%1}\n").arg(l).arg(f);
            for (int line = 0; line < 18; ++line)
                text +=
                    QStringLiteral("Пусть дана функция, см.~\\ref{sec:%1-%2} и~\\cite{key%3}.\n")
                        .arg(f)
                        .arg(l)
                        .arg((f * 31 + line) % kBibEntries);
        }
        writeText(folder + QStringLiteral("/ch%1.tex").arg(f), text);
        writeText(folder + QStringLiteral("/ch%1.sts").arg(f),
                  QStringLiteral("main\r\n1\r\n0\r\n"));
    }
    main += QStringLiteral("\\bibliography{refs}\n\\end{document}\n");
    QString bib;
    for (int e = 0; e < kBibEntries; ++e)
        bib +=
            QStringLiteral("@article{key%1, author={Иванов, И.}, year={2020}, title={Статья %1}}\n")
                .arg(e);
    writeText(folder + QStringLiteral("/refs.bib"), bib);
    writeText(folder + QStringLiteral("/main.tex"), main);
    writeText(folder + QStringLiteral("/main.sts"), QStringLiteral("*\r\n1\r\n0\r\n"));
    return folder + QStringLiteral("/main.tex");
}

void send(platform::TRichEdit& edit, int key, const QString& text) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(&edit, &event);
    }
}

// Types the characters before the last, then times the last key until the popup is up.
double msToPopup(TForm1& form, const char* typed) {
    platform::TRichEdit& edit = *form.RichEdit1;
    edit.SetSel(edit.TextLength(), 0);
    send(edit, Qt::Key_Return, QStringLiteral("\r"));
    std::string text(typed);
    for (size_t i = 0; i + 1 < text.size(); ++i)
        send(edit, QChar(text[i]).toUpper().unicode(), QString(QChar(text[i])));
    QApplication::processEvents();
    form.Completion1->Close();
    QElapsedTimer timer;
    timer.start();
    send(edit, QChar(text.back()).unicode(), QString(QChar(text.back())));
    QApplication::processEvents();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!form.Completion1->IsShown()) std::printf("  (the popup did not open for %s)\n", typed);
    form.Completion1->Close();
    return ms;
}

double msPerKey(platform::TRichEdit& edit, char key) {
    QElapsedTimer timer;
    timer.start();
    send(edit, QChar(key).toUpper().unicode(), QString(QChar(key)));
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state, project;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    const support::ProgramFolder folder;
    std::ofstream((project.path() + QStringLiteral("/main.tex")).toStdString(), std::ios::binary)
        << "\\documentclass{report}\r\n";
    TForm1 form(folder.dir.string(), std::make_unique<support::ScriptedPrompts>());
    form.CreateDialogs();
    form.resize(1000, 700);
    form.show();
    form.Guarded([&] { form.OpenDocument(project.path() + QStringLiteral("/main.tex")); });
    QApplication::processEvents();

    std::printf("Generated project: %d files, %d labels, %d .bib entries, %d headings\n", kFiles,
                kLabels, kBibEntries, kFiles * kHeadingsPerFile);
    struct Opening {
        const char* what;
        const char* typed;
    } openings[] = {{"\\ref{   ", "\\ref{"}, {"\\cite{  ", "\\cite{"}, {"\\       ", "\\"}};
    // The first popup of the session pays once for what Qt makes on first use (the
    // list's painting, the fonts of its text): shown on its own.
    form.ProjectSnapshotChanged(generatedProject(project.path(), -1));
    std::printf("First popup of the session (\\ref{): %.2f ms\n", msToPopup(form, "\\ref{"));
    std::printf("Key to popup shown (limit 30 ms), median / worst of %d:\n", kRounds);
    for (const Opening& opening : openings) {
        std::vector<double> fresh, made;
        for (int round = 0; round < kRounds; ++round) {
            form.ProjectSnapshotChanged(generatedProject(project.path(), round));
            fresh.push_back(msToPopup(form, opening.typed));
            made.push_back(msToPopup(form, opening.typed));
        }
        std::printf("  %s lists made afresh %6.2f / %6.2f ms, made already %6.2f / %6.2f ms\n",
                    opening.what, median(fresh), *std::max_element(fresh.begin(), fresh.end()),
                    median(made), *std::max_element(made.begin(), made.end()));
    }

    // A key that narrows the open popup of 10,000 keys, against the key with no popup.
    platform::TRichEdit& edit = *form.RichEdit1;
    std::vector<double> narrowing, plain;
    for (int round = 0; round < kRounds; ++round) {
        msToPopup(form, "\\cite{");
        send(edit, Qt::Key_Space, QStringLiteral(" "));
        send(edit, Qt::Key_Backspace, QStringLiteral("\b"));
        QApplication::processEvents();
        form.Completion1->Refresh(true);
        narrowing.push_back(msPerKey(edit, 'a'));
        form.Completion1->Close();
        send(edit, Qt::Key_Return, QStringLiteral("\r"));
        plain.push_back(msPerKey(edit, 'a'));
    }
    std::printf("A key narrowing 10,000 keys: %.2f ms, the same key without popup %.2f ms "
                "(ratio %.1f)\n",
                median(narrowing), median(plain), median(narrowing) / median(plain));

    // The structure pane.
    form.findChild<QAction*>(QStringLiteral("Structure1"))->trigger();
    std::vector<double> first, update;
    for (int round = 0; round < 5; ++round) {
        form.findChild<QAction*>(QStringLiteral("Structure1"))->trigger(); // hidden
        form.StructurePane1->Model().clear();
        form.ProjectSnapshotChanged(generatedProject(project.path(), 0));
        QElapsedTimer timer;
        timer.start();
        form.findChild<QAction*>(QStringLiteral("Structure1"))->trigger();
        QApplication::processEvents();
        first.push_back(double(timer.nsecsElapsed()) / 1e6);
        const project::SnapshotPtr next = generatedProject(project.path(), round + 1);
        timer.restart();
        form.ProjectSnapshotChanged(next);
        QApplication::processEvents();
        update.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("Structure pane: filled %.1f ms, brought up to date in place %.1f ms\n",
                median(first), median(update));

    // The real index on disk: a root, 300 chapters of about 330 lines, a .bib of 10,000.
    const QString root = writeProject(project.path());
    form.Guarded([&] { form.OpenAnotherDocument(root); });
    form.ProjectIndex1->WaitForIdle();
    QApplication::processEvents();
    form.Guarded([&] { form.OpenAnotherDocument(project.path() + QStringLiteral("/ch7.tex")); });
    form.ProjectIndex1->WaitForIdle();
    QApplication::processEvents();
    std::vector<double> afterKey;
    for (int round = 0; round < 5; ++round) {
        edit.SetSel(edit.LineStart(3), 0);
        const QString title = QStringLiteral("New%1").arg(round);
        for (QChar c : QStringLiteral("\\section{") + title + QStringLiteral("}\r"))
            send(edit, c == u'\r' ? int(Qt::Key_Return) : c.toUpper().unicode(), QString(c));
        QElapsedTimer timer;
        timer.start();
        while (!form.StructurePane1->Model().findItems(title, Qt::MatchRecursive).size() &&
               timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        afterKey.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("Real index, 100,000 lines: a new \\section in the pane %.0f ms after the last "
                "key, median (the window waits %d ms for the pause; limit 300 ms after it)\n",
                median(afterKey), kTypingPauseMs);
    return 0;
}
