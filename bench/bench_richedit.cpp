// Loading a large document into the editing control, against QPlainTextEdit::setPlainText
// of the same text, and the cost of the position queries the typing rules make on every
// key at the end of that document.
//
// Run: build/bench/bench_richedit (QT_QPA_PLATFORM=offscreen works without a display).
#include "platform/codepage.h"
#include "platform/richedit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

using platform::TextRun;

namespace {

// 1,000,000 characters of TeX-like text in 33,000 runs, Cyrillic and Latin alternating,
// with a line break about every 70 characters.
std::vector<TextRun> makeRuns() {
    const std::string cyrillic[] = {
        platform::toCp1251(u" пусть дана функция "), platform::toCp1251(u", тогда по теореме "),
        platform::toCp1251(u" и значит, что верно "), platform::toCp1251(u" при всех ")};
    const std::string latin[] = {"\\alpha_i$", "$f(x)=x^2", "\\begin{equation}", "\\frac{a}{b}",
                                 "\\section{"};
    std::vector<TextRun> runs;
    const int total = 1000000;
    const int count = 33000;
    int written = 0;
    int sinceBreak = 0;
    for (int i = 0; i < count; ++i) {
        TextRun run;
        run.charset = i % 2 == 0 ? platform::kCyrillicCharset : platform::kLatinCharset;
        const int want = (total - written) / (count - i);
        const std::string& pattern = i % 2 == 0 ? cyrillic[i / 2 % 4] : latin[i / 2 % 5];
        while (static_cast<int>(run.text.size()) < want) {
            if (sinceBreak >= 70) {
                run.text += '\n';
                sinceBreak = 0;
            } else {
                run.text += pattern[run.text.size() % pattern.size()];
                ++sinceBreak;
            }
        }
        written += static_cast<int>(run.text.size());
        runs.push_back(std::move(run));
    }
    return runs;
}

double threadCpuMilliseconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// The best wall time and the best CPU time of this thread over some runs; the CPU time is
// the steadier figure on a machine shared with other work.
struct Timing {
    double wall = 1e30;
    double cpu = 1e30;
};

template <typename F> Timing best(int repeats, F&& f) {
    Timing t;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = threadCpuMilliseconds();
        f();
        t.cpu = std::min(t.cpu, threadCpuMilliseconds() - cpuStart);
        t.wall = std::min(t.wall, static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return t;
}

template <typename F> double bestMilliseconds(int repeats, F&& f) {
    return best(repeats, f).wall;
}

template <typename F> double microsecondsPerCall(int calls, F&& f) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i)
        f();
    return timer.nsecsElapsed() / 1e3 / calls;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::vector<TextRun> runs = makeRuns();
    QString plainText;
    for (const TextRun& run : runs)
        plainText += run.text;
    const std::string whole = platform::toCp1251(plainText);
    std::printf("document: %zu characters in %zu runs, %lld lines\n", whole.size(), runs.size(),
                static_cast<long long>(std::count(whole.begin(), whole.end(), '\n') + 1));

    platform::TRichEdit edit;
    QPlainTextEdit baseline;
    edit.resize(800, 600);
    baseline.resize(800, 600);
    edit.show();
    baseline.show();
    QApplication::processEvents();

    const int repeats = 7;
    const Timing plain = best(repeats, [&] { baseline.setPlainText(plainText); });
    const Timing loaded = best(repeats, [&] { edit.LoadRuns(runs); });
    const Timing plainShown = best(repeats, [&] {
        baseline.setPlainText(plainText);
        QApplication::processEvents();
    });
    const Timing loadedShown = best(repeats, [&] {
        edit.LoadRuns(runs);
        QApplication::processEvents();
    });
    std::printf("                                     wall ms   cpu ms\n");
    std::printf("QPlainTextEdit::setPlainText       %8.1f %8.1f\n", plain.wall, plain.cpu);
    std::printf("TRichEdit::LoadRuns                %8.1f %8.1f\n", loaded.wall, loaded.cpu);
    std::printf("  ratio                            %7.2fx %7.2fx   (target <= 2.0x)\n",
                loaded.wall / plain.wall, loaded.cpu / plain.cpu);
    std::printf("with the first paint: baseline     %8.1f %8.1f\n", plainShown.wall,
                plainShown.cpu);
    std::printf("with the first paint: LoadRuns     %8.1f %8.1f\n", loadedShown.wall,
                loadedShown.cpu);
    std::printf("  ratio                            %7.2fx %7.2fx\n",
                loadedShown.wall / plainShown.wall, loadedShown.cpu / plainShown.cpu);

    edit.SetSelStart(edit.TextLength());
    volatile int sink = 0;
    const int calls = 200000;
    const double selStartUs = microsecondsPerCall(calls, [&] { sink = edit.SelStart(); });
    const double charBeforeUs = microsecondsPerCall(calls, [&] { sink = edit.CharBeforeCaret(); });
    const double setSelUs =
        microsecondsPerCall(20000, [&] { edit.SetSel(edit.TextLength() - 1, 1); });
    const double charBeforeAnyUs =
        microsecondsPerCall(calls, [&] { sink = edit.CharBefore(edit.TextLength() - 5); });
    std::printf("SelStart at the end               %8.3f us per call (target < 10)\n", selStartUs);
    std::printf("CharBeforeCaret at the end        %8.3f us per call (target < 10)\n",
                charBeforeUs);
    std::printf("CharBefore(position) at the end   %8.3f us per call\n", charBeforeAnyUs);
    std::printf("SetSel at the end                 %8.3f us per call\n", setSelUs);

    // A backward find built from repeated forward finds, as the find dialog searches up.
    const std::string word = "alpha";
    int found = 0;
    const double backwardMs = bestMilliseconds(1, [&] {
        int from = 0;
        found = 0;
        for (;;) {
            const int r = edit.FindText(word, from, edit.TextLength(), false, false);
            if (r < 0) break;
            ++found;
            from = r + 1;
        }
    });
    std::printf("backward find over %d matches     %8.1f ms\n", found, backwardMs);
    const double textMs = bestMilliseconds(3, [&] { sink = static_cast<int>(edit.Text().size()); });
    std::printf("Text() of the whole document      %8.1f ms\n", textMs);
    (void)sink;
    return 0;
}
