// The project index:
//  - indexing real projects from the TeX Live tree: the Russian thesis template of the disser
//    bundle (CP1251, its chapters and its .bib) and the 77 .bib files of the gost bundle's
//    examples; cold (nothing read yet) and again with nothing changed; limit 100 ms;
//  - a generated project of 300 files, 100,000 lines, 5,000 labels and 10,000 .bib entries,
//    indexed in the background (limit 1 s) while the window's thread is watched for stalls
//    (limit 16 ms), and again after one file's live text changed;
//  - a 50 MB .bib, read in the background;
//  - typing at the end of a 1,000,000-character document in the window with the index on
//    against off, median CPU time per key, the work of each pause counted apart (limit 1.05).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "platform/richedit.h"
#include "project/bib_reader.h"
#include "project/project_index.h"
#include "project/snapshot_builder.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"
#include "support/text.h"
#include "typist.h"

namespace {

using namespace bench;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void writeFile(const QString& path, const std::string& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

double msSince(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// Cold and warm builds of a root, in ms.
void indexReal(const char* name, const QString& root) {
    std::vector<double> cold, warm;
    size_t files = 0, entries = 0, labels = 0;
    for (int round = 0; round < 7; ++round) {
        project::SnapshotBuilder builder;
        QElapsedTimer clock;
        clock.start();
        const project::SnapshotPtr first = builder.build(root, {});
        cold.push_back(msSince(clock));
        clock.restart();
        builder.build(root, {});
        warm.push_back(msSince(clock));
        files = first->files.size() + first->bibs.size();
        labels = static_cast<size_t>(first->labels.size());
        entries = 0;
        for (const auto& bib : first->bibs)
            entries += bib.entries.size();
    }
    std::printf("%s: %zu files, %zu labels, %zu .bib entries: cold %.1f ms, nothing changed "
                "%.1f ms (limit 100 ms)\n",
                name, files, labels, entries, median(cold), median(warm));
}

// The thesis template, copied with its gzipped files unpacked (the tree is read only).
QString disserProject(const QString& into) {
    const QString from = QStringLiteral("/usr/share/doc/texlive-doc/latex/disser/templates/doctor");
    QDir source(from);
    if (!source.exists()) return {};
    for (const QString& name : source.entryList(QDir::Files)) {
        if (name.endsWith(QLatin1String(".gz"))) {
            QProcess gunzip;
            gunzip.setStandardOutputFile(QDir(into).filePath(name.chopped(3)));
            gunzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), source.filePath(name)});
            gunzip.waitForFinished();
        } else {
            QFile::copy(source.filePath(name), QDir(into).filePath(name));
        }
    }
    return QDir(into).filePath(QStringLiteral("thesis.tex"));
}

// A main file that lists the gost examples' .bib files and cites a key of each.
QString gostProject(const QString& into) {
    const QString folder =
        QStringLiteral("/usr/share/doc/texlive-doc/bibtex/gost/examples/utf8/bib");
    const QStringList bibs = QDir(folder).entryList({QStringLiteral("*.bib")}, QDir::Files);
    if (bibs.isEmpty()) return {};
    std::string text = "\\documentclass{article}\n\\begin{document}\n\\nocite{*}\n\\bibliography{";
    for (const QString& bib : bibs)
        text += (folder + u'/' + bib.chopped(4) + u',').toStdString();
    text.back() = '}';
    text += "\n\\end{document}\n";
    const QString root = QDir(into).filePath(QStringLiteral("gost.tex"));
    writeFile(root, text);
    return root;
}

constexpr int kFiles = 300;
constexpr int kLines = 100000;
constexpr int kLabels = 5000;
constexpr int kEntries = 10000;
constexpr int kBibFiles = 10;

