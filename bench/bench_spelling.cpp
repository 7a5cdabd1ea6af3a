// Spell checking, in one run:
//  - Nuspell and Hunspell's library on the same Russian word list: loading, words per
//    second, and whether they give the same answers (the editor uses the faster of the two
//    that agree);
//  - the checker's words per second beside the `hunspell -l` command on the words of the
//    document;
//  - typing at the end of a 1,000,000-character Russian document, checking on against off
//    (median CPU time per key, limit 1.05), and opening it (limit 1.10), each in alternating
//    rounds of two windows;
//  - the time from opening until the text in view is underlined (limit 100 ms), and from a
//    jump to the document's end right after opening (limit 100 ms), the longest
//    the window is kept from a key while the rest is checked in pauses, and the time it
//    takes to check everything;
//  - "Следующая ошибка орфографии" from the top of a document of known words to its one
//    error at the end, before and after the pauses have checked it (limit 1 s).
// The document is Russian prose (TeX Live's Russian messages and words of the dictionary,
// so that few words repeat) with TeX markup between. The exit status says whether the
// limits held.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <hunspell/hunspell.hxx>
#include <nuspell/dictionary.hxx>
#include <set>
#include <string>
#include <vector>

#include "app/tform1.h"
#include "document/tex_view.h"
#include "platform/text_marks.h"
#include "spelling/russian_dictionary.h"
#include "spelling/spell_checker.h"
#include "spelling/speller.h"
#include "spelling/word_scanner.h"
#include "support/data_folder.h"
#include "support/scripted_prompts.h"
#include "support/text.h"
#include "typist.h"

namespace {

using namespace bench;

constexpr int kTypedCharacters = 2000;
// Room is left for the typed text (Enter adds two characters) under the control's limit.
constexpr int kDocumentLength = platform::TRichEdit::kMaxLength - 2 * kTypedCharacters - 1000;
constexpr int kRounds = 7;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double seconds(qint64 nanos) {
    return static_cast<double>(nanos) / 1e9;
}

// The Russian messages of TeX Live's installer, a text no one here wrote.
QStringList russianSentences() {
    QFile po(QStringLiteral("/usr/share/texlive/tlpkg/translations/ru.po"));
    QStringList sentences;
    if (po.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : po.readAll().split('\n')) {
            if (!line.startsWith("msgstr \"") && !line.startsWith('"')) continue;
            QString text = QString::fromUtf8(line.mid(line.indexOf('"') + 1).chopped(1));
            text.replace(QStringLiteral("\\n"), QStringLiteral(" "));
            QString kept;
            for (const QChar c : text) // what CP866 holds
                kept += spelling::isCyrillicLetter(c) || (c.unicode() < 128 && c.isPrint())
                            ? c
                            : QChar(u' ');
            if (kept.count(u' ') > 1) sentences << kept.simplified();
        }
    }
    if (sentences.isEmpty())
        sentences << QString::fromUtf8("Пусть дана функция, непрерывная на отрезке, тогда "
                                       "она ограничена и достигает своих граней.");
    return sentences;
}

// Every seventh word of the dictionary, so that the document's words seldom repeat.
QStringList dictionaryWords(const QString& aff) {
    QFile dic(aff.chopped(4) + QStringLiteral(".dic"));
    QStringList words;
    if (!dic.open(QIODevice::ReadOnly)) return words;
    dic.readLine();
    for (int n = 0; !dic.atEnd(); ++n) {
        const QByteArray line = dic.readLine();
        if (n % 7 == 0) words << QString::fromUtf8(line.left(line.indexOf('/'))).trimmed();
    }
    return words;
}

