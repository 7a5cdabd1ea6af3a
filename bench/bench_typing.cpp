// Typing speed with the Smart Keyboard: 2,000 characters of mixed Russian and TeX text,
// typed key by key (with Shift pressed and released around shifted keys, as a user types)
// into the main window's editor, at the end of a document of about 1,000,000 characters, at
// the end of a short document of the same lines that just fills the view, and into an empty
// document, in the same run. Each key's time includes the key events, the typing rules, the
// layout indicator and the repaint. The control finds the caret by walking the rows of the
// view from its top, so a key costs more on the bottom row than on the top one whatever the
// document's size: the short document, whose caret stands on the bottom row as the large
// one's does, is the fair baseline, and the cost of a key must not grow with the document
// (large against short <= 1.2). The empty document, whose caret starts on the top row, is
// the earlier baseline, printed beside it. Prints the median CPU time per key of each and
// the ratios (and the wall time of the whole typing). The large document is typed into a
// second window without the recovery journal as well: keeping the journal may cost at most
// 5% more CPU per key (its snapshot is taken by a timer, never on a key press).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "app/document_journal.h"
#include "app/tform1.h"
#include "platform/codepage.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"
#include "typist.h"

namespace {

using namespace bench;

constexpr int kTypedCharacters = 2000;

// A document of mixed Cyrillic and Latin lines, `length` characters counting CR LF as two.
std::vector<platform::TextRun> largeDocument(int length) {
    const std::string russian = cp("Пусть дана функция, непрерывная на отрезке ");
    const std::string latin = "$f(x)=\\int_0^x g(t)\\,dt$";
    std::vector<platform::TextRun> runs;
    int total = 0;
    while (total < length) {
        std::string r = russian, l = latin + "\n";
        if (total + int(r.size()) + int(l.size()) + 1 > length) {
            r.assign(std::max(0, length - total), 'a');
            l.clear();
        }
        total += int(r.size()) + int(l.size()) + (l.empty() ? 0 : 1); // LF counts as CR LF
        platform::TextRun run;
        run.text = platform::fromCp1251(r);
        run.charset = platform::kCyrillicCharset;
        runs.push_back(run);
        if (!l.empty()) {
            run.text = platform::fromCp1251(l);
            run.charset = platform::kLatinCharset;
            runs.push_back(run);
        }
    }
    return runs;
}

// The first lines of a document, enough of them to fill the control's view and a few more,
// so that the caret at their end stands on the bottom row.
std::vector<platform::TextRun> fillingTheView(const std::vector<platform::TextRun>& document,
                                              platform::TRichEdit& editor) {
    const int shown = editor.viewport()->height() / editor.fontMetrics().lineSpacing() + 1;
    std::vector<platform::TextRun> lines;
    int count = 0;
    for (const platform::TextRun& run : document) {
        lines.push_back(run);
        count += static_cast<int>(run.text.count(u'\n'));
        if (count >= shown + 5) break;
    }
    return lines;
}

struct Result {
    double medianMicros;
    double meanMicros; // with the rare slow keys and the journal's snapshots
    double totalMillis;
};

Result typeInto(TForm1& form, const std::vector<platform::TextRun>* document) {
    platform::TRichEdit* editor = form.RichEdit1;
    if (document)
        editor->LoadRuns(*document);
    else
        editor->Clear();
    editor->SetSelStart(editor->TextLength());
    editor->ensureCursorVisible();
    editor->SetInsertCharset(platform::kCyrillicCharset);
    form.InCommandWord = form.DollarSeen = form.RestoreAfterShift = false;
    editor->setFocus();
    QCoreApplication::processEvents();

    const int startLength = editor->TextLength();
    const std::string sentence = sentenceKeys();
    std::vector<qint64> times;
    times.reserve(kTypedCharacters);
    QElapsedTimer total;
    total.start();
    for (size_t i = 0; int(times.size()) < kTypedCharacters; ++i) {
        const qint64 start = threadCpuNanos();
        typeKey(editor, sentence[i % sentence.size()]);
        QCoreApplication::processEvents();
        times.push_back(threadCpuNanos() - start);
    }
    const double totalMillis = total.nsecsElapsed() / 1e6;
    const int typed = editor->TextLength() - startLength;
    if (typed < kTypedCharacters) // Enter counts as two
        std::fprintf(stderr, "only %d characters arrived\n", typed);
    // The journal's snapshot is taken by a timer up to two seconds after a change: the wait
    // lets a pending one come, and the mean takes its CPU time in (and the idle time of the
    // same wait in a window without the journal).
    const qint64 settleStart = threadCpuNanos();
    QTest::qWait(app::DocumentJournal::kDelayMs + 100);
    qint64 sum = threadCpuNanos() - settleStart;
    for (qint64 t : times)
        sum += t;
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return {times[times.size() / 2] / 1e3, double(sum) / double(times.size()) / 1e3, totalMillis};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir state; // the journals of this run
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    const support::ProgramFolder folder;
    auto makeForm = [&folder] {
        auto form = std::make_unique<TForm1>(folder.dir.string(),
                                             std::make_unique<support::ScriptedPrompts>());
        form->RichEdit1->setEnabled(true);
        form->resize(900, 700);
        form->show();
        return form;
    };
    auto form = makeForm();
    auto unjournaled = makeForm();
    unjournaled->Journal.reset();
    QCoreApplication::processEvents();

    // Room is left for the typed text (Enter adds two characters) under the control's limit.
    const int largeLength = platform::TRichEdit::kMaxLength - 2 * kTypedCharacters;
    const auto document = largeDocument(largeLength);
    const auto filling = fillingTheView(document, *form->RichEdit1);

    // Rounds alternate between the documents, and each round's ratios are taken on their
    // own: a shared machine drifts in speed over seconds, and a ratio within a round of a
    // few hundred milliseconds is what that drift disturbs least.
    std::vector<double> empty, filled, large, ratios, fairRatios, journalRatios, journalMeanRatios;
    double emptyTotal = 0, filledTotal = 0, largeTotal = 0;
    int filledLength = 0;
    const int rounds = 7;
    for (int round = 0; round < rounds; ++round) {
        const Result e = typeInto(*form, nullptr);
        const Result f = typeInto(*form, &filling);
        filledLength = form->RichEdit1->TextLength();
        const Result l = typeInto(*form, &document);
        const Result o = typeInto(*unjournaled, &document);
        std::printf("round %d: empty %.1f us/key (wall %.0f ms), view-filling %.1f us/key "
                    "(wall %.0f ms), %d-character document %.1f us/key (wall %.0f ms), ratios "
                    "%.2f to the view-filling and %.2f to the empty; without the journal %.1f "
                    "us/key, journal on/off %.3f (means %.1f/%.1f us)\n",
                    round + 1, e.medianMicros, e.totalMillis, f.medianMicros, f.totalMillis,
                    form->RichEdit1->TextLength(), l.medianMicros, l.totalMillis,
                    l.medianMicros / f.medianMicros, l.medianMicros / e.medianMicros,
                    o.medianMicros, l.medianMicros / o.medianMicros, l.meanMicros, o.meanMicros);
        empty.push_back(e.medianMicros);
        filled.push_back(f.medianMicros);
        large.push_back(l.medianMicros);
        ratios.push_back(l.medianMicros / e.medianMicros);
        fairRatios.push_back(l.medianMicros / f.medianMicros);
        journalRatios.push_back(l.medianMicros / o.medianMicros);
        journalMeanRatios.push_back(l.meanMicros / o.meanMicros);
        emptyTotal += e.totalMillis;
        filledTotal += f.totalMillis;
        largeTotal += l.totalMillis;
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    const double fairRatio = median(fairRatios);
    const double journalRatio = median(journalRatios);
    std::printf("typing %d characters, median CPU time per key: view-filling document (%d "
                "characters after the typing, caret on the bottom row) %.1f us, large document "
                "%.1f us, empty document %.1f us\n",
                kTypedCharacters, filledLength, median(filled), median(large), median(empty));
    std::printf("large against view-filling (the fair baseline): median ratio of the rounds %.2f "
                "(limit 1.20); wall time ratio %.2f\n",
                fairRatio, largeTotal / filledTotal);
    std::printf("large against empty (the earlier baseline, caret on the top row): median "
                "ratio of the rounds %.2f; wall time ratio %.2f\n",
                median(ratios), largeTotal / emptyTotal);
    std::printf("recovery journal on/off, large document: median ratio of the rounds %.3f "
                "(limit 1.05); of the mean CPU time per key %.3f\n",
                journalRatio, median(journalMeanRatios));
    return fairRatio <= 1.2 && journalRatio <= 1.05 ? 0 : 1;
}
