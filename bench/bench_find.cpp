// Find and replace on a large document: a document of 1,000,000 characters (CR LF counting
// two) in 10,000 lines, each holding one "\alpha".
//  - Replace All of "\alpha" by "\beta" through the Replace dialog, against QString::replace
//    of the same text plus setPlainText in the same control (the cheapest way to put the
//    same result on screen), same run: the ratio must stay at or below 10.
//  - A find upwards from the end of the document (FindInEditor over all 10,000 matches,
//    built from repeated forward searches): must take under 1 second.
// Prints the median of a few runs of each, and the ratio.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "editing/find_dialogs.h"
#include "platform/codepage.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"

namespace {

constexpr int kLines = 10000;
constexpr int kRuns = 3;
const char* const kWord = "\\alpha";

// 92 characters of filler, the word (6), and the line break (2): 100 per line.
std::string documentText() {
    const std::string filler =
        platform::toCp1251(QString::fromUtf8("Пусть функция f непрерывна на отрезке, тогда ")) +
        "$\\int_0^1 f(t)\\,dt$ exists and is finite; ";
    std::string line = filler;
    while (line.size() < 92)
        line += 'x';
    line.resize(92);
    line += kWord;
    std::string text;
    text.reserve(static_cast<size_t>(kLines) * 99);
    for (int i = 0; i < kLines; ++i) {
        text += line;
        if (i + 1 < kLines) text += '\n';
    }
    return text;
}

void load(TForm1& form, const std::string& text) {
    platform::TextRun run;
    run.text = platform::fromCp1251(text);
    run.charset = platform::kLatinCharset;
    form.RichEdit1->LoadRuns({run});
    QCoreApplication::processEvents();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto prompts = std::make_unique<support::ScriptedPrompts>();
    support::ScriptedPrompts* scripted = prompts.get();
    const support::ProgramFolder folder;
    TForm1 form(folder.dir.string(), std::move(prompts));
    form.CreateDialogs();
    form.RichEdit1->setEnabled(true);
    form.resize(900, 700);
    form.show();
    QCoreApplication::processEvents();

    const std::string text = documentText();
    std::printf("document: %d characters (line breaks as two), %d matches\n",
                static_cast<int>(text.size()) + (kLines - 1), kLines);

    form.N16Click();
    form.ReplaceDialog1->SetFindText(std::string(kWord));
    form.ReplaceDialog1->SetReplaceText(std::string("\\beta"));
    auto* replaceAll = form.ReplaceDialog1->findChild<QPushButton*>(QStringLiteral("ReplaceAll"));

    std::vector<double> replaceMs, baselineMs, backwardMs;
    std::string replaced;
    for (int run = 0; run < kRuns; ++run) {
        load(form, text);
        QElapsedTimer timer;
        timer.start();
        replaceAll->click();
        QCoreApplication::processEvents();
        replaceMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        replaced = form.RichEdit1->Text();

        load(form, text);
        timer.restart();
        QString qtext = platform::fromCp1251(text);
        qtext.replace(QString::fromLatin1(kWord), QStringLiteral("\\beta"));
        form.RichEdit1->setPlainText(qtext);
        QCoreApplication::processEvents();
        baselineMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (run == 0 && platform::toCp1251(form.RichEdit1->toPlainText()) != [&] {
                std::string s = replaced;
                std::string out;
                for (char c : s)
                    if (c != '\r') out += c;
                return out;
            }()) {
            std::printf("FAIL: Replace All gave a different text than the baseline\n");
            return 1;
        }

        load(form, text);
        const int end = form.RichEdit1->TextLength();
        timer.restart();
        const int found = form.FindInEditor(kWord, end, -end, false, false);
        backwardMs.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (found != end - 6) {
            std::printf("FAIL: upward find gave %d, expected %d\n", found, end - 6);
            return 1;
        }
    }
    form.ReplaceDialog1->hide();

    const double replaceMedian = median(replaceMs), baselineMedian = median(baselineMs);
    const double ratio = replaceMedian / baselineMedian;
    const double backwardMedian = median(backwardMs);
    std::printf("replace all, 10,000 matches:            %8.1f ms (median of %d)\n", replaceMedian,
                kRuns);
    std::printf("QString::replace + setPlainText:        %8.1f ms (median of %d)\n", baselineMedian,
                kRuns);
    std::printf("ratio:                                  %8.2f (limit 10)\n", ratio);
    std::printf("find upwards from the end, 10,000 hits: %8.1f ms (median of %d, limit 1000)\n",
                backwardMedian, kRuns);
    std::printf("beeps: %d\n", scripted->beeps);
    const bool ok = ratio <= 10.0 && backwardMedian < 1000.0;
    std::printf("%s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
