// UTF-8 documents: decoding 10 MB of Russian UTF-8 against iconv (the library call and the
// command, measured in the same run), writing it back, and how often CP866 Russian text
// would be taken for UTF-8: the shipped template, generated prose by paragraph and by line,
// and files of one or two dictionary words. Words come from the Russian hunspell dictionary
// when it is installed (hunspell-ru), from a short built-in list otherwise.
//   bench_utf8 [words.dic]
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iconv.h>
#include <string>
#include <sys/resource.h>
#include <vector>

#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/utf8_document.h"
#include "support/data_folder.h"

namespace {

using platform::TextEncoding;

// Processor time, not wall time: the machine is shared and often busy.
double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double best(int runs, const std::function<void()>& work) {
    double result = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double start = cpuSeconds();
        work();
        result = std::min(result, cpuSeconds() - start);
    }
    return result;
}

// The processor time of a command and its children.
double commandSeconds(const std::string& command) {
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    if (std::system(command.c_str()) != 0) std::printf("warning: %s failed\n", command.c_str());
    getrusage(RUSAGE_CHILDREN, &after);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(after.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_utime) -
           seconds(before.ru_stime);
}

void report(const char* what, double figure, double baseline, double limit) {
    const double ratio = figure / baseline;
    std::printf("%-46s %8.2f ms   baseline %8.2f ms   ratio %5.2f  (limit < %.1f) %s\n", what,
                figure * 1000, baseline * 1000, ratio, limit, ratio < limit ? "ok" : "OVER");
}

struct Random {
    uint32_t seed = 12345;
    uint32_t operator()(uint32_t below) {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 8) & 0xFFFFFF) % below;
    }
};

std::vector<QString> loadWords(const char* path) {
    std::vector<QString> words;
    QFile file(QString::fromLocal8Bit(path));
    if (file.open(QIODevice::ReadOnly)) {
        file.readLine(); // the count
        while (!file.atEnd()) {
            QString word = QString::fromUtf8(file.readLine()).trimmed().section(u'/', 0, 0);
            bool russian = !word.isEmpty();
            for (QChar c : word)
                russian = russian && ((c >= u'а' && c <= u'я') || (c >= u'А' && c <= u'Я') ||
                                      c == u'ё' || c == u'Ё' || c == u'-');
            if (russian) words.push_back(word);
        }
    }
    if (words.empty()) {
        for (const char16_t* w : {u"теорема",    u"доказательство",
                                  u"пусть",      u"функция",
                                  u"множество",  u"шаг",
                                  u"непрерывна", u"тогда",
                                  u"следует",    u"из",
                                  u"леммы",      u"что",
                                  u"значение",   u"чай",
                                  u"ёмкость",    u"рассмотрим",
                                  u"и",          u"на",
                                  u"отрезке",    u"сон",
                                  u"ёлка",       u"раз"})
            words.push_back(QString::fromUtf16(w));
    }
    return words;
}

// Paragraphs of Russian prose with TeX markup, lines ending with CR LF; sentences begin
// with a capital letter. cp866 chooses the TeX spelling of dashes and quotes, which CP866
// lacks, over the typographic characters of a UTF-8 document.
std::vector<QString> generateParagraphs(const std::vector<QString>& words, size_t characters,
                                        bool cp866) {
    Random next;
    const QString dash = cp866 ? QStringLiteral("---") : QStringLiteral("—");
    const QString open = cp866 ? QStringLiteral("<<") : QStringLiteral("«");
    const QString close = cp866 ? QStringLiteral(">>") : QStringLiteral("»");
    const QString markup[] = {QStringLiteral("$x_{i}^2$"), QStringLiteral("\\cite{knuth}"),
                              QStringLiteral("$\\alpha+\\beta$"), QStringLiteral("\\ref{eq:1}"),
                              QStringLiteral("$f(x)=0$")};
    std::vector<QString> paragraphs;
    size_t total = 0;
    while (total < characters) {
        QString paragraph;
        int column = 0;
        const auto put = [&](const QString& piece) {
            if (column + piece.size() > 72) {
                paragraph += QStringLiteral("\r\n");
                column = 0;
            } else if (column > 0) {
                paragraph += u' ';
                ++column;
            }
            paragraph += piece;
            column += static_cast<int>(piece.size());
        };
        if (next(8) == 0) {
            paragraph = QStringLiteral("\\section{") + words[next(words.size())] + u'}';
            column = 72;
        }
        for (uint32_t s = 0, sentences = 1 + next(5); s < sentences; ++s) {
            for (uint32_t w = 0, count = 4 + next(11); w < count; ++w) {
                QString word = words[next(words.size())];
                if (w == 0) word[0] = word[0].toUpper();
                switch (next(20)) {
                case 0:
                    word = QStringLiteral("\\emph{") + word + u'}';
                    break;
                case 1:
                    word = open + word + close;
                    break;
                case 2:
                    word += u',';
                    break;
                case 3:
                    word = markup[next(5)];
                    break;
                case 4:
                    word = dash;
                    break;
                default:
                    break;
                }
                if (w + 1 == count) word += QStringView(u".?!.").mid(next(4), 1);
                put(word);
            }
        }
        paragraph += QStringLiteral("\r\n");
        total += static_cast<size_t>(paragraph.size());
        paragraphs.push_back(std::move(paragraph));
    }
    return paragraphs;
}

std::string toCp866(const QString& text) {
    std::string bytes = platform::toCp1251(text);
    platform::convertCp1251ToCp866(bytes);
    return bytes;
}

