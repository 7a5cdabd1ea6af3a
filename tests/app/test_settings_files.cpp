#include <gtest/gtest.h>

#include <filesystem>

#include "app/settings_files.h"
#include "platform/errors.h"
#include "support/qt_print.h"
#include "support/text.h"

namespace fs = std::filesystem;
using namespace app;

namespace {

class SettingsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kolbax-settings-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string write(const std::string& name, const std::string& bytes) {
        support::writeBytes(dir_ / name, bytes);
        return (dir_ / name).string();
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

} // namespace

TEST_F(SettingsFiles, MissingFilesGiveEmptyValues) {
    CommandLines commands = readCommandSet(path("commands.set"));
    EXPECT_EQ(commands.compile, "");
    EXPECT_EQ(commands.view, "");
    EXPECT_EQ(commands.print, "");
    EXPECT_EQ(readFileList(path("filelist.ini")), (RecentFileList{}));
}

TEST_F(SettingsFiles, CommandSetLinesFollowTheTextFileRules) {
    // One line only: view and print stay empty.
    CommandLines one = readCommandSet(write("one.set", "latex -interaction=nonstopmode\r\n"));
    EXPECT_EQ(one.compile, "latex -interaction=nonstopmode");
    EXPECT_EQ(one.view, "");
    EXPECT_EQ(one.print, "");

    // A lone LF stays inside its line, CR alone ends one, Ctrl+Z ends the file, a fourth
    // line is ignored.
    CommandLines odd = readCommandSet(write("odd.set", "a\nb\rxdvi -s 4\r\ndvips\x1a"
                                                       "ignored\r\n"));
    EXPECT_EQ(odd.compile, "a\nb");
    EXPECT_EQ(odd.view, "xdvi -s 4");
    EXPECT_EQ(odd.print, "dvips");
    CommandLines four = readCommandSet(write("four.set", "1\r\n2\r\n3\r\n4\r\n"));
    EXPECT_EQ(four.print, "3");
}

TEST_F(SettingsFiles, ShortFileListIsWrittenBackAsFourLines) {
    RecentFileList list = readFileList(write("filelist.ini", "/home/u/a.tex\r\n/home/u/b.tex\r\n"));
    EXPECT_EQ(list, (RecentFileList{"/home/u/a.tex", "/home/u/b.tex", "", ""}));
    EXPECT_EQ(fileListBytes(list), "/home/u/a.tex\r\n/home/u/b.tex\r\n\r\n\r\n");
    EXPECT_EQ(fileListBytes({}), "\r\n\r\n\r\n\r\n");
    // An empty first line keeps its place.
    EXPECT_EQ(readFileList(write("gap.ini", "\r\n/x/y.tex\r\n")),
              (RecentFileList{"", "/x/y.tex", "", ""}));
}

TEST_F(SettingsFiles, FileListKeepsCp1251LinesAndMarksOthersAsUtf8) {
    const RecentFileList list{QStringLiteral("/d/тезис.tex"), QStringLiteral("/d/café/α.tex"), "",
                              QStringLiteral("/d/résumé.tex")};
    const std::string bytes = "/d/\xF2\xE5\xE7\xE8\xF1.tex\r\n"
                              "\xEF\xBB\xBF/d/caf\xC3\xA9/\xCE\xB1.tex\r\n\r\n"
                              "\xEF\xBB\xBF/d/r\xC3\xA9sum\xC3\xA9.tex\r\n";
    EXPECT_EQ(fileListBytes(list), bytes);
    EXPECT_EQ(readFileList(write("filelist.ini", bytes)), list);
}

TEST_F(SettingsFiles, UnreadableSettingsFileIsARuntimeError) {
    fs::create_directories(dir_ / "filelist.ini");
    fs::create_directories(dir_ / "commands.set");
    EXPECT_THROW(readFileList(path("filelist.ini")), platform::InOutError);
    EXPECT_THROW(readCommandSet(path("commands.set")), platform::InOutError);
}

TEST(RecentFiles, NewPathGoesOnTopAndTheOldestDropsOut) {
    RecentFileList list{"/a.tex", "/b.tex", "/c.tex", "/d.tex"};
    EXPECT_TRUE(enterRecentFile(list, "/e.tex"));
    EXPECT_EQ(list, (RecentFileList{"/e.tex", "/a.tex", "/b.tex", "/c.tex"}));

    // Entries move down even across an empty one.
    RecentFileList gap{"", "/x.tex", "", ""};
    EXPECT_TRUE(enterRecentFile(gap, "/y.tex"));
    EXPECT_EQ(gap, (RecentFileList{"/y.tex", "", "/x.tex", ""}));
}

TEST(RecentFiles, ListedPathKeepsItsPlaceAndComparisonIsExact) {
    RecentFileList list{"/a.tex", "/b.tex", "/c.tex", ""};
    EXPECT_FALSE(enterRecentFile(list, "/c.tex"));
    EXPECT_EQ(list, (RecentFileList{"/a.tex", "/b.tex", "/c.tex", ""}));
    EXPECT_TRUE(enterRecentFile(list, "/C.tex"));
    EXPECT_EQ(list[0], "/C.tex");
}

TEST(RecentFiles, PathsAndCaptions) {
    EXPECT_EQ(recentFilePath("/home/u", "doc", ".tex"), "/home/u/doc.tex");
    EXPECT_EQ(recentFilePath("/", "doc", ""), "//doc");
    EXPECT_EQ(recentFileCaption("/home/u/my doc.tex"), "my doc.tex");
    EXPECT_EQ(recentFileCaption("plain"), "plain");
    EXPECT_EQ(recentFileCaption(QStringLiteral("/d/café/α.tex")), QStringLiteral("α.tex"));
}
