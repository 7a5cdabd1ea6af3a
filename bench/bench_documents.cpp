// Documents: opening, saving, memory and the Cyrillic conversion, each against a baseline
// measured in the same run. Prints the figures and the ratios.
//   bench_documents            all figures
//   bench_documents --rss X    (internal) the resident memory added by opening, X = editor|baseline
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <iconv.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/tform1.h"
#include "document/tex_view.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "platform/utf8_document.h"
#include "support/scripted_prompts.h"

namespace {

using Clock = std::chrono::steady_clock;

// About 30,000 lines of Russian prose and TeX markup in CP866, 1,000,000 characters at
// most as the editor counts them (CR LF is two), generated deterministically.
std::string generateDocument() {
    const char16_t* words[] = {
        u"теорема", u"доказательство", u"пусть", u"функция", u"множество", u"непрерывна",
        u"тогда",   u"следует",        u"из",    u"леммы",   u"что",       u"значение",
        u"ёмкость", u"Рассмотрим",     u"и",     u"на",      u"отрезке"};
    const char* markup[] = {"$x_{i}^2$",
                            "\\cite{knuth}",
                            "\\emph{",
                            "}",
                            "$\\alpha+\\beta$",
                            "\\ref{eq:1}",
                            "\\label{thm}",
                            "$f(x)=0$",
                            "\\\\",
                            "%",
                            "{\\bf",
                            "}"};
    std::string doc;
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    int lines = 0;
    size_t length = 0;
    for (;;) {
        std::string line;
        if (lines % 40 == 0)
            line = "\\section{" + platform::toCp1251(words[next() % 17]) + "}";
        else {
            int count = 3 + static_cast<int>(next() % 5);
            for (int w = 0; w < count; ++w) {
                if (!line.empty()) line += ' ';
                if (next() % 4 == 0)
                    line += markup[next() % 12];
                else
                    line += platform::toCp1251(words[next() % 17]);
            }
        }
        if (length + line.size() + 2 > 1000000) break;
        length += line.size() + 2;
        platform::convertCp1251ToCp866(line);
        doc += line + "\r\n";
        ++lines;
    }
    return doc;
}

void writeFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

double seconds(const std::function<void()>& work) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The best of a few runs: the machine is shared.
double best(int runs, const std::function<void()>& work) {
    double result = 1e9;
    for (int i = 0; i < runs; ++i)
        result = std::min(result, seconds(work));
    return result;
}

long residentKiB() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// The baseline's load: read, decode, setPlainText.
void baselineLoad(QPlainTextEdit& edit, const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QByteArray bytes = f.readAll();
    std::string text(bytes.constData(), static_cast<size_t>(bytes.size()));
    platform::convertCp866ToCp1251(text);
    edit.setPlainText(
        platform::fromCp1251(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

int rssChild(const char* which, const QString& path) {
    if (std::strcmp(which, "editor") == 0) {
        TForm1 form(QCoreApplication::applicationDirPath().toStdString(),
                    std::make_unique<support::ScriptedPrompts>());
        form.show();
        QCoreApplication::processEvents();
        long before = residentKiB();
        form.LoadTexFile(path);
        QCoreApplication::processEvents();
        std::printf("%ld\n", residentKiB() - before);
    } else {
        QPlainTextEdit edit;
        edit.show();
        QCoreApplication::processEvents();
        long before = residentKiB();
        baselineLoad(edit, path);
        QCoreApplication::processEvents();
        std::printf("%ld\n", residentKiB() - before);
    }
    return 0;
}

long rssOf(const char* which, const QString& path) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--rss"), QString::fromLatin1(which), path});
    child.waitForFinished(120000);
    return child.readAllStandardOutput().trimmed().toLong();
}

void report(const char* what, double figure, double baseline, const char* unit, double limit,
            bool lowerIsBetter = true) {
    double ratio = figure / baseline;
    bool ok = lowerIsBetter ? ratio <= limit : ratio < limit;
    std::printf("%-44s %10.2f %s   baseline %10.2f %s   ratio %5.2f  (limit %s%.1f) %s\n", what,
                figure, unit, baseline, unit, ratio, lowerIsBetter ? "<=" : "<", limit,
                ok ? "ok" : "OVER");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--rss") == 0)
        return rssChild(argv[2], QString::fromLocal8Bit(argv[3]));

    QTemporaryDir dir;
    const std::string doc = generateDocument();
    const QString path = dir.filePath(QStringLiteral("bench.tex"));
    writeFile(path, doc);
    std::printf("document: %zu bytes, %ld lines\n", doc.size(),
                static_cast<long>(std::count(doc.begin(), doc.end(), '\n')));

    // Opening.
    TForm1 form(QCoreApplication::applicationDirPath().toStdString(),
                std::make_unique<support::ScriptedPrompts>());
    form.show();
    QPlainTextEdit edit;
    edit.show();
    QCoreApplication::processEvents();
    double load = best(5, [&] { form.LoadTexFile(path); });
    double baseLoad = best(5, [&] { baselineLoad(edit, path); });
    if (form.RichEdit1->TextLength() != static_cast<int>(doc.size()))
        std::printf("warning: the editor holds %d characters\n", form.RichEdit1->TextLength());
    report("open (LoadTexFile vs read+decode+setPlainText)", load * 1000, baseLoad * 1000, "ms",
           2.0);
    std::vector<platform::TextRun> runs;
    double convert = best(5, [&] { runs = document::readTexView(platform::readFileBytes(path)); });
    double loadRuns = best(5, [&] { form.RichEdit1->LoadRuns(runs); });
    std::printf("  of which reading the file into runs: %.2f ms; LoadRuns: %.2f ms\n",
                convert * 1000, loadRuns * 1000);

    // Saving.
    QDir::setCurrent(dir.path());
    const QString savedPath = dir.filePath(QStringLiteral("saved.tex"));
    double save = best(5, [&] { form.SaveTexFile(savedPath); });
    double baseSave = best(5, [&] {
        QSaveFile f(dir.filePath(QStringLiteral("qsave.tex")));
        f.open(QIODevice::WriteOnly);
        f.write(doc.data(), static_cast<qint64>(doc.size()));
        f.commit();
    });
    QFile saved(savedPath);
    saved.open(QIODevice::ReadOnly);
    if (saved.readAll() != QByteArray(doc.data(), static_cast<qsizetype>(doc.size())))
        std::printf("warning: the saved file differs from the opened one\n");
    report("save (SaveTexFile vs QSaveFile)", save * 1000, baseSave * 1000, "ms", 3.0);
    double write =
        best(5, [&] { platform::writeFileAtomically(path + QStringLiteral(".w"), doc); });
    std::printf("  of which the atomic write (with fsync): %.2f ms\n", write * 1000);

    // The same document in UTF-8: opening (detection and decoding included) and saving,
    // against the CP866 open and save of the same form, the two taken in turn and timed in
    // processor time, so that both meet the same load of a shared machine.
    {
        const auto seconds = [](const std::function<void()>& work) {
            const auto now = [] {
                timespec t{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
                return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
            };
            const double start = now();
            work();
            return now() - start;
        };
        std::string cp1251 = doc;
        platform::convertCp866ToCp1251(cp1251);
        std::erase(cp1251, '\r');
        const std::string utf8 = platform::encodeUtf8Document(cp1251, {});
        const QString utf8Path = dir.filePath(QStringLiteral("utf8.tex"));
        writeFile(utf8Path, utf8);
        const QString utf8Saved = dir.filePath(QStringLiteral("saved-utf8.tex"));
        const auto as = [&form](platform::TextEncoding encoding) {
            form.DocEncoding = encoding;
            form.DocLayout = {};
        };
        double open866 = 1e9, openUtf8 = 1e9, save866 = 1e9, saveUtf8 = 1e9;
        for (int i = 0; i < 9; ++i) {
            open866 = std::min(open866, seconds([&] { form.LoadTexFile(path); }));
            openUtf8 = std::min(openUtf8, seconds([&] { form.LoadTexFile(utf8Path); }));
        }
        if (form.RichEdit1->TextLength() != static_cast<int>(doc.size()))
            std::printf("warning: the editor holds %d characters of the UTF-8 document\n",
                        form.RichEdit1->TextLength());
        for (int i = 0; i < 9; ++i) {
            as(platform::TextEncoding::Cp866);
            save866 = std::min(save866, seconds([&] { form.SaveTexFile(savedPath); }));
            as(platform::TextEncoding::Utf8);
            saveUtf8 = std::min(saveUtf8, seconds([&] { form.SaveTexFile(utf8Saved); }));
        }
        as(platform::TextEncoding::Cp866);
        QFile savedUtf8(utf8Saved);
        savedUtf8.open(QIODevice::ReadOnly);
        if (savedUtf8.readAll() != QByteArray(utf8.data(), static_cast<qsizetype>(utf8.size())))
            std::printf("warning: the saved UTF-8 file differs from the opened one\n");
        std::printf("UTF-8 document: %zu bytes\n", utf8.size());
        report("open UTF-8 (vs the CP866 open)", openUtf8 * 1000, open866 * 1000, "ms", 1.2);
        report("save UTF-8 (vs the CP866 save)", saveUtf8 * 1000, save866 * 1000, "ms", 1.2);
        // A UTF-8 file of Russian prose has more bytes to write and flush.
        double write866 = 1e9, writeUtf8 = 1e9;
        for (int i = 0; i < 9; ++i) {
            write866 =
                std::min(write866, seconds([&] { platform::writeFileAtomically(savedPath, doc); }));
            writeUtf8 = std::min(writeUtf8,
                                 seconds([&] { platform::writeFileAtomically(utf8Saved, utf8); }));
        }
        std::printf("  of which the atomic write: UTF-8 %.2f ms, CP866 %.2f ms\n", writeUtf8 * 1000,
                    write866 * 1000);
    }

    // Memory added by opening, each in a fresh process.
    long rss = rssOf("editor", path);
    long baseRss = rssOf("baseline", path);
    report("resident memory added by opening", static_cast<double>(rss) / 1024,
           static_cast<double>(baseRss) / 1024, "MB", 2.0);

    // The Cyrillic conversion of 10 MB.
    std::string big;
    while (big.size() < 10 * 1024 * 1024)
        big += doc;
    big.resize(10 * 1024 * 1024);
    // iconv refuses the CP866 box-drawing bytes, which CP1251 lacks: the input has none.
    std::string work = big;
    double ours = best(5, [&] {
        work = big;
        platform::convertCp866ToCp1251(work);
    });
    std::string out(big.size() * 2, '\0');
    iconv_t cd = iconv_open("CP1251", "CP866");
    bool same = true;
    double theirs = best(5, [&] {
        std::string in = big;
        char* inPtr = in.data();
        size_t inLeft = in.size();
        char* outPtr = out.data();
        size_t outLeft = out.size();
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        same = inLeft == 0 && out.compare(0, big.size(), work) == 0;
    });
    iconv_close(cd);
    if (!same) std::printf("warning: iconv gave other bytes\n");
    report("Cyrillic conversion of 10 MB (vs iconv)", ours * 1000, theirs * 1000, "ms", 1.0, false);
    return 0;
}
