// The recovery journal of a 1,000,000-character document: serialising, and serialising plus
// the atomic write with and without flushing to disk, against a plain write of the same
// bytes (temporary file, rename) in the same run; then what the window's thread spends on
// a journal: getting the text out of the control and handing the snapshot over.
//
// Run: build/bench/bench_journal [folder]   (default: a temporary folder in /tmp;
// QT_QPA_PLATFORM=offscreen works without a display).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "journal/journal_format.h"
#include "journal/journal_store.h"
#include "journal/recovery_journal.h"
#include "platform/codepage.h"
#include "platform/richedit.h"

namespace {

constexpr size_t kCharacters = 1000000;
constexpr int kRepeats = 25;

// Russian prose and TeX markup in CP1251, CR LF every 60 to 80 characters.
std::string makeDocument() {
    const std::string pieces[] = {platform::toCp1251(u"пусть дана функция "), "$f(x)=x^2$ ",
                                  platform::toCp1251(u"тогда по теореме "),   "\\cite{knuth} ",
                                  platform::toCp1251(u"ёмкость множества "),  "\\emph{x} "};
    std::string text;
    text.reserve(kCharacters);
    size_t lineStart = 0;
    for (unsigned i = 0; text.size() < kCharacters - 2; ++i) {
        text += pieces[i * 7 % 6];
        if (text.size() - lineStart > 60 + i % 20) {
            text += "\r\n";
            lineStart = text.size();
        }
    }
    text.resize(kCharacters - 2);
    return text + "\r\n";
}

double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

// Median and best wall time and the median thread CPU time, in milliseconds.
struct Timing {
    double median = 0, best = 0, cpu = 0;
};

template <typename F> Timing measure(int repeats, F&& f) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        double cpuStart = threadCpuMs();
        f();
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], wall[0], cpu[cpu.size() / 2]};
}

// The baseline: the same number of bytes written plainly to a temporary file and renamed.
void plainWrite(const std::string& folder, const std::string& bytes, bool sync) {
    std::string temp = folder + "/.plain.XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    if (sync) ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), (folder + "/plain").c_str());
}

void row(const char* name, const Timing& t, const char* note = "") {
    std::printf("%-44s %8.2f %8.2f %8.2f  %s\n", name, t.median, t.best, t.cpu, note);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temporary;
    std::string folder =
        argc > 1 ? std::string(argv[1]) : temporary.path().toStdString() + "/kolbax";

    const QString text =
        platform::fromCp1251(makeDocument()).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    journal::JournalRecord record{QStringLiteral("/home/user/статья.tex"),
                                  platform::TextEncoding::Cp866,
                                  {},
                                  1714566896789,
                                  123456,
                                  text.toStdString()};
    const std::string serialized = journal::serializeJournal(record);
    std::printf("document: %lld characters; journal: %zu bytes; folder: %s\n",
                static_cast<long long>(text.size()), serialized.size(), folder.c_str());

    journal::JournalStore store(folder);
    journal::JournalId id = store.newId();
    store.write(id, record); // the folder, the lock and the journal's name exist from here on

    std::printf("%-44s %8s %8s %8s\n", "", "median", "best", "cpu ms");
    const Timing serialise = measure(kRepeats, [&] {
        volatile size_t sink = journal::serializeJournal(record).size();
        (void)sink;
    });
    const Timing noSync = measure(kRepeats, [&] { store.write(id, record, false); });
    const Timing withSync = measure(kRepeats, [&] { store.write(id, record, true); });
    const Timing plainNoSync = measure(kRepeats, [&] { plainWrite(folder, serialized, false); });
    const Timing plainSync = measure(kRepeats, [&] { plainWrite(folder, serialized, true); });
    row("serialise (with the CRC-32)", serialise);
    row("serialise + write + rename, no fsync", noSync, "(target < 20 ms)");
    row("serialise + write + fsync + rename", withSync, "(target < 20 ms)");
    row("baseline: plain write + rename", plainNoSync);
    row("baseline: plain write + fsync + rename", plainSync);
    std::printf("  ratio to the baseline: %.2fx without fsync, %.2fx with fsync (median)\n",
                noSync.median / plainNoSync.median, withSync.median / plainSync.median);
    ::unlink((folder + "/plain").c_str());
    store.endSession();

    // The window's side: the text out of the control, and the hand-over.
    platform::TRichEdit edit;
    platform::TextRun run;
    run.text = text;
    run.charset = platform::kCyrillicCharset;
    edit.LoadRuns({run});
    const Timing fromControl = measure(9, [&] {
        volatile qsizetype sink = edit.PlainText().size();
        (void)sink;
    });
    const Timing plainText = measure(9, [&] {
        volatile qsizetype sink = edit.toPlainText().size();
        (void)sink;
    });
    row("TRichEdit::PlainText() of the document", fromControl, "(window's thread, per journal)");
    row("  baseline: QPlainTextEdit::toPlainText()", plainText);

    journal::RecoveryJournal journal(folder);
    journal::JournalId handed = journal.newJournal();
    std::vector<double> copyUs, submitIdleUs, submitBusyUs;
    for (int i = 0; i < 40; ++i) {
        QElapsedTimer timer;
        timer.start();
        journal::JournalSnapshot snapshot{record.path, record.encoding, record.layout, i,
                                          edit.PlainText()};
        copyUs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
        timer.restart();
        journal.submit(handed, std::move(snapshot));
        (i % 2 == 0 ? submitIdleUs : submitBusyUs)
            .push_back(static_cast<double>(timer.nsecsElapsed()) / 1e3);
        if (i % 2 == 1) journal.flush(); // every other hand-over finds the writer busy
    }
    journal.endSession();
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("snapshot copy (1 MB text)                    %8.1f us median\n", median(copyUs));
    std::printf("submit, writer idle                          %8.1f us median\n",
                median(submitIdleUs));
    std::printf("submit, writer busy writing                  %8.1f us median\n",
                median(submitBusyUs));
    return 0;
}
