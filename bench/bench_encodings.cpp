// Encodings of documents: decoding 10 MB of Russian UTF-8 against iconv (the library call
// and the command, measured in the same run); how often CP866 Russian text would be taken
// for another encoding (the shipped template, generated prose by paragraph and by line, files
// of one or two dictionary words); and how often CP1251 and KOI8-R text is recognised, by the
// editor's letter statistics and, when the bench is built with it, by uchardet. Words come
// from the Russian hunspell dictionary when it is installed (hunspell-ru), from a short
// built-in list otherwise; real files from the TeX Live documentation when it is there.
//   bench_encodings [words.dic]
#include <QDirIterator>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <iconv.h>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>
#ifdef KOLBAX_UCHARDET
#include <uchardet.h>
#endif

#include "platform/codepage.h"
#include "platform/recognition.h"
#include "platform/text_encoding.h"
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

std::string inEncoding(const QString& text, TextEncoding encoding) {
    // The generated prose holds only what every code page holds.
    return std::string(
        platform::writeText(text, encoding, {false, platform::LineEnd::CrLf, false, 0}).bytes());
}

// The encoding uchardet names for the bytes, among the editor's; CP866 for any other answer
// and when unsure, as the editor's own rule.
TextEncoding byUchardet([[maybe_unused]] const std::string& bytes) {
#ifdef KOLBAX_UCHARDET
    static uchardet_t detector = uchardet_new();
    uchardet_reset(detector);
    uchardet_handle_data(detector, bytes.data(), bytes.size());
    uchardet_data_end(detector);
    const std::string name = uchardet_get_charset(detector);
    if (name == "UTF-8") return TextEncoding::Utf8;
    if (name == "WINDOWS-1251") return TextEncoding::Cp1251;
    if (name == "KOI8-R") return TextEncoding::Koi8r;
#endif
    return TextEncoding::Cp866;
}

// How the texts of one source in one encoding are recognised.
struct Tally {
    explicit Tally(TextEncoding encoding) : truth(encoding) {}
    TextEncoding truth;
    size_t files = 0, right = 0, uchardetRight = 0;
    std::map<TextEncoding, size_t> wrong;
    void add(const std::string& bytes) {
        ++files;
        const TextEncoding found = platform::recogniseEncoding(bytes).encoding;
        if (found == truth)
            ++right;
        else
            ++wrong[found];
#ifdef KOLBAX_UCHARDET
        uchardetRight += byUchardet(bytes) == truth;
#endif
    }
    void print(const char* what) const {
        std::printf("  %-40s %8zu files  right %8zu (%7.3f%%)", what, files, right,
                    100.0 * static_cast<double>(right) / static_cast<double>(files));
#ifdef KOLBAX_UCHARDET
        std::printf("  uchardet %7.3f%%",
                    100.0 * static_cast<double>(uchardetRight) / static_cast<double>(files));
#endif
        for (const auto& [encoding, count] : wrong)
            std::printf("  as %s: %zu", platform::encodingOf(encoding).name.data(), count);
        std::printf("\n");
    }
};

