#include <gtest/gtest.h>

#include "platform/paths.h"

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
