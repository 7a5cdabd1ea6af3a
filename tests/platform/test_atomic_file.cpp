#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "support/text.h"

using namespace platform;

namespace {
using support::readBytes;

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
    EXPECT_EQ(readBytes(path), "two\r\n");
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
    EXPECT_EQ(readBytes(path), "old");
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
    EXPECT_EQ(readBytes(path), "old contents\r\n");
    // No temporary file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// Every name of a file with hard links sees the new text; a write that fails half way puts
// the old text back, and nothing is left beside it either way.
TEST(AtomicFile, HardLinkedFilesAreWrittenInPlace) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/a.tex";
    const std::string other = dir.path().toStdString() + "/b.tex";
    writeFileAtomically(path, "old contents\r\n");
    ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
    writeFileAtomically(other, "new\r\n");
    EXPECT_EQ(readBytes(path), "new\r\n");
    EXPECT_EQ(readBytes(other), "new\r\n");
    const int result = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        return expectFailure(path, std::string(100000, 'x'), "Disk full");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readBytes(other), "new\r\n");
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_nlink, 2u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
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

// A file the user may not write stays as it was, though the folder would let it be
// replaced; the user's own writable file keeps its mode, and a new one gets the umask's.
TEST(AtomicFile, ReadOnlyFileIsRefusedAndModesAreKept) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string locked = folder + "/locked.tex", open = folder + "/open.tex";
    writeFileAtomically(locked, "old");
    writeFileAtomically(open, "old");
    chmod(folder.c_str(), 0777);
    chmod(locked.c_str(), 0444);
    chmod(open.c_str(), 0604);
    const int result = inChild([&] {
        if (geteuid() == 0 && (chown(locked.c_str(), 65534, 65534) != 0 ||
                               chown(open.c_str(), 65534, 65534) != 0 || setuid(65534) != 0))
            return 3;
        umask(027);
        writeFileAtomically(open, "new");
        writeFileAtomically(folder + "/fresh.tex", "new");
        return expectFailure(locked, "new", "File access denied");
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readBytes(locked), "old");
    EXPECT_EQ(readBytes(open), "new");
    struct stat st {};
    stat(locked.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    stat(open.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    stat((folder + "/fresh.tex").c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Writing someone else's file (as root may) leaves it theirs.
TEST(AtomicFile, OwnerAndGroupAreKept) {
    if (geteuid() != 0) GTEST_SKIP() << "only root may write another user's file";
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/a.tex";
    writeFileAtomically(path, "old");
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    writeFileAtomically(path, "new");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_uid, 65534u);
    EXPECT_EQ(st.st_gid, 65534u);
    EXPECT_EQ(readBytes(path), "new");
}

// a.tex -> sub/b -> ../real.tex (each relative to its link's folder): the real file is
// replaced and both links stay; a dangling link gets its target created.
TEST(AtomicFile, ChainsOfSymbolicLinksAreFollowedToTheEnd) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    mkdir((folder + "/sub").c_str(), 0755);
    writeFileAtomically(folder + "/real.tex", "old");
    ASSERT_EQ(symlink("../real.tex", (folder + "/sub/b").c_str()), 0);
    ASSERT_EQ(symlink("sub/b", (folder + "/a.tex").c_str()), 0);
    ASSERT_EQ(symlink("new.tex", (folder + "/dangling.tex").c_str()), 0);

    writeFileAtomically(folder + "/a.tex", "new");
    writeFileAtomically(folder + "/dangling.tex", "created");

    EXPECT_EQ(readBytes(folder + "/real.tex"), "new");
    EXPECT_EQ(readBytes(folder + "/new.tex"), "created");
    for (const char* link : {"/a.tex", "/sub/b", "/dangling.tex"}) {
        struct stat st {};
        lstat((folder + link).c_str(), &st);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
}

TEST(AtomicFile, JoinEndsEveryLineWithCrLf) {
    EXPECT_EQ(joinLinesCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(joinLinesCrLf({}), "");
}