void measureRecognition(const std::vector<QString>& words) {
    const std::vector<QString> paragraphs = generateParagraphs(words, 4'000'000, true);
    std::vector<QString> lines;
    for (const QString& paragraph : paragraphs)
        for (const QString& line : paragraph.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            lines.push_back(line + QStringLiteral("\r\n"));
    Random next;
    std::vector<QString> pairs;
    for (int i = 0; i < 200'000; ++i)
        pairs.push_back(words[next(words.size())] + u' ' + words[next(words.size())]);
    std::printf("\ngenerated prose: %zu paragraphs, %zu lines; %zu words\n", paragraphs.size(),
                lines.size(), words.size());

    for (const TextEncoding truth :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        std::printf("%s Russian text recognised as itself\n",
                    platform::encodingOf(truth).name.data());
        Tally whole(truth), byParagraph(truth), byLine(truth), single(truth), singleLower(truth),
            pair(truth);
        std::string all;
        for (const QString& paragraph : paragraphs) {
            const std::string bytes = inEncoding(paragraph, truth);
            all += bytes;
            byParagraph.add(bytes);
        }
        whole.add(all);
        for (const QString& line : lines)
            byLine.add(inEncoding(line, truth));
        for (const QString& word : words) {
            single.add(inEncoding(word + QStringLiteral("\r\n"), truth));
            singleLower.add(inEncoding(word.toLower(), truth));
        }
        for (const QString& two : pairs)
            pair.add(inEncoding(two.toLower(), truth));
        if (truth == TextEncoding::Cp866) {
            Tally shipped(truth);
            QFile file(support::sourceDataFile("default.tex"));
            if (file.open(QIODevice::ReadOnly)) shipped.add(file.readAll().toStdString());
            shipped.print("data/default.tex");
        }
        whole.print("the whole text as one file");
        byParagraph.print("each paragraph as a file");
        byLine.print("each line as a file");
        single.print("one word and CR LF");
        singleLower.print("one lower-case word");
        pair.print("two lower-case words");
    }

    // Real files of the TeX Live documentation, their declarations taken out, so that the
    // letters alone decide: each file's own encoding is what its declaration said.
    std::map<TextEncoding, Tally> real;
    QDirIterator files(QStringLiteral("/usr/share/doc/texlive-doc"),
                       {QStringLiteral("*.tex"), QStringLiteral("*.bib")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly) || file.size() > (4 << 20)) continue;
        std::string bytes = file.readAll().toStdString();
        const std::optional<TextEncoding> declared = platform::declaredEncoding(bytes);
        if (!declared || *declared == TextEncoding::Utf8) continue;
        if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; })) continue;
        for (size_t at = bytes.find("{inputenc}"); at != std::string::npos;
             at = bytes.find("{inputenc}", at + 1))
            bytes.replace(at, 10, "{inputenX}");
        for (size_t at = bytes.find("!TeX encoding"); at != std::string::npos;
             at = bytes.find("!TeX encoding", at + 1))
            bytes.replace(at, 13, "!TeX encodinX");
        real.try_emplace(*declared, *declared).first->second.add(bytes);
    }
    std::printf("real files of /usr/share/doc/texlive-doc without their declarations\n");
    for (const auto& [encoding, tally] : real)
        tally.print(platform::encodingOf(encoding).name.data());
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

    platform::Decoding doc;
    std::string out(big.size() * 2, '\0');
    iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
    bool same = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.tex"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(big.data(), static_cast<qint64>(big.size()));
    file.close();
    const std::string command =
        "iconv -f UTF-8 -t UTF-16LE '" + path.toStdString() + "' > /dev/null";

    // Rounds that take turns, so that both sides meet the same load; the best of each.
    double recognise = 1e9, decode = 1e9, encode = 1e9, library = 1e9, tool = 1e9;
    platform::FileBytes back;
    for (int round = 0; round < 10; ++round) {
        recognise =
            std::min(recognise, best(1, [&] {
                         if (platform::recogniseEncoding(big).encoding != TextEncoding::Utf8)
                             std::printf("warning: not UTF-8\n");
                     }));
        decode =
            std::min(decode, best(1, [&] { doc = platform::decodeText(big, TextEncoding::Utf8); }));
        encode = std::min(encode, best(1, [&] {
                              back = platform::writeText(doc.decoded.text, TextEncoding::Utf8,
                                                         doc.decoded.layout);
                          }));
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
    if (back.bytes() != big) std::printf("warning: not written back byte for byte\n");

    std::printf("recognise %.2f ms, decode %.2f ms, encode %.2f ms (%.0f MB/s decoding)\n",
                recognise * 1000, decode * 1000, encode * 1000,
                static_cast<double>(big.size()) / 1e6 / decode);
    report("decode 10 MB (vs iconv(3) to UTF-16)", decode, library, 1.0);
    report("recognise + decode, the open path (vs iconv(3))", recognise + decode, library, 1.0);
    report("recognise + decode (vs iconv command)", recognise + decode, tool, 1.0);
    report("encode back (vs iconv(3) decoding)", encode, library, 1.0);

    measureRecognition(words);
    return 0;
}
