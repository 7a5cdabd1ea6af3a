// Documents: opening, saving, memory, encoding recognition and the Cyrillic conversion, each
// against a baseline measured in the same run. Prints the figures and the ratios.
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
#include "platform/recognition.h"
#include "platform/rtf_reader.h"
#include "platform/text_encoding.h"
#include "platform/textfile.h"
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

double processorSeconds(const std::function<void()>& work) {
    const auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
    };
    const double start = now();
    work();
    return now() - start;
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
    // Taken in turn and timed in processor time, so that both meet the same load of a
    // shared machine; the best of each.
    double load = 1e9, baseLoad = 1e9;
    for (int round = 0; round < 9; ++round) {
        load = std::min(load, processorSeconds([&] { form.LoadTexFile(path); }));
        baseLoad = std::min(baseLoad, processorSeconds([&] { baselineLoad(edit, path); }));
    }
    if (form.RichEdit1->TextLength() != static_cast<int>(doc.size()))
        std::printf("warning: the editor holds %d characters\n", form.RichEdit1->TextLength());
    report("open (LoadTexFile vs read+decode+setPlainText)", load * 1000, baseLoad * 1000, "ms",
           1.5);
    std::vector<platform::TextRun> runs;
    double convert = best(5, [&] { runs = document::readTexView(platform::readFileBytes(path)); });
    double loadRuns = best(5, [&] { form.RichEdit1->LoadRuns(runs); });
    std::printf("  of which reading the file into runs: %.2f ms; LoadRuns: %.2f ms (%zu runs)\n",
                convert * 1000, loadRuns * 1000, runs.size());

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

    // The same document in every encoding: opening (recognition and decoding included) and
    // saving, against the CP866 open and save of the same text, taken in turn and timed in
    // processor time, so that all meet the same load of a shared machine.
    {
        const auto seconds = processorSeconds;
        const platform::Decoding decoded = platform::decodeText(doc, platform::TextEncoding::Cp866);
        const QString text = decoded.decoded.text;
        struct Sample {
            platform::TextEncoding encoding;
            std::string bytes;
            QString path, savedPath;
            double open = 1e9, save = 1e9;
        };
        std::vector<Sample> samples;
        for (const platform::Encoding& encoding : platform::encodings()) {
            Sample sample{
                encoding.id,
                std::string(platform::writeText(text, encoding.id, decoded.decoded.layout).bytes()),
                dir.filePath(QLatin1String(encoding.inputenc.data()) + ".tex"),
                dir.filePath(QLatin1String(encoding.inputenc.data()) + "-saved.tex")};
            writeFile(sample.path, sample.bytes);
            samples.push_back(std::move(sample));
        }
        for (int i = 0; i < 9; ++i) {
            for (Sample& sample : samples) {
                sample.open =
                    std::min(sample.open, seconds([&] { form.LoadTexFile(sample.path); }));
                if (form.RichEdit1->TextLength() != static_cast<int>(doc.size()))
                    std::printf("warning: the editor holds %d characters of %s\n",
                                form.RichEdit1->TextLength(),
                                platform::encodingOf(sample.encoding).name.data());
            }
            for (Sample& sample : samples) {
                form.DocEncoding = sample.encoding;
                form.DocLayout = decoded.decoded.layout;
                sample.save =
                    std::min(sample.save, seconds([&] { form.SaveTexFile(sample.savedPath); }));
            }
        }
        form.DocEncoding = platform::TextEncoding::Cp866;
        for (const Sample& sample : samples) {
            const std::string name(platform::encodingOf(sample.encoding).name);
            QFile again(sample.savedPath);
            again.open(QIODevice::ReadOnly);
            if (again.readAll().toStdString() != sample.bytes)
                std::printf("warning: the saved %s file differs from the opened one\n",
                            name.c_str());
            if (sample.encoding == platform::TextEncoding::Cp866) continue;
            report(("open " + name + " (vs the CP866 open)").c_str(), sample.open * 1000,
                   samples[0].open * 1000, "ms", 1.2);
            report(("save " + name + " (vs the CP866 save)").c_str(), sample.save * 1000,
                   samples[0].save * 1000, "ms", 1.2);
        }

        // Recognising the encoding of 1 MB, the UTF-8 verdict and the letter statistics.
        for (const Sample& sample : samples) {
            std::string megabyte = sample.bytes;
            megabyte.resize(1 << 20, ' ');
            double recognise = 1e9;
            platform::TextEncoding found{};
            for (int i = 0; i < 9; ++i)
                recognise = std::min(recognise, seconds([&] {
                                         found = platform::recogniseEncoding(megabyte).encoding;
                                     }));
            std::printf("recognising 1 MB of %-7s %6.2f ms (limit 5 ms) %s%s\n",
                        platform::encodingOf(sample.encoding).name.data(), recognise * 1000,
                        recognise < 0.005 ? "ok" : "OVER",
                        found == sample.encoding ? "" : "  (recognised as another encoding!)");
        }
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
