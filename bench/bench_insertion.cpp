// Insertion aids on a large document (1,000,000 characters, CR LF counting two, 10,000 lines):
//  - a statement block with its label inserted by InsertEnvironment in the middle of the
//    document (seven pieces of text, four character-set changes, the caret put back),
//    against one SetSelText of the same block at the same place, same run;
//  - a command template by InsertCommand, against one SetSelText of the same text;
//  - LookupGridText for the last cell of the symbol grid (the longest search), against
//    the name=value lookup of that cell alone.
// Prints the median of several runs of each and the ratios.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "insertion/tform7.h"
#include "platform/codepage.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"

namespace {

constexpr int kLines = 10000;
constexpr int kRuns = 7;

std::string documentText() {
    std::string line = "Let $f$ be continuous on $[0,1]$; then \\int_0^1 f(t)\\,dt exists. ";
    while (line.size() < 98)
        line += 'x';
    line.resize(98);
    std::string text;
    for (int i = 0; i < kLines; ++i) {
        text += line;
        if (i + 1 < kLines) text += '\n';
    }
    return text;
}

void load(TForm1& form, const std::string& text) {
    platform::TextRun run;
    run.text = platform::fromCp1251(text);
    run.charset = platform::kCyrillicCharset;
    form.RichEdit1->LoadRuns({run});
    form.RichEdit1->setEnabled(true);
    QCoreApplication::processEvents();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> double timeMs(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void choose(TForm1& form, const char* entry) {
    platform::StringList list;
    list.add(entry);
    form.Form7->SetItems(list);
    form.Form7->ListBox1->setCurrentRow(0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The editor writes its recent files into its folder at exit: give it a copy.
    const support::ProgramFolder folder;
    TForm1 form(folder.dir.string(), std::make_unique<support::ScriptedPrompts>());
    form.CreateDialogs();
    form.SmartKeyboardOn = true;
    form.ShownCharset = platform::kCyrillicCharset;
    form.StatementEnvironments.setText("Theorem=theorem");
    const std::string text = documentText();
    const int middle = 500000;
    const std::string block = "\\begin{theorem}\\label{}\r\n\r\n\\end{theorem}\r\n";

    std::vector<double> env, envBase, cmd, cmdBase, grid, gridBase;
    for (int run = 0; run < kRuns; ++run) {
        load(form, text);
        form.RichEdit1->SetSel(middle, 0);
        form.EnvironmentKind = 2;
        choose(form, "Theorem");
        form.Form7->CheckBox1->setChecked(false);
        form.Form7->CheckBox2->setChecked(true);
        env.push_back(timeMs([&] { form.InsertEnvironment(); }));
        load(form, text);
        form.RichEdit1->SetSel(middle, 0);
        envBase.push_back(timeMs([&] { form.RichEdit1->SetSelText(block); }));

        load(form, text);
        form.RichEdit1->SetSel(middle, 0);
        choose(form, "\\frac{}{}");
        cmd.push_back(timeMs([&] { form.InsertCommand(); }));
        load(form, text);
        form.RichEdit1->SetSel(middle, 0);
        cmdBase.push_back(timeMs([&] { form.RichEdit1->SetSelText("\\frac{}{}"); }));

        std::string found, direct;
        grid.push_back(timeMs([&] {
            for (int i = 0; i < 1000; ++i)
                found = form.LookupGridText(form.SymbolsGrid, 534, 393);
        }));
        gridBase.push_back(timeMs([&] {
            for (int i = 0; i < 1000; ++i)
                direct = form.SymbolsGrid.value("10.19");
        }));
        if (found != direct) {
            std::printf("lookup mismatch: '%s' against '%s'\n", found.c_str(), direct.c_str());
            return 1;
        }
    }
    const double e = median(env), eb = median(envBase), c = median(cmd), cb = median(cmdBase);
    const double g = median(grid), gb = median(gridBase);
    std::printf(
        "environment block in the middle of 1M characters: %.3f ms, one SetSelText %.3f ms, "
        "ratio %.2f\n",
        e, eb, e / eb);
    std::printf("command template: %.3f ms, one SetSelText %.3f ms, ratio %.2f\n", c, cb, c / cb);
    std::printf(
        "grid lookup of the last symbol cell: %.2f us, its value alone %.2f us, ratio %.2f\n", g,
        gb, g / gb);
    return 0;
}