// The generated project: a main file that inputs 299 chapters and lists 10 .bib files.
QString generatedProject(const QString& into) {
    std::string main = "\\documentclass{report}\n\\usepackage{amsmath}\n\\begin{document}\n";
    for (int f = 1; f < kFiles; ++f)
        main += "\\input{chapters/ch" + std::to_string(f) + "}\n";
    main += "\\bibliography{";
    for (int b = 0; b < kBibFiles; ++b)
        main += (b ? ",bib/refs" : "bib/refs") + std::to_string(b);
    main += "}\n\\end{document}\n";
    writeFile(QDir(into).filePath(QStringLiteral("main.tex")), main);
    const int linesPerFile = kLines / (kFiles - 1);
    const int labelsPerFile = kLabels / (kFiles - 1) + 1;
    int label = 0, cite = 0;
    for (int f = 1; f < kFiles; ++f) {
        std::string text = "\\chapter{Глава " + std::to_string(f) + "}\n";
        for (int line = 1; line < linesPerFile; ++line) {
            if (line % 40 == 1)
                text += "\\section{Раздел " + std::to_string(line) + "}\n";
            else if (line % (linesPerFile / labelsPerFile) == 0 && label < kLabels)
                text += "\\begin{equation}x_" + std::to_string(line) +
                        "\\label{eq:" + std::to_string(label++) + "}\\end{equation}\n";
            else if (line % 7 == 0)
                text += "Как показано в~\\ref{eq:" + std::to_string((label * 7) % (label + 1)) +
                        "} и в~\\cite{key" + std::to_string((cite++ * 13) % kEntries) + "}.\n";
            else
                text += "Пусть дана функция $f(x)=\\int_0^x g(t)\\,dt$, непрерывная на отрезке.\n";
        }
        writeFile(QDir(into).filePath(QStringLiteral("chapters/ch%1.tex").arg(f)), text);
    }
    for (int b = 0; b < kBibFiles; ++b) {
        std::string bib;
        for (int e = b; e < kEntries; e += kBibFiles)
            bib += "@article{key" + std::to_string(e) +
                   ",\n  author = {Иванов, И. and Petrov, P.},\n"
                   "  title = {Статья номер " +
                   std::to_string(e) +
                   "},\n  journal = {Вестник},\n"
                   "  year = {" +
                   std::to_string(1950 + e % 70) + "}\n}\n\n";
        writeFile(QDir(into).filePath(QStringLiteral("bib/refs%1.bib").arg(b)), bib);
    }
    return QDir(into).filePath(QStringLiteral("main.tex"));
}

// Runs the event loop until the index reports, the longest gap between two 1 ms ticks of a
// timer on this thread meanwhile: what a key pressed then would have waited.
struct Waited {
    double ms = 0;
    double longestStall = 0;
};
Waited waitForSnapshot(project::ProjectIndex& index, const std::function<void()>& start) {
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(1);
    QElapsedTimer clock, sinceTick;
    double stall = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        stall = std::max(stall, msSince(sinceTick));
        sinceTick.restart();
    });
    const auto connection =
        QObject::connect(&index, &project::ProjectIndex::updated, &loop, &QEventLoop::quit);
    tick.start();
    clock.start();
    sinceTick.start();
    start();
    loop.exec();
    const double ms = msSince(clock);
    QObject::disconnect(connection);
    return {ms, stall};
}

void indexGenerated(const QString& root) {
    std::vector<double> cold, stalls, live;
    size_t files = 0, labels = 0, entries = 0, problems = 0;
    for (int round = 0; round < 5; ++round) {
        project::ProjectIndex index;
        const Waited first = waitForSnapshot(index, [&] { index.SetRoot(root); });
        cold.push_back(first.ms);
        stalls.push_back(first.longestStall);
        const project::SnapshotPtr s = index.Current();
        files = s->files.size() + s->bibs.size();
        labels = static_cast<size_t>(s->labels.size());
        entries = static_cast<size_t>(s->bibKeys.size());
        problems = s->problems.size();
        // A pause in typing: one chapter's text handed over.
        const QString chapter = s->files[150].path;
        const Waited again = waitForSnapshot(index, [&] {
            index.SetLiveText(chapter, QStringLiteral("\\section{Новый}\\label{new}\n"));
        });
        live.push_back(again.ms);
        stalls.push_back(again.longestStall);
    }
    std::printf("generated project: %zu files (%d lines), %zu labels, %zu .bib entries, %zu "
                "problems: indexed in the background in %.0f ms (limit 1000 ms); again after one "
                "file's live text changed %.1f ms; the window's longest stall meanwhile %.1f ms "
                "(limit 16 ms)\n",
                files, kLines, labels, entries, problems, median(cold), median(live),
                *std::max_element(stalls.begin(), stalls.end()));
}

void readLargeBib(const QString& folder) {
    const QString path = QDir(folder).filePath(QStringLiteral("large.bib"));
    {
        std::ofstream out(path.toStdString(), std::ios::binary);
        std::string entry;
        for (long i = 0; out.tellp() < 50'000'000; ++i) {
            entry = "@book{big" + std::to_string(i) +
                    ",\n  author = {Иванов, Иван and Петров, Пётр},\n  title = {Очень длинное "
                    "название книги номер " +
                    std::to_string(i) +
                    "},\n  publisher = {Наука},\n  year = {1987},\n  note = {Lorem ipsum dolor "
                    "sit amet, consectetur adipiscing elit, sed do eiusmod tempor.}\n}\n\n";
            out << entry;
        }
    }
    QElapsedTimer clock;
    clock.start();
    const project::BibFile bib = project::readBib(path);
    std::printf("a %.0f MB .bib: %zu entries read in %.0f ms (in the background)\n",
                double(QFileInfo(path).size()) / 1e6, bib.entries.size(), msSince(clock));
}

std::unique_ptr<TForm1> makeForm(const support::ProgramFolder& folder) {
    auto form =
        std::make_unique<TForm1>(folder.dir.string(), std::make_unique<support::ScriptedPrompts>());
    form->CreateDialogs();
    form->resize(900, 700);
    form->show();
    QCoreApplication::processEvents();
    return form;
}

