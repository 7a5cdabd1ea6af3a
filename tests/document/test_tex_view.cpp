// The Cyrillic conversion and the view of TeX files: the runs the editor loads, checked
// against what the control's RTF reader makes of the RTF they were once shown through.
#include <gtest/gtest.h>

#include <random>

#include "document/tex_view.h"
#include "document/texts.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/rtf_reader.h"
#include "platform/text_encoding.h"
#include "support/qt_print.h"
#include "support/rtf_view_writer.h"

using namespace document;
using namespace std::string_literals;

namespace {

const std::string kHead = "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}"
                          "{\\f1\\fswiss\\fcharset204{\\*\\fname MS Sans Serif;}MS Shell Dlg;}}\r\n"
                          "\\deflang1049\\pard\r\n";
const std::string kCyr = "\\plain\\f1\\fs20\\cf0 ";
const std::string kLat = "\\plain\\lang1033\\f0\\fs20\\cf0 ";

// "привет" in both code pages.
const std::string kWord866 = "\xAF\xE0\xA8\xA2\xA5\xE2";
const std::string kWord1251 = "\xEF\xF0\xE8\xE2\xE5\xF2";

std::string view(const std::string& tex) {
    return support::rtfViewOf(tex);
}

// What a load followed by a save writes, as a CP866 document.
std::string loadAndSave(const std::string& tex) {
    QString text;
    for (const auto& run : readTexView(tex))
        text += run.text;
    const platform::Decoding decoding = platform::decodeText(tex, platform::TextEncoding::Cp866);
    EXPECT_EQ(text, decoding.decoded.text);
    return std::string(
        platform::writeText(text, platform::TextEncoding::Cp866, decoding.decoded.layout).bytes());
}

// Loading refuses a file it would drop bytes from: NUL anywhere, anything but 0x1A after
// the first 0x1A.
bool refused(const std::string& tex) {
    const size_t mark = tex.find('\x1A');
    return tex.find('\0') != std::string::npos ||
           (mark != std::string::npos && tex.find_first_not_of('\x1A', mark) != std::string::npos);
}

} // namespace

TEST(Cyrillic, The66LettersMapBothWaysAndNothingElseMoves) {
    const std::string lower866 =
        "\xA0\xA1\xA2\xA3\xA4\xA5\xF1\xA6\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE"
        "\xAF\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF";
    const std::string lower1251 =
        "\xE0\xE1\xE2\xE3\xE4\xE5\xB8\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE"
        "\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFB\xFC\xFD\xFE\xFF";
    std::string upper866, upper1251;
    for (int i = 0; i < 6; ++i)
        upper866 += static_cast<char>(0x80 + i);
    upper866 += '\xF0';
    for (int i = 6; i < 32; ++i)
        upper866 += static_cast<char>(0x80 + i);
    for (int i = 0; i < 6; ++i)
        upper1251 += static_cast<char>(0xC0 + i);
    upper1251 += '\xA8';
    for (int i = 6; i < 32; ++i)
        upper1251 += static_cast<char>(0xC0 + i);

    std::string s = lower866 + upper866;
    platform::convertCp866ToCp1251(s);
    EXPECT_EQ(s, lower1251 + upper1251);
    platform::convertCp1251ToCp866(s);
    EXPECT_EQ(s, lower866 + upper866);

    int letters866 = 0, letters1251 = 0;
    for (int b = 0; b < 256; ++b) {
        auto byte = static_cast<unsigned char>(b);
        if (platform::cp866ToCp1251(byte) != byte) ++letters866;
        if (platform::cp1251ToCp866(byte) != byte) ++letters1251;
        if (b < 0x80 || (b >= 0xB0 && b <= 0xDF) || b >= 0xF2) {
            EXPECT_EQ(platform::cp866ToCp1251(byte), byte) << b;
        }
        if (b < 0xA8 || (b >= 0xA9 && b <= 0xB7) || (b >= 0xB9 && b <= 0xBF)) {
            EXPECT_EQ(platform::cp1251ToCp866(byte), byte) << b;
        }
    }
    EXPECT_EQ(letters866, 66);
    EXPECT_EQ(letters1251, 66);
}

TEST(RtfView, EmptyFileGivesTheHeaderAndTheClosingBrace) {
    EXPECT_EQ(view(""), kHead + "}\r\n");
    EXPECT_TRUE(platform::readRtf(view("")).empty());
}

TEST(RtfView, RunSwitchesOpenAtTheFirstCharacterOfEachScript) {
    // Russian word, space, $x$, full stop: the space stays Cyrillic, the stop Latin.
    EXPECT_EQ(view(kWord866 + " $x$.\r\n"),
              kHead + kCyr + kWord1251 + " " + kLat + "$x$.\\par\r\n}\r\n");
    // A second line going on in the same script gets no switch.
    EXPECT_EQ(view("ab\r\ncd\r\n"), kHead + kLat + "ab\\par\r\ncd\\par\r\n}\r\n");
    // "%" and digits open no run: at the start of the file they carry the defaults, later
    // the run left open.
    EXPECT_EQ(view("% 12\r\n" + kWord866 + "\r\n42 x\r\n"), kHead + "% 12\\par\r\n" + kCyr +
                                                                kWord1251 + "\\par\r\n42 " + kLat +
                                                                "x\\par\r\n}\r\n");
    EXPECT_EQ(view("\r\n\r\n"), kHead + "\\par\r\n\\par\r\n}\r\n");
}