// Lines of prose with TeX markup between, in CP866, `length` characters as the editor counts
// them; with knownOnly, the messages' words the dictionary does not know are left out and
// the last line ends in one error.
std::string russianDocument(const QStringList& sentences, const QStringList& words,
                            spelling::Speller* knownOnly) {
    QString text;
    int counted = 0;
    QString line;
    int sentence = 0;
    int word = 0;
    const auto put = [&](const QString& piece) {
        if (line.size() + piece.size() > 70) {
            text += line + QStringLiteral("\r\n");
            counted += static_cast<int>(line.size()) + 2;
            line.clear();
        }
        line += piece + u' ';
    };
    while (counted < kDocumentLength - 200) {
        for (QString piece : sentences[sentence++ % sentences.size()].split(u' ')) {
            if (knownOnly && !knownOnly->isKnown(spelling::Word{{}, piece, false})) continue;
            put(piece);
        }
        for (int i = 0; i < 3 && !words.isEmpty(); ++i)
            put(words[word++ % words.size()]);
        if (sentence % 4 == 0) put(QStringLiteral("$x_{%1}^2+\\alpha$").arg(sentence));
        if (sentence % 9 == 0) put(QStringLiteral("\\cite{key%1}.").arg(sentence));
    }
    text += line + (knownOnly ? QStringLiteral("ошыбка\r\n") : QStringLiteral("\r\n"));
    return support::cp866(text.toUtf8().constData());
}

struct Window {
    explicit Window(bool checking) {
        form = std::make_unique<TForm1>(folder.dir.string(),
                                        std::make_unique<support::ScriptedPrompts>());
        form->CreateDialogs();
        form->RichEdit1->setEnabled(true);
        form->resize(900, 700);
        form->show();
        form->SpellChecker1->WaitForDictionary();
        if (form->SpellChecker1->Checking() != checking) form->SpellChecker1->ToggleChecking();
        QCoreApplication::processEvents();
    }
    platform::TextMarks& marks() const {
        return *form->RichEdit1->findChild<platform::TextMarks*>();
    }
    bool shownChecked() const {
        const auto [first, last] = marks().ShownLines();
        return marks().NextUnchecked(first, last) < 0;
    }
    support::ProgramFolder folder;
    std::unique_ptr<TForm1> form;
};

struct Opening {
    double cpuSeconds;
    double shownMillis; // from the end of the open until the text in view is checked
};

Opening open(Window& window, const QString& path) {
    QElapsedTimer wall;
    const qint64 cpu = threadCpuNanos();
    window.form->Guarded([&] { window.form->OpenDocument(path); });
    wall.start();
    QCoreApplication::processEvents();
    while (window.form->SpellChecker1->Checking() && !window.shownChecked())
        QCoreApplication::processEvents();
    const double shown = wall.nsecsElapsed() / 1e6;
    return {seconds(threadCpuNanos() - cpu), shown};
}

// Median CPU time per key, typing at the end of the document.
double typeAtEnd(Window& window, const std::vector<platform::TextRun>& runs) {
    platform::TRichEdit* edit = window.form->RichEdit1;
    edit->LoadRuns(runs);
    edit->SetSelStart(edit->TextLength());
    edit->SetInsertCharset(platform::kCyrillicCharset);
    window.form->InCommandWord = window.form->DollarSeen = window.form->RestoreAfterShift = false;
    edit->setFocus();
    QCoreApplication::processEvents();
    const std::string sentence = sentenceKeys();
    std::vector<double> times;
    for (size_t i = 0; times.size() < kTypedCharacters; ++i) {
        const qint64 start = threadCpuNanos();
        typeKey(edit, sentence[i % sentence.size()]);
        QCoreApplication::processEvents();
        times.push_back(static_cast<double>(threadCpuNanos() - start));
    }
    return median(times) / 1e3;
}

