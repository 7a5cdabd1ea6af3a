#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <iconv.h>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "processing/log_text.h"
#include "processing/stand_in.h"

using processing::readLogLines;

namespace {

// One character converted by the C library (an oracle independent of the editor's table).
std::string iconvOne(const char* from, const char* to, unsigned char byte) {
    iconv_t cd = ::iconv_open(to, from);
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    size_t r = ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    ::iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return {};
    return std::string(out, sizeof out - outLeft);
}

std::vector<std::string> load(const std::string& path) {
    std::vector<std::string> lines;
    readLogLines(QString::fromStdString(path), lines);
    return lines;
}

} // namespace

TEST(LogText, RussianLettersBecomeCp1251AndOtherBytesStay) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/t.log";
    std::string all;
    for (int b = 0x20; b < 0x100; ++b)
        if (b != 0x1A) all += static_cast<char>(b);
    support::writeBytes(path, "This is TeX\r\n" + all + "\r\n");
    auto lines = load(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "This is TeX");
    ASSERT_EQ(lines[1].size(), all.size());

    int letters = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        unsigned char in = static_cast<unsigned char>(all[i]);
        unsigned char out = static_cast<unsigned char>(lines[1][i]);
        std::string unicode = iconvOne("CP866", "UTF-8", in);
        bool russianLetter = unicode.size() == 2 && ((unicode >= "А" && unicode <= "я") ||
                                                     unicode == "ё" || unicode == "Ё");
        if (russianLetter) {
            ++letters;
            EXPECT_EQ(iconvOne("CP1251", "UTF-8", out), unicode) << std::hex << int(in);
        } else {
            // Pseudo-graphics, Latin, digits: the same byte value.
            EXPECT_EQ(out, in) << std::hex << int(in);
        }
    }
    EXPECT_EQ(letters, 66);
}

TEST(LogText, ReadAsATextFile) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/t.log";
    support::writeBytes(path, "");
    EXPECT_TRUE(load(path).empty());
    support::writeBytes(path, "a\r\n\r\nb\rc\x1A"
                              "after the end mark");
    EXPECT_EQ(load(path), (std::vector<std::string>{"a", "", "b", "c"}));
    support::writeBytes(path, "last line without a break");
    EXPECT_EQ(load(path), (std::vector<std::string>{"last line without a break"}));
    // TeX Live ends its lines with LF alone.
    support::writeBytes(path, "This is pdfTeX\n(./a.tex\n\n)\r\nend\n");
    EXPECT_EQ(load(path), (std::vector<std::string>{"This is pdfTeX", "(./a.tex", "", ")", "end"}));

    EXPECT_THROW(load(dir.path().toStdString() + "/missing.log"), platform::InOutError);
    try {
        load(dir.path().toStdString() + "/missing.log");
    } catch (const platform::RuntimeError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
}

TEST(LogText, OverlongLineStopsLoadingAndKeepsTheLinesBefore) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/t.log";
    support::writeBytes(path, "one\r\n" + std::string(65535, 'x') + "\r\n" +
                                  std::string(65536, 'y') + "\r\nlast\r\n");
    std::vector<std::string> lines;
    EXPECT_THROW(readLogLines(QString::fromStdString(path), lines), platform::RangeCheckError);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].size(), 65535u);

    // The limit holds for each line, not for a whole LOG with LF line ends.
    std::string log;
    for (int i = 0; i < 2000; ++i)
        log += "Overfull \\hbox (12.3pt too wide) in paragraph at lines 10--12\n";
    support::writeBytes(path, log);
    EXPECT_EQ(load(path).size(), 2000u);
}

// latex writes a UTF-8 source's Russian into its LOG in UTF-8, cutting its lines after a
// count of bytes even inside a character: the character goes whole to the line it ends.
TEST(LogText, Utf8LogsAreShownInCp1251) {
    const auto lines = load(std::string(KOLBAX_LOG_SAMPLES) + "/utf8.log");
    ASSERT_GT(lines.size(), 316u);
    EXPECT_EQ(lines[315], platform::toCp1251(u"Package проба Warning: Русский текст"));

    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/t.log";
    support::writeBytes(path, "Да\xD0\n\x9F\xD1\x80\r\n\xCE\xB1 \xFF\n");
    EXPECT_EQ(load(path), (std::vector<std::string>{platform::toCp1251(u"ДаП"),
                                                    platform::toCp1251(u"р"), "? ?"}));

    // 0x1A ends the LOG: a break before it stays where it is, or the last line would go.
    support::writeBytes(path, "Привет\xD0\n\x9F\x1A"
                              "eof");
    EXPECT_EQ(load(path), (std::vector<std::string>{platform::toCp1251(u"Привет?"), "?"}));
}

// A LOG of a CP1251 or KOI8-R source holds the source's bytes: it is read in that code page,
// recognised from its letters, or taken from the source when they are too few to tell.
TEST(LogText, EightBitLogsAreReadInTheSourcesCodePage) {
    const std::string russian = "Привет, мир! Ёлки зелёные.";
    for (const char* name : {"CP1251", "KOI8-R"}) {
        iconv_t cd = ::iconv_open(name, "UTF-8");
        std::string in = russian, out(64, '\0');
        char* inPtr = in.data();
        char* outPtr = out.data();
        size_t inLeft = in.size(), outLeft = out.size();
        ::iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        ::iconv_close(cd);
        out.resize(out.size() - outLeft);
        const auto encoding = std::string(name) == "CP1251" ? platform::TextEncoding::Cp1251
                                                            : platform::TextEncoding::Koi8r;
        std::vector<std::string> lines;
        processing::appendLogLines("l.1 " + out + "\n", lines);
        EXPECT_EQ(lines, std::vector<std::string>{"l.1 " + platform::toCp1251(
                                                               QString::fromStdString(russian))})
            << name;
        EXPECT_EQ(processing::logEightBitEncoding(out.substr(0, 4), encoding), encoding);
    }
    EXPECT_EQ(processing::logEightBitEncoding("ab", platform::TextEncoding::Utf8),
              platform::TextEncoding::Cp866);
}
