// The RTF reader: the editor's own views and what word processors write.
#include <gtest/gtest.h>

#include "platform/codepage.h"

#include "platform/rtf_reader.h"

using namespace platform;
using namespace std::string_literals;

namespace {

std::string textOf(const std::vector<TextRun>& runs) {
    QString text;
    for (const auto& run : runs)
        text += run.text;
    return toCp1251(text);
}

std::string textOf(std::string_view rtf) {
    return textOf(readRtf(rtf));
}

} // namespace

TEST(RtfReader, ViewRunsKeepTheirFontsCharacterSet) {
    auto runs =
        readRtf("{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}"
                "{\\f1\\fswiss\\fcharset204{\\*\\fname MS Sans Serif;}MS Shell Dlg;}}\r\n"
                "\\deflang1049\\pard\r\n"
                "% 1\\par\r\n"
                "\\plain\\f1\\fs20\\cf0 \xEF\xF0\xE8 \\plain\\lang1033\\f0\\fs20\\cf0 $x$.\\par\r\n"
                "\\\\a\\{\\plain\\f1\\fs20\\cf0 \xE0\\}\\par\r\n}\r\n");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(toCp1251(runs[0].text), "% 1\n");
    EXPECT_EQ(runs[0].charset, 0);
    EXPECT_EQ(runs[0].halfPoints, 0);
    EXPECT_EQ(toCp1251(runs[1].text), "\xEF\xF0\xE8 ");
    EXPECT_EQ(runs[1].charset, 204);
    EXPECT_EQ(runs[1].halfPoints, 20);
    EXPECT_EQ(toCp1251(runs[2].text), "$x$.\n\\a{");
    EXPECT_EQ(runs[2].charset, 0);
    EXPECT_EQ(toCp1251(runs[3].text), "\xE0}\n");
    EXPECT_EQ(runs[3].charset, 204);
}

TEST(RtfReader, CharacterFormattingAndColours) {
    auto runs = readRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                        "a{\\b b}{\\i\\ul c\\ulnone d}\\cf2 e\\cf0 f\\cf9 g\\fs28 h}");
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(toCp1251(runs[0].text), "a");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_TRUE(runs[2].italic && runs[2].underline);
    EXPECT_EQ(toCp1251(runs[2].text), "c");
    EXPECT_TRUE(runs[3].italic && !runs[3].underline);
    EXPECT_EQ(toCp1251(runs[4].text), "e");
    EXPECT_EQ(runs[4].color, 0x0000FFu);
    EXPECT_EQ(toCp1251(runs[5].text), "fg"); // \cf0 is automatic, an index outside the table too
    EXPECT_FALSE(runs[5].color.has_value());
    EXPECT_EQ(runs[6].halfPoints, 28);
}

TEST(RtfReader, SpecialCharactersAndEscapes) {
    EXPECT_EQ(textOf("{\\rtf1 a\\tab b\\line c\\~d\\emdash\\endash\\lquote\\rquote\\ldblquote"
                     "\\rdblquote\\bullet\\-e\\_f\\\r\ng}"),
              "a\tb\nc\xA0"
              "d\x97\x96\x91\x92\x93\x94\x95"
              "e-f\ng");
    // Raw line ends and NUL bytes are not text.
    EXPECT_EQ(textOf("{\\rtf1 a\r\nb\0c}"s), "abc");
}

TEST(RtfReader, HexBytesGoThroughTheFontsCharacterSet) {
    const char* fonts = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman\\fcharset0 Times;}"
                        "{\\f1\\fcharset204 Times Cyr;}{\\f2\\fcharset1 Default;}}";
    // Cyrillic font: the byte is the CP1251 letter; Western font: CP1252 mapped to CP1251
    // (the euro sign exists in both, e-acute does not).
    auto runs = readRtf(std::string(fonts) + "\\f1 \\'e0\\'C0\\f0 \\'80\\'e9}");
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(toCp1251(runs[0].text), "\xE0\xC0");
    EXPECT_EQ(runs[0].charset, 204);
    EXPECT_EQ(toCp1251(runs[1].text), "\x88?");
    EXPECT_EQ(runs[1].charset, 0);
    // The default character set follows the document's code page.
    EXPECT_EQ(
        textOf(std::string("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f2\\fcharset1 D;}}\\f2 \\'e0}")),
        "\xE0");
    // Broken hex escapes are dropped.
    EXPECT_EQ(textOf("{\\rtf1 a\\'zzb\\'4}"), "azzb");
}