TEST(RtfView, BackslashesAndBracesAreEscaped) {
    EXPECT_EQ(view("\\section{" + kWord866 + "}\r\n"),
              kHead + kLat + "\\\\section\\{" + kCyr + kWord1251 + "\\}\\par\r\n}\r\n");
    // Every Latin run character switches to Latin; "_", "#", "^" too.
    EXPECT_EQ(view("1_#^"), kHead + "1" + kLat + "_#^\\par\r\n}\r\n");
}

TEST(RtfView, TextFileRulesDecideTheLines) {
    // 0x1A ends the file.
    EXPECT_EQ(view("a\r\n\x1A"
                   "b\r\n"),
              kHead + kLat + "a\\par\r\n}\r\n");
    // LF alone stays inside the line; a last line without CR LF is still a line.
    EXPECT_EQ(view("a\nb\nc"), kHead + kLat + "a\nb\nc\\par\r\n}\r\n");
    EXPECT_EQ(view("a\rb"), kHead + kLat + "a\\par\r\nb\\par\r\n}\r\n");
    // CP1251 letters are read as CP866: 0xE0 ("а" in CP1251) is "р".
    EXPECT_EQ(view("\xE0"), kHead + kCyr + "\xF0\\par\r\n}\r\n");
}

TEST(TexView, TheControlGetsWhatItsReaderMakesOfTheViewWithLoneLineFeedsAsLineEnds) {
    // The view keeps a lone LF inside its line and the reader would drop it; the control
    // breaks the line there, as if the LF had been a CR.
    // Bytes that read alike in the RTF view's code page and in CP866: ASCII and the letters.
    const std::string alphabet = "\r\n\0\x1A{}\\$_ ab;1%\xA0\xAF\xE0\xF1\x80\t"s;
    std::mt19937 random(1251);
    for (int sample = 0; sample < 2000; ++sample) {
        std::string tex;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            tex += alphabet[random() % alphabet.size()];
        if (refused(tex)) {
            EXPECT_THROW(readTexView(tex), platform::RuntimeError) << sample;
            continue;
        }
        // The view ends every line, the last one too; the editor's text ends where the
        // file's does.
        const size_t end = std::min(tex.find('\x1A'), tex.size());
        if (end > 0 && tex[end - 1] != '\r' && tex[end - 1] != '\n') tex.insert(end, "\r\n");
        const auto direct = readTexView(tex);
        const auto viaView = support::runsThroughRtfView(tex);
        ASSERT_EQ(direct.size(), viaView.size()) << sample;
        for (size_t i = 0; i < direct.size(); ++i) {
            EXPECT_EQ(direct[i].text, viaView[i].text) << sample;
            EXPECT_EQ(direct[i].charset, viaView[i].charset) << sample;
            EXPECT_EQ(direct[i].halfPoints, viaView[i].halfPoints) << sample;
            EXPECT_FALSE(direct[i].bold || direct[i].italic || direct[i].underline ||
                         direct[i].color);
        }
    }
    // A file with LF line ends keeps its lines, and is saved with them.
    EXPECT_EQ(loadAndSave("% " + kWord866 + "\n\\section{x}\n\n\nend"),
              "% " + kWord866 + "\n\\section{x}\n\n\nend");
}

TEST(TexView, LoadAndSaveGiveBackTheSameBytes) {
    std::string ascii;
    for (int c = 0x20; c < 0x7F; ++c)
        ascii += static_cast<char>(c);
    std::string russian;
    for (int b = 0x80; b <= 0xAF; ++b)
        russian += static_cast<char>(b);
    for (int b = 0xE0; b <= 0xF1; ++b)
        russian += static_cast<char>(b);
    std::string tex =
        russian + "\r\n" + ascii + "\r\n\r\n\\begin{x} {} \\\\ \\{\r\n" + kWord866 + " $a_1$\r\n";
    EXPECT_EQ(loadAndSave(tex), tex);
    EXPECT_EQ(loadAndSave("last line"), "last line");
    // Every byte of CP866 comes back: box drawing, symbols, the letters of other languages.
    std::string everyByte;
    for (int b = 0x20; b <= 0xFF; ++b)
        everyByte += static_cast<char>(b);
    EXPECT_EQ(loadAndSave(everyByte + "\r\n"), everyByte + "\r\n");
}

// A load that would drop bytes is refused, as the next save would lose them for good; a
// file that merely ends in 0x1A padding loads without it.
TEST(TexView, LoadingRefusesFilesWhoseBytesItWouldDrop) {
    const auto message = [](const std::string& tex) {
        try {
            readTexView(tex);
        } catch (const platform::RuntimeError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    const std::string nul = cp1251(kNulBytes);
    const std::string afterMark = cp1251(kTextAfterEndMark);
    EXPECT_EQ(message("a\0b\r\n"s), nul);
    EXPECT_EQ(message("ab\r\n\x1A\0"s), nul);
    EXPECT_EQ(message(std::string(65536, '\0')), nul);
    EXPECT_EQ(message("a\r\n\x1A"
                      "b"),
              afterMark);
    EXPECT_EQ(message("a\x1A\x1A\r\n"), afterMark);
    EXPECT_EQ(loadAndSave("a\r\nb\x1A\x1A\x1A"), "a\r\nb\x1A\x1A\x1A");
    EXPECT_EQ(loadAndSave("\x1A"), "");
}