// Words per second of a check over a list.
template <typename Check>
double wordsPerSecond(const std::vector<std::string>& words, Check check) {
    QElapsedTimer timer;
    timer.start();
    for (const std::string& word : words)
        check(word);
    return static_cast<double>(words.size()) / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir scratch;
    qputenv("XDG_STATE_HOME", scratch.filePath(QStringLiteral("state")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", scratch.filePath(QStringLiteral("data")).toLocal8Bit());
    const QString aff = spelling::findRussianDictionary(spelling::dictionaryFolders());
    if (aff.isEmpty()) {
        std::printf("no Russian dictionary: install hunspell-ru\n");
        return 1;
    }
    bool held = true;

    // ----- The libraries on the same words -----
    const QStringList sentences = russianSentences();
    const QStringList extra = dictionaryWords(aff);
    const std::string document = russianDocument(sentences, extra, nullptr);
    std::vector<std::string> allWords;
    for (const platform::TextRun& run : document::readTexView(document)) {
        if (run.charset != platform::kCyrillicCharset) continue;
        const QString& text = run.text;
        platform::TextLine line{text, std::vector<bool>(static_cast<size_t>(text.size()), false)};
        for (const spelling::Word& word : spelling::wordsOf(line))
            allWords.push_back(word.text.toStdString());
    }
    const std::set<std::string> uniqueSet(allWords.begin(), allWords.end());
    const std::vector<std::string> unique(uniqueSet.begin(), uniqueSet.end());

    QElapsedTimer timer;
    timer.start();
    nuspell::Dictionary nuspell;
    nuspell.load_aff_dic(std::filesystem::path(aff.toStdString()));
    const double nuspellLoad = timer.nsecsElapsed() / 1e6;
    timer.restart();
    Hunspell hunspell(aff.toStdString().c_str(), (aff.chopped(4) + ".dic").toStdString().c_str());
    const double hunspellLoad = timer.nsecsElapsed() / 1e6;
    size_t differ = 0;
    for (const std::string& word : unique)
        differ += nuspell.spell(word) != hunspell.spell(word);
    std::vector<double> nuspellRates, hunspellRates;
    for (int round = 0; round < 3; ++round) {
        nuspellRates.push_back(
            wordsPerSecond(unique, [&](const std::string& w) { return nuspell.spell(w); }));
        hunspellRates.push_back(
            wordsPerSecond(unique, [&](const std::string& w) { return hunspell.spell(w); }));
    }
    std::printf("dictionary libraries on %zu different words: Nuspell %.0f words/s (loads in %.0f "
                "ms), Hunspell %.0f words/s (loads in %.0f ms), Nuspell/Hunspell %.2f; answers "
                "differing: %zu\n",
                unique.size(), median(nuspellRates), nuspellLoad, median(hunspellRates),
                hunspellLoad, median(nuspellRates) / median(hunspellRates), differ);

    // ----- The checker beside `hunspell -l` -----
    spelling::Speller speller(spelling::loadDictionary(aff).get().dictionary);
    const double checkerRate = wordsPerSecond(allWords, [&](const std::string& w) {
        return speller.isKnown(spelling::Word{{}, QString::fromStdString(w), false});
    });
    QFile list(scratch.filePath(QStringLiteral("words.txt")));
    if (list.open(QIODevice::WriteOnly)) {
        for (const std::string& word : allWords)
            list.write((word + "\n").c_str());
        list.close();
    }
    QProcess command;
    command.setStandardInputFile(list.fileName());
    timer.restart();
    command.start(QStringLiteral("hunspell"),
                  {QStringLiteral("-d"), aff.chopped(4), QStringLiteral("-l"), QStringLiteral("-i"),
                   QStringLiteral("utf-8")});
    const bool ran = command.waitForFinished(120000) && command.exitCode() == 0;
    const double commandRate = allWords.size() / (timer.nsecsElapsed() / 1e9);
    if (ran)
        std::printf("the checker: %.0f words/s on the document's %zu words; hunspell -l: %.0f "
                    "words/s (with its start), checker/command %.1f\n",
                    checkerRate, allWords.size(), commandRate, checkerRate / commandRate);
    else
        std::printf("the checker: %.0f words/s on the document's %zu words; hunspell -l did not "
                    "run (install hunspell)\n",
                    checkerRate, allWords.size());

    // ----- Typing and opening, checking on against off -----
    Window on(true), off(false);
    const auto runs = document::readTexView(document);
    const QString path = scratch.filePath(QStringLiteral("russian.tex"));
    support::writeBytes(path.toStdString(), document);
    std::vector<double> typingRatios, openRatios, shown;
    for (int round = 0; round < kRounds; ++round) {
        const double typedOn = typeAtEnd(on, runs);
        const double typedOff = typeAtEnd(off, runs);
        const Opening openedOn = open(on, path);
        const Opening openedOff = open(off, path);
        typingRatios.push_back(typedOn / typedOff);
        openRatios.push_back(openedOn.cpuSeconds / openedOff.cpuSeconds);
        shown.push_back(openedOn.shownMillis);
        std::printf("round %d: typing %.1f / %.1f us/key, on/off %.3f; opening %.0f / %.0f ms CPU, "
                    "on/off %.3f; text in view underlined %.1f ms after opening\n",
                    round + 1, typedOn, typedOff, typedOn / typedOff, openedOn.cpuSeconds * 1e3,
                    openedOff.cpuSeconds * 1e3, openedOn.cpuSeconds / openedOff.cpuSeconds,
                    openedOn.shownMillis);
    }
    std::printf("typing at the end of %d characters, checking on/off: median ratio %.3f (limit "
                "1.05); opening: %.3f (limit 1.10); text in view underlined after %.1f ms "
                "(limit 100)\n",
                on.form->RichEdit1->TextLength(), median(typingRatios), median(openRatios),
                median(shown));
    held =
        held && median(typingRatios) <= 1.05 && median(openRatios) <= 1.10 && median(shown) <= 100;

    // ----- A jump to the end of a document just opened: the lines above it are read for
    // the mathematics or verbatim text they leave open, once -----
    open(on, path);
    {
        platform::TRichEdit* edit = on.form->RichEdit1;
        QElapsedTimer wall;
        wall.start();
        edit->SetSelStart(edit->TextLength());
        edit->ensureCursorVisible();
        QCoreApplication::processEvents();
        while (!on.shownChecked())
            QCoreApplication::processEvents();
        const double jumped = wall.nsecsElapsed() / 1e6;
        std::printf("text in view underlined %.1f ms after a jump to the end of the document "
                    "just opened (limit 100)\n",
                    jumped);
        held = held && jumped <= 100;
    }

    // ----- The rest in pauses: how long a key may wait -----
    open(on, path);
    QElapsedTimer gap, total;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed());
        gap.restart();
    });
    const qint64 cpu = threadCpuNanos();
    total.start();
    gap.start();
    tick.start();
    while (on.marks().NextUnchecked(0) >= 0 && total.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    tick.stop();
    std::printf("the rest checked in pauses: all %d lines after %.2f s (%.2f s CPU); a key waited "
                "at most %.1f ms\n",
                on.marks().LineCount(), total.elapsed() / 1e3, seconds(threadCpuNanos() - cpu),
                longest / 1e6);

    // ----- The next error, from the top to the end -----
    const std::string known = russianDocument(sentences, extra, &speller);
    const QString knownPath = scratch.filePath(QStringLiteral("known.tex"));
    support::writeBytes(knownPath.toStdString(), known);
    double worst = 0;
    for (const bool checkedFirst : {false, true}) {
        open(on, knownPath);
        if (checkedFirst) on.form->SpellChecker1->CheckAll();
        on.form->RichEdit1->SetSel(0, 0);
        timer.restart();
        on.form->SpellChecker1->NextMisspelling();
        const double millis = timer.nsecsElapsed() / 1e6;
        worst = std::max(worst, millis);
        std::printf(
            "next error from the top to the end of %d lines, %s: %.0f ms, selected \"%s\"\n",
            on.marks().LineCount(),
            checkedFirst ? "the lines checked before" : "right after opening", millis,
            platform::fromCp1251(on.form->RichEdit1->SelText()).toStdString().c_str());
    }
    held = held && worst < 1000;
    return held ? 0 : 1;
}
