#include <gtest/gtest.h>

#include "platform/paths.h"
#include "support/qt_print.h"

using namespace platform;

TEST(SplitPath, OrdinaryPath) {
    auto p = splitPath("/home/u/thesis.tex");
    EXPECT_EQ(p.fileName, "thesis.tex");
    EXPECT_EQ(p.extension, ".tex");
    EXPECT_EQ(p.nameWithoutExtension, "thesis");
    EXPECT_EQ(p.folder, "/home/u");
}

TEST(SplitPath, RootFolderKeepsItsSlash) {
    auto p = splitPath("/a.tex");
    EXPECT_EQ(p.folder, "/");
    EXPECT_EQ(p.nameWithoutExtension, "a");
}

TEST(SplitPath, NoFolderAndOnlyAnExtension) {
    auto p = splitPath("notes");
    EXPECT_EQ(p.folder, "");
    EXPECT_EQ(p.extension, "");
    EXPECT_EQ(p.nameWithoutExtension, "notes");
    auto q = splitPath("/d/.tex");
    EXPECT_EQ(q.extension, ".tex");
    EXPECT_EQ(q.nameWithoutExtension, "");
    auto r = splitPath("/d/a.b.tex");
    EXPECT_EQ(r.extension, ".tex");
    EXPECT_EQ(r.nameWithoutExtension, "a.b");
}

TEST(SplitPath, SlashAfterSlashIsKept) {
    EXPECT_EQ(splitPath("/d//x.tex").folder, "/d//");
}

TEST(SplitPath, NamesOutsideCp1251AndJoining) {
    auto p = splitPath(QStringLiteral("/d/café/résumé.tex"));
    EXPECT_EQ(p.nameWithoutExtension, QStringLiteral("résumé"));
    EXPECT_EQ(p.folder, QStringLiteral("/d/café"));
    EXPECT_EQ(joinPath("/d", "a.tex"), "/d/a.tex");
    EXPECT_EQ(joinPath("/", "a.tex"), "/a.tex");
    EXPECT_EQ(joinPath("", "a.tex"), "a.tex");
}

// filelist.ini and the status file keep what CP1251 holds as CP1251, byte for byte as
// before, and anything else as a marked UTF-8 line; every older line reads as it did.
TEST(StoredPath, Cp1251WhenItHoldsThePathElseMarkedUtf8) {
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(storedPath(QStringLiteral("/home/u/тезис.tex")), "/home/u/\xF2\xE5\xE7\xE8\xF1.tex");
    EXPECT_EQ(storedPath(QStringLiteral("/d/α.tex")), mark + "/d/\xCE\xB1.tex");
    EXPECT_EQ(storedPath(QStringLiteral("/d/café")), mark + "/d/caf\xC3\xA9");
    EXPECT_EQ(storedPath(QStringLiteral("😀")), mark + "\xF0\x9F\x98\x80");
    EXPECT_EQ(storedPath(QString()), "");
    // A CP1251 value whose bytes would look like the mark ("п»ї") takes the UTF-8 form.
    EXPECT_EQ(storedPath(QStringLiteral("п»ї.tex")), mark + "\xD0\xBF\xC2\xBB\xD1\x97.tex");

    for (const QString& path :
         {QStringLiteral("/home/u/тезис.tex"), QStringLiteral("/d/α.tex"),
          QStringLiteral("п»ї.tex"), QStringLiteral("😀"), QString::fromUtf16(u"\u0098\u00A0"),
          // A name of its own starting with U+FEFF keeps it.
          QChar(0xFEFF) + QStringLiteral("x")})
        EXPECT_EQ(pathFromStored(storedPath(path)), path);
    // Every byte of an older line reads as its CP1251 character.
    EXPECT_EQ(pathFromStored("\xEF\xBB"), QStringLiteral("п»"));
    EXPECT_EQ(pathFromStored("r\xE9sum\xE9"), QStringLiteral("rйsumй"));
    EXPECT_EQ(pathFromStored(mark + "\xFF"), QString(QChar::ReplacementCharacter));
}

TEST(WorkablePath, ControlCharactersAndUndecodableBytesAreRefused) {
    EXPECT_TRUE(isWorkablePath(QStringLiteral("/d/my 'thesis' \"1\" α;$(x).tex")));
    EXPECT_FALSE(isWorkablePath(QStringLiteral("/d/two\nlines.tex")));
    EXPECT_FALSE(isWorkablePath(QStringLiteral("/d/cr\r.tex")));
    EXPECT_FALSE(isWorkablePath(QString::fromUtf8("/d/bad\xFF.tex")));
}
