#include <gtest/gtest.h>

#include "document/status_file.h"
#include "platform/errors.h"
#include "support/qt_print.h"

using namespace document;

namespace {
StatusRecord parse(std::string_view bytes) {
    StatusRecord r;
    parseStatusFile(bytes, r);
    return r;
}
} // namespace

TEST(StatusFile, WrittenAsThreeCrLfLines) {
    EXPECT_EQ(statusFileText("*", true, 1234), "*\r\n1\r\n1234\r\n");
    EXPECT_EQ(statusFileText("", false, 0), "\r\n0\r\n0\r\n");
    // The project link in CP1251 when it can be, else marked UTF-8; both read back.
    EXPECT_EQ(statusFileText(QStringLiteral("тезис"), true, 77),
              "\xF2\xE5\xE7\xE8\xF1\r\n1\r\n77\r\n");
    EXPECT_EQ(statusFileText(QStringLiteral("α"), true, 77), "\xEF\xBB\xBF\xCE\xB1\r\n1\r\n77\r\n");
    for (const QString& link : {QStringLiteral("тезис"), QStringLiteral("α")}) {
        StatusRecord r = parse(statusFileText(link, true, 77));
        EXPECT_EQ(r.mainFile, link);
        EXPECT_EQ(r.smartKeyboardOn, true);
        EXPECT_EQ(r.caret, 77);
    }
}

TEST(StatusFile, ShortFilesReadAsEmptyAndZero) {
    StatusRecord empty = parse("");
    EXPECT_EQ(empty.mainFile, "");
    EXPECT_EQ(empty.smartKeyboardOn, false);
    EXPECT_EQ(empty.caret, 0);
    StatusRecord one = parse("thesis");
    EXPECT_EQ(one.mainFile, "thesis");
    EXPECT_EQ(one.smartKeyboardOn, false);
    EXPECT_EQ(one.caret, 0);
}

TEST(StatusFile, TheSmartKeyboardValueIsReadAsAByte) {
    EXPECT_EQ(parse("*\r\n257\r\n0\r\n").smartKeyboardOn, true);
    EXPECT_EQ(parse("*\r\n2\r\n0\r\n").smartKeyboardOn, false);
    EXPECT_EQ(parse("*\r\n-255\r\n0\r\n").smartKeyboardOn, true);
    // An empty line 2: the caret's number is taken as the switch, the caret reads past
    // the end as 0.
    StatusRecord r = parse("*\r\n\r\n1\r\n");
    EXPECT_EQ(r.smartKeyboardOn, true);
    EXPECT_EQ(r.caret, 0);
    // The rest of a number's line is skipped.
    EXPECT_EQ(parse("*\r\n1 words\r\n15 more\r\n").caret, 15);
}

TEST(StatusFile, GarbageStopsAtTheBadNumberKeepingWhatWasRead) {
    StatusRecord r;
    EXPECT_THROW(parseStatusFile("main\r\nyes\r\n10\r\n", r), platform::InvalidNumericInput);
    EXPECT_EQ(r.mainFile, "main");
    EXPECT_FALSE(r.smartKeyboardOn.has_value());
    EXPECT_FALSE(r.caret.has_value());

    StatusRecord r2;
    EXPECT_THROW(parseStatusFile("main\r\n1\r\n\x01\x02garbage\xFF\r\n", r2),
                 platform::InvalidNumericInput);
    EXPECT_EQ(r2.smartKeyboardOn, true);
    EXPECT_FALSE(r2.caret.has_value());
}