TEST(RtfReader, UnicodeWithFallbackSkipping) {
    // Each \u is followed by \uc characters of fallback, which are skipped.
    EXPECT_EQ(textOf("{\\rtf1 \\u1087?\\u1088?x}"), "\xEF\xF0x");
    EXPECT_EQ(textOf("{\\rtf1\\uc2 \\u1087\\'3f\\'3fy\\uc0\\u8364 z}"), "\xEFy\x88z");
    EXPECT_EQ(textOf("{\\rtf1 \\u-3913?a}"), "?a");           // U+F0B7: not in CP1251
    EXPECT_EQ(textOf("{\\rtf1 \\u-10179?\\u-8704?b}"), "?b"); // one character beyond the BMP
    EXPECT_EQ(textOf("{\\rtf1 {\\u1087}?}"), "\xEF?");        // a brace ends the skipping
}

TEST(RtfReader, DestinationsAreSkipped) {
    EXPECT_EQ(textOf("{\\rtf1{\\*\\generator Writer;}{\\stylesheet{\\s0 Normal;}}"
                     "{\\info{\\title T}{\\author A}}{\\header H}{\\footer F}"
                     "{\\pict\\wmetafile8 0102abcd}{\\object{\\objdata 00}}{\\*\\unknown x}"
                     "text{\\field{\\*\\fldinst HYPERLINK}{\\fldrslt link}}}"),
              "textlink");
    // \bin data is skipped, bounded by the input; binary braces do not count.
    EXPECT_EQ(textOf("{\\rtf1 a{\\pict\\bin4 }}{x}b}"), "ab");
    EXPECT_EQ(textOf("{\\rtf1 a\\bin999999999 xyz"), "a");
}

TEST(RtfReader, MalformedInputIsReadUpToTheFault) {
    // The end of input inside groups is tolerated.
    EXPECT_EQ(textOf("{\\rtf1 abc{\\b def"), "abcdef");
    // Nothing after the closing brace is read.
    EXPECT_EQ(textOf("{\\rtf1 abc}def{ghi}"), "abc");
    // Stray closing braces end the document.
    EXPECT_EQ(textOf("{\\rtf1 a}}}b"), "a");
    // A control word longer than 32 letters is ignored, shorter unknown ones too.
    EXPECT_EQ(textOf("{\\rtf1 a\\" + std::string(40, 'q') + " b\\qzx7 c}"), "abc");
    // Huge parameters are clamped.
    EXPECT_EQ(textOf("{\\rtf1 \\fs99999999999999999999 a\\uc-99999999999 \\u99999999999 b}"),
              "a?b");
    EXPECT_EQ(textOf("{\\rtf1 \\"), "");
    EXPECT_EQ(textOf("{\\rtf1"), "");
}

TEST(RtfReader, DeepNestingIsCapped) {
    std::string deep = "{\\rtf1 ";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b ";
    deep += "x";
    for (int i = 0; i < 100000; ++i)
        deep += "}";
    deep += "y}";
    auto runs = readRtf(deep);
    EXPECT_EQ(textOf(runs), "xy");
    EXPECT_TRUE(runs.front().bold);
    EXPECT_FALSE(runs.back().bold);
}

TEST(RtfReader, PlainTextWhenNotRtf) {
    auto runs = readRtf("line 1\r\nline 2\rline 3\nend\0!"s, 204);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(toCp1251(runs[0].text), "line 1\nline 2\nline 3\nend!");
    EXPECT_EQ(runs[0].charset, 204);
    EXPECT_TRUE(readRtf("").empty());
    EXPECT_EQ(textOf("{\\rt"), "{\\rt");
}

TEST(RtfReader, LengthCountsLineBreaksTwice) {
    EXPECT_EQ(rtfTextLength(readRtf("{\\rtf1 ab\\par c\\par}")), 7);
}
