#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/errors.h"

using namespace platform;

namespace {
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

TEST(AtomicFile, WritesAndReplaces) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/a.tex";
    writeFileAtomically(path, "one\r\n");
    writeFileAtomically(path, "two\r\n");
    EXPECT_EQ(slurp(path), "two\r\n");
}

TEST(AtomicFile, ReadOnlyFolderLeavesTheOldFileIntact) {
    if (geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/a.tex";
    writeFileAtomically(path, "old");
    chmod(dir.path().toLocal8Bit().constData(), 0555);
    EXPECT_THROW(writeFileAtomically(path, "new"), InOutError);
    chmod(dir.path().toLocal8Bit().constData(), 0755);
    EXPECT_EQ(slurp(path), "old");
}

TEST(AtomicFile, AFolderInTheWayIsAccessDenied) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/sub";
    mkdir(path.c_str(), 0755);
    try {
        writeFileAtomically(path, "x");
        FAIL();
    } catch (const InOutError& e) {
        EXPECT_STREQ(e.what(), "File access denied");
    }
}

TEST(AtomicFile, JoinEndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLinesCrLf({}), "");
}
