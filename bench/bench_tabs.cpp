// Several documents at once, on a generated project of 40 CP866 chapters (about 30,000
// characters each, with their status files) and one document of about 1,000,000
// characters:
//  - switching tabs with 40 documents open: the time until the text is shown and ready for
//    a key (Show, the events it posts and a repaint of the control), median and worst;
//  - opening the 40 chapters one after another in one window against the sum of opening
//    each alone in a tab of its own (closed before the next), in processor time (limit 1.1);
//  - typing at the end of the large document with the 40 chapters open against with it
//    alone, median CPU time per key over rounds (limit 1.05);
//  - memory: the resident size a document adds, against its text's own size.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "platform/richedit.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"
#include "support/text.h"
#include "typist.h"

namespace {

using namespace bench;

constexpr int kChapters = 40;
constexpr int kTypedCharacters = 1000;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double residentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A chapter of Russian prose with TeX markup, about `length` characters, in CP866.
std::string chapterBytes(int number, int length) {
    std::string text = "\\chapter{" + support::cp866("Глава ") + std::to_string(number) + "}\r\n";
    const std::string line = support::cp866("Пусть дана функция, непрерывная на отрезке ") +
                             "$[a,b]$, " + support::cp866("и пусть ") +
                             "$f(x)=\\int_0^x g(t)\\,dt$.\r\n";
    while (static_cast<int>(text.size()) < length)
        text += line;
    return text;
}

void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
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

qint64 openCpu(TForm1& form, const QString& path) {
    const qint64 start = threadCpuNanos();
    form.OpenAnotherDocument(path);
    QCoreApplication::processEvents();
    return threadCpuNanos() - start;
}

double typeAtEnd(TForm1& form) {
    platform::TRichEdit* editor = form.RichEdit1;
    editor->SetSelStart(editor->TextLength());
    editor->SetInsertCharset(platform::kCyrillicCharset);
    form.InCommandWord = form.DollarSeen = form.RestoreAfterShift = false;
    editor->setFocus();
    QCoreApplication::processEvents();
    const std::string sentence = sentenceKeys();
    std::vector<double> times;
    for (size_t i = 0; int(times.size()) < kTypedCharacters; ++i) {
        const qint64 start = threadCpuNanos();
        typeKey(editor, sentence[i % sentence.size()]);
        QCoreApplication::processEvents();
        times.push_back(double(threadCpuNanos() - start) / 1e3);
    }
    editor->UndoLastStep(); // the next round starts from the same length
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state, project;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    const support::ProgramFolder folder;

    QStringList chapters;
    for (int i = 1; i <= kChapters; ++i) {
        const QString path = project.filePath(QStringLiteral("chapter%1.tex").arg(i));
        writeFile(path, chapterBytes(i, 30000));
        writeFile(project.filePath(QStringLiteral("chapter%1.sts").arg(i)), "*\r\n1\r\n0\r\n");
        chapters << path;
    }
    const QString large = project.filePath(QStringLiteral("large.tex"));
    writeFile(large, chapterBytes(0, platform::TRichEdit::kMaxLength - 4 * kTypedCharacters));
    writeFile(project.filePath(QStringLiteral("large.sts")), "*\r\n1\r\n0\r\n");

    // Opening: each alone (beside one small document, so that it gets a tab of its own as
    // well, and closed again), then all one after another, in turns so that a drift in the
    // machine's speed falls on both.
    const QString small = project.filePath(QStringLiteral("small.tex"));
    writeFile(small, chapterBytes(0, 100));
    writeFile(project.filePath(QStringLiteral("small.sts")), "*\r\n1\r\n0\r\n");
    auto alone = makeForm(folder);
    alone->OpenAnotherDocument(small);
    auto together = makeForm(folder);
    qint64 aloneSum = 0, togetherSum = 0;
    for (const QString& chapter : chapters) {
        aloneSum += openCpu(*alone, chapter);
        alone->CloseTab1Click();
        togetherSum += openCpu(*together, chapter);
    }
    std::printf("opening %d chapters: each alone %.1f ms in all, one after another %.1f ms; "
                "ratio %.3f (limit 1.10)\n",
                kChapters, aloneSum / 1e6, togetherSum / 1e6,
                double(togetherSum) / double(aloneSum));

    // Memory: what the 40 chapters and then the large document added.
    const double before = residentMegabytes();
    auto measured = makeForm(folder);
    const double empty = residentMegabytes();
    for (const QString& chapter : chapters)
        measured->OpenAnotherDocument(chapter);
    QCoreApplication::processEvents();
    const double withChapters = residentMegabytes();
    measured->OpenAnotherDocument(large);
    QCoreApplication::processEvents();
    const double withLarge = residentMegabytes();
    const int largeLength = measured->RichEdit1->TextLength();
    std::printf("memory: a window %.1f MB; %d chapters of about 30,000 characters add %.1f MB "
                "(%.2f MB each, text %.2f MB as UTF-16); a %d-character document adds %.1f MB "
                "(text %.1f MB as UTF-16)\n",
                empty - before, kChapters, withChapters - empty, (withChapters - empty) / kChapters,
                30000 * 2 / 1048576.0, largeLength, withLarge - withChapters,
                largeLength * 2 / 1048576.0);
    measured.reset();

    // Switching with 40 documents open.
    std::vector<double> switches;
    app::DocumentTabs& tabs = *together->Tabs;
    for (int i = 0; i < 400; ++i) {
        const int next = (i * 7 + 3) % tabs.Count();
        if (next == tabs.CurrentIndex()) continue;
        QElapsedTimer clock;
        clock.start();
        tabs.Show(next);
        QCoreApplication::processEvents();
        together->RichEdit1->viewport()->repaint();
        switches.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::printf("switching among %d documents: median %.2f ms, worst %.2f ms (limit 30 ms)\n",
                tabs.Count(), median(switches),
                *std::max_element(switches.begin(), switches.end()));

    // Typing at the end of the large document, alone against among the 40 chapters.
    alone->OpenAnotherDocument(large);
    together->OpenAnotherDocument(large);
    std::vector<double> ratios, aloneKeys, togetherKeys;
    for (int round = 0; round < 5; ++round) {
        const double a = typeAtEnd(*alone);
        const double t = typeAtEnd(*together);
        aloneKeys.push_back(a);
        togetherKeys.push_back(t);
        ratios.push_back(t / a);
        std::printf("round %d: alone %.1f us/key, with %d others %.1f us/key, ratio %.3f\n",
                    round + 1, a, together->Tabs->Count() - 1, t, t / a);
    }
    std::printf("typing at the end of a %d-character document, median CPU time per key: alone "
                "%.1f us, with %d others open %.1f us; median ratio %.3f (limit 1.05)\n",
                together->RichEdit1->TextLength(), median(aloneKeys), kChapters,
                median(togetherKeys), median(ratios));
    return 0;
}