// Keys at the end of the document in bursts of 100 with a pause after each, as a user
// types: CPU time per key (median), and of each pause's work (the index's feed).
struct Typing {
    double perKey = 0;
    double perPause = 0;
};
Typing typeAtEnd(TForm1& form) {
    platform::TRichEdit* editor = form.RichEdit1;
    editor->SetSelStart(editor->TextLength());
    editor->SetInsertCharset(platform::kCyrillicCharset);
    form.InCommandWord = form.DollarSeen = form.RestoreAfterShift = false;
    editor->setFocus();
    QCoreApplication::processEvents();
    const std::string sentence = sentenceKeys();
    std::vector<double> keys, pauses;
    for (size_t i = 0; keys.size() < 1000; ++i) {
        const qint64 start = threadCpuNanos();
        typeKey(editor, sentence[i % sentence.size()]);
        QCoreApplication::processEvents();
        keys.push_back(double(threadCpuNanos() - start) / 1e3);
        if (keys.size() % 100 == 0) {
            const qint64 pause = threadCpuNanos();
            QElapsedTimer clock;
            clock.start();
            while (clock.elapsed() < 400)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            pauses.push_back(double(threadCpuNanos() - pause) / 1e6);
        }
    }
    editor->UndoLastStep();
    return {median(keys), median(pauses)};
}

void typing(const support::ProgramFolder& folder, const QString& dir) {
    // The characters count in the control, a line break two: the document fills it up to
    // room for the keys typed.
    QString text = QStringLiteral("\\documentclass{article}\n\\begin{document}\n");
    qsizetype length = text.size() + 2;
    for (int i = 0; length < platform::TRichEdit::kMaxLength - 8000; ++i) {
        const QString line = QStringLiteral("\\section{Раздел}\\label{s%1} См. \\ref{s%2}. Пусть "
                                            "дана функция $f(x)$, непрерывная на отрезке.\n")
                                 .arg(i)
                                 .arg(i / 2);
        text += line;
        length += line.size() + 1;
    }
    const QString large = QDir(dir).filePath(QStringLiteral("large.tex"));
    writeFile(large, support::cp866(text.toStdU16String()));
    writeFile(QDir(dir).filePath(QStringLiteral("large.sts")), "*\r\n1\r\n0\r\n");

    auto on = makeForm(folder);
    auto off = makeForm(folder);
    on->OpenAnotherDocument(large);
    off->OpenAnotherDocument(large);
    // Off: the index hears no key and has no root.
    QObject::disconnect(off->RichEdit1, &QPlainTextEdit::textChanged, off.get(), nullptr);
    off->ProjectIndex1->SetRoot({});
    on->FeedProjectIndex();
    on->ProjectIndex1->WaitForIdle();
    std::vector<double> ratios, onKeys, offKeys, onPauses, offPauses;
    for (int round = 0; round < 5; ++round) {
        const Typing a = typeAtEnd(*off);
        const Typing b = typeAtEnd(*on);
        offKeys.push_back(a.perKey);
        onKeys.push_back(b.perKey);
        offPauses.push_back(a.perPause);
        onPauses.push_back(b.perPause);
        ratios.push_back(b.perKey / a.perKey);
    }
    // The index's own work on the window's thread after a pause: the text handed over, and
    // the marks of the snapshot made of it.
    std::vector<double> feeds, shows;
    for (int round = 0; round < 10; ++round) {
        on->RichEdit1->SetSelText(std::string_view("x"));
        const qint64 start = threadCpuNanos();
        on->FeedProjectIndex();
        feeds.push_back(double(threadCpuNanos() - start) / 1e6);
        on->ProjectIndex1->WaitForIdle();
        const qint64 shown = threadCpuNanos();
        QCoreApplication::processEvents();
        shows.push_back(double(threadCpuNanos() - shown) / 1e6);
    }
    std::printf("typing at the end of a %d-character document, median CPU time per key: index "
                "off %.1f us, on %.1f us; median ratio %.3f (limit 1.05); the window's work in "
                "each pause (all the editor does then): off %.1f ms, on %.1f ms; of it the "
                "index's: the text handed over %.1f ms, a snapshot's marks shown %.1f ms\n",
                on->RichEdit1->TextLength(), median(offKeys), median(onKeys), median(ratios),
                median(offPauses), median(onPauses), median(feeds), median(shows));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state, work;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());

    QDir(work.path()).mkpath(QStringLiteral("disser"));
    const QString disser = disserProject(work.filePath(QStringLiteral("disser")));
    if (!disser.isEmpty()) indexReal("the disser bundle's thesis template", disser);
    const QString gost = gostProject(work.path());
    if (!gost.isEmpty()) indexReal("the gost bundle's 77 example .bib files", gost);

    QDir(work.path()).mkpath(QStringLiteral("generated"));
    indexGenerated(generatedProject(work.filePath(QStringLiteral("generated"))));
    readLargeBib(work.path());

    const support::ProgramFolder folder;
    typing(folder, work.path());
    return 0;
}
