// From LOG entries to places in the project, on a LOG that TeX Live wrote (logs/nested.log:
// errors in nested/level2.tex, nested/level1.tex and nested.tex).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "processing/log_navigation.h"

using namespace processing;

namespace {

class LogNavigation : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        folder = root.path() + "/project";
        QDir().mkpath(folder + "/nested");
        for (const char* name :
             {"nested.log", "nested.tex", "nested/level1.tex", "nested/level2.tex"})
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(KOLBAX_LOG_SAMPLES "/") + name, folder + "/" + name));
        log = folder + "/nested.log";
    }

    static std::string placeOf(const std::optional<LogEntry>& entry) {
        if (!entry) return "none";
        return entry->file + ":" + std::to_string(entry->line.value_or(0));
    }

    QTemporaryDir root;
    QString folder, log;
};

LogEntry entryIn(const std::string& file, std::optional<int> line = 7) {
    LogEntry entry;
    entry.file = file;
    entry.line = line;
    return entry;
}

} // namespace

TEST_F(LogNavigation, EntriesLeadIntoTheProjectOnly) {
    const QString main = folder + "/nested.tex";
    LogJump jump = jumpFor(entryIn("./nested/level1.tex"), folder, main);
    EXPECT_EQ(jump.action, LogJump::Action::OpenDocument);
    EXPECT_EQ(jump.path, folder + "/nested/level1.tex");
    EXPECT_EQ(jump.line, 7);

    jump = jumpFor(entryIn("nested.tex", std::nullopt), folder, main);
    EXPECT_EQ(jump.action, LogJump::Action::SameDocument);
    EXPECT_EQ(jump.line, std::nullopt);
    EXPECT_EQ(jumpFor(entryIn(main.toStdString()), folder, {}).action,
              LogJump::Action::OpenDocument); // untitled document in the editor

    // A class of the TeX installation, a file that is gone, one outside the compile's
    // folder, one that is no TeX file, none at all: nowhere to go.
    QFile::copy(log, root.path() + "/outside.tex");
    for (const char* file : {"/usr/share/texlive/texmf-dist/tex/latex/base/article.cls",
                             "./gone.tex", "../outside.tex", "./nested.log", ""})
        EXPECT_EQ(jumpFor(entryIn(file), folder, main).action, LogJump::Action::None) << file;
}

TEST_F(LogNavigation, StepsThroughTheErrorsAndStartsAgainOnANewLog) {
    ErrorSteps steps;
    EXPECT_EQ(placeOf(steps.previous(log)), "none");
    EXPECT_EQ(placeOf(steps.next(log)), "./nested/level2.tex:3");
    EXPECT_EQ(placeOf(steps.next(log)), "./nested/level1.tex:5");
    EXPECT_EQ(placeOf(steps.next(log)), "./nested.tex:6");
    EXPECT_EQ(placeOf(steps.next(log)), "none"); // the last one: it stays there
    EXPECT_EQ(placeOf(steps.previous(log)), "./nested/level1.tex:5");

    // A new compile wrote the LOG again (here: level2.tex is gone, so its error leads
    // nowhere and is passed over).
    QFile::remove(folder + "/nested/level2.tex");
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\n");
    file.close();
    EXPECT_EQ(placeOf(steps.next(log)), "./nested/level1.tex:5");
    EXPECT_EQ(placeOf(steps.previous(log)), "none");

    EXPECT_EQ(placeOf(steps.next(folder + "/none.log")), "none");
}

TEST(LogText, ShownAsUtf8OrCp866) {
    EXPECT_EQ(logTextForDisplay("\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0"),
              QStringLiteral("Ошибка"));
    EXPECT_EQ(logTextForDisplay("\x8E\xE8\xA8\xA1\xAA\xA0 \\foo"), QStringLiteral("Ошибка \\foo"));
}