// The rule as first put: strict UTF-8 holding a multi-byte sequence.
bool strictWithMultiByte(const std::string& bytes) {
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; }) &&
           platform::decodeUtf8Document(bytes).has_value();
}

struct Tally {
    size_t files = 0, strict = 0, utf8 = 0;
    void add(const std::string& bytes) {
        ++files;
        strict += strictWithMultiByte(bytes);
        utf8 += platform::detectEncoding(bytes) == TextEncoding::Utf8;
    }
    void print(const char* what) const {
        std::printf("%-46s %8zu files   strict UTF-8 %6zu (%.4f%%)   taken for UTF-8 %zu\n", what,
                    files, strict, 100.0 * static_cast<double>(strict) / static_cast<double>(files),
                    utf8);
    }
};

void measureDetection(const std::vector<QString>& words) {
    std::printf("\nCP866 Russian taken for UTF-8 (%zu words)\n", words.size());
    Tally shipped;
    QFile file(support::sourceDataFile("default.tex"));
    if (file.open(QIODevice::ReadOnly)) shipped.add(file.readAll().toStdString());
    shipped.print("data/default.tex");

    const std::vector<QString> paragraphs = generateParagraphs(words, 4'000'000, true);
    Tally whole, byParagraph, byLine;
    std::string all;
    for (const QString& paragraph : paragraphs) {
        const std::string bytes = toCp866(paragraph);
        all += bytes;
        byParagraph.add(bytes);
        for (const QString& line : paragraph.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            byLine.add(toCp866(line) + "\r\n");
    }
    whole.add(all);
    std::printf("generated prose: %.1f MB, %zu paragraphs\n", static_cast<double>(all.size()) / 1e6,
                paragraphs.size());
    whole.print("  the whole text as one file");
    byParagraph.print("  each paragraph as a file");
    byLine.print("  each line as a file");

    Tally single, singleLower, pairs;
    for (const QString& word : words) {
        single.add(toCp866(word) + "\r\n");
        singleLower.add(toCp866(word.toLower()));
    }
    Random next;
    for (int i = 0; i < 200'000; ++i)
        pairs.add(
            toCp866((words[next(words.size())] + u' ' + words[next(words.size())]).toLower()));
    single.print("one word and CR LF");
    singleLower.print("one lower-case word");
    pairs.print("two lower-case words");
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<QString> words =
        loadWords(argc > 1 ? argv[1] : "/usr/share/hunspell/ru_RU.dic");

    // 10 MB of Russian UTF-8 (two bytes a letter, typographic dashes and quotes).
    std::string big;
    for (const QString& paragraph : generateParagraphs(words, 6'000'000, false)) {
        big += paragraph.toStdString();
        if (big.size() >= 10'000'000) break;
    }
    big.resize(10'000'000);
    while (big.back() & 0x80)
        big.pop_back(); // no sequence cut at the end
    std::printf("UTF-8 text: %zu bytes\n", big.size());

    platform::Utf8Document doc;
    std::string back, out(big.size(), '\0');
    iconv_t cd = iconv_open("CP1251", "UTF-8");
    bool same = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tex"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(big.data(), static_cast<qint64>(big.size()));
    file.close();
    const std::string command = "iconv -f UTF-8 -t CP1251 '" + path.toStdString() + "' > /dev/null";

    // Rounds that take turns, so that both sides meet the same load; the best of each.
    double detect = 1e9, decode = 1e9, read = 1e9, encode = 1e9, library = 1e9, tool = 1e9;
    for (int round = 0; round < 10; ++round) {
        detect = std::min(detect, best(1, [&] {
                              if (platform::detectEncoding(big) != TextEncoding::Utf8)
                                  std::printf("warning: not UTF-8\n");
                          }));
        decode = std::min(decode, best(1, [&] { doc = *platform::decodeUtf8Document(big); }));
        read = std::min(read, best(1, [&] {
                            if (platform::readText(big).encoding != TextEncoding::Utf8)
                                std::printf("warning: not read as UTF-8\n");
                        }));
        encode = std::min(
            encode, best(1, [&] { back = platform::encodeUtf8Document(doc.text, doc.layout); }));
        library = std::min(library, best(1, [&] {
                               char* in = big.data();
                               size_t inLeft = big.size();
                               char* outPtr = out.data();
                               size_t outLeft = out.size();
                               iconv(cd, nullptr, nullptr, nullptr, nullptr);
                               iconv(cd, &in, &inLeft, &outPtr, &outLeft);
                               same = inLeft == 0;
                           }));
        if (round % 3 == 0) tool = std::min(tool, commandSeconds(command));
    }
    iconv_close(cd);
    if (!same) std::printf("warning: iconv stopped early\n");
    if (doc.unheld)
        std::printf("warning: unheld U+%04X\n", static_cast<unsigned>(doc.unheld->code));
    if (back != big) std::printf("warning: not written back byte for byte\n");

    std::printf("detect %.2f ms, decode %.2f ms, both (readText) %.2f ms, encode %.2f ms "
                "(%.0f MB/s decoding)\n",
                detect * 1000, decode * 1000, read * 1000, encode * 1000,
                static_cast<double>(big.size()) / 1e6 / decode);
    report("decode 10 MB (vs iconv(3))", decode, library, 1.0);
    report("readText, the open path (vs iconv(3))", read, library, 1.0);
    report("readText, the open path (vs iconv command)", read, tool, 1.0);
    report("detect, then decode (vs iconv(3))", detect + decode, library, 1.0);
    report("encode back (vs iconv(3) decoding)", encode, library, 1.0);

    measureDetection(words);
    return 0;
}
