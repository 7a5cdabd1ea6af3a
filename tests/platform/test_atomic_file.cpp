#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
// Runs body in a child process and returns its exit code (so that limits and a lowered
// user id do not leak into the other tests).
int inChild(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

// 0 when the write failed with the expected message, 1 when it succeeded, 2 otherwise.
int expectFailure(const std::string& path, const std::string& bytes, const char* message) {
    try {
        writeFileAtomically(path, bytes);
        return 1;
    } catch (const InOutError& e) {
        return std::string(e.what()) == message ? 0 : 2;
    }
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
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/a.tex";
    writeFileAtomically(path, "old");
    chmod(dir.path().toLocal8Bit().constData(), 0555);
    int result = inChild([&] {
        // Root ignores folder permissions: write as an ordinary user.
        if (geteuid() == 0 && setuid(65534) != 0) return 3;
        return expectFailure(path, "new", "File access denied");
    });
    chmod(dir.path().toLocal8Bit().constData(), 0755);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(slurp(path), "old");
}

TEST(AtomicFile, FullDiskLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString() + "/a.tex";
    writeFileAtomically(path, "old contents\r\n");
    int result = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        return expectFailure(path, std::string(100000, 'x'), "Disk full");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(slurp(path), "old contents\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
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
