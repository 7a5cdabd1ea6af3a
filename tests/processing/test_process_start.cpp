#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <sys/wait.h>

#include "processing/process_start.h"
#include "processing/stand_in.h"

using processing::ChildProcesses;
using processing::findProgram;

namespace {

class ProcessStart : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        programs = root.path().toStdString() + "/programs";
        docs = root.path().toStdString() + "/docs";
        probe = root.path().toStdString() + "/probe";
        ::mkdir(programs.c_str(), 0755);
        ::mkdir(docs.c_str(), 0755);
        ::mkdir(probe.c_str(), 0755);
        ::setenv("KOLBAX_PROBE_DIR", probe.c_str(), 1);
        ::setenv("KOLBAX_PROBE_ENV", "from the editor", 1);
        here = std::make_unique<standin::CurrentFolder>(docs);
    }
    void TearDown() override {
        support::writeBytes(probe + "/release", "");
        here.reset();
    }

    // Waits until every child of the registry has ended and has been reaped.
    void reapAll(ChildProcesses& children) {
        for (int i = 0; i < 2000 && children.unreaped() > 0; ++i) {
            children.reapEnded();
            if (children.unreaped() > 0) ::usleep(5000);
        }
    }

    QTemporaryDir root;
    std::string programs, docs, probe;
    std::unique_ptr<standin::CurrentFolder> here;
};

} // namespace

TEST_F(ProcessStart, ProgramFolderComesFirstThenPathButNeverTheCurrentFolder) {
    std::string pathDir = root.path().toStdString() + "/bin";
    ::mkdir(pathDir.c_str(), 0755);
    ::mkdir((docs + "/rel").c_str(), 0755);
    std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    // An empty entry, "." and a relative one all name the current (document) folder.
    ::setenv("PATH", ("/nonexistent::.:rel:" + pathDir).c_str(), 1);
    standin::install(pathDir + "/tool");
    standin::install(docs + "/tool");
    standin::install(docs + "/rel/tool");
    standin::install(programs + "/tool");

    EXPECT_EQ(findProgram("tool", programs).path, programs + "/tool");
    ::unlink((programs + "/tool").c_str());
    EXPECT_EQ(findProgram("tool", programs).path, pathDir + "/tool");
    ::unlink((pathDir + "/tool").c_str());
    EXPECT_EQ(findProgram("tool", programs).error, ENOENT);
    standin::install(pathDir + "/tool");

    // A file that is there but cannot run is passed over; alone it gives EACCES.
    support::writeBytes(programs + "/tool", "data");
    EXPECT_EQ(findProgram("tool", programs).path, pathDir + "/tool");
    ::unlink((pathDir + "/tool").c_str());
    EXPECT_EQ(findProgram("tool", programs).error, EACCES);
    EXPECT_EQ(findProgram("nothing-of-that-name", programs).error, ENOENT);
    // A name with a folder is taken as it is.
    EXPECT_EQ(findProgram("sub/tool", programs).path, "sub/tool");
    ::setenv("PATH", savedPath.c_str(), 1);
}

TEST_F(ProcessStart, ProgramGetsItsWordsTheArgumentWholeItsFolderAndEnvironment) {
    standin::install(programs + "/compiler");
    const std::string cafe = root.path().toStdString() + "/café";
    ::mkdir(cafe.c_str(), 0755);
    ChildProcesses children;
    // A CP1251 word of the command ("тезис") reaches the program as the file system names
    // it; the argument comes whole, whatever it holds.
    auto started = children.start("compiler -x \"two words\" \xF2\xE5\xE7\xE8\xF1", programs,
                                  QStringLiteral("my \"α\" -x.tex"), QString::fromStdString(cafe));
    ASSERT_EQ(started.error, 0);
    EXPECT_GT(started.pid, 0);
    auto runs = standin::waitForRecords(probe, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args,
              (std::vector<std::string>{"-x", "two words", "тезис", "my \"α\" -x.tex"}));
    EXPECT_EQ(runs[0].program, programs + "/compiler");
    char real[4096];
    ASSERT_NE(::realpath(cafe.c_str(), real), nullptr);
    EXPECT_EQ(runs[0].folder, real);
    EXPECT_EQ(runs[0].env, "from the editor");
    reapAll(children);
}

TEST_F(ProcessStart, NoShellSeesTheLineAndNothingCutsIt) {
    standin::install(programs + "/compiler");
    ChildProcesses children;
    std::string hostile =
        "a;touch${IFS}pwned1|touch${IFS}pwned2`touch${IFS}pwned3`$(touch${IFS}pwned4)&.tex";
    std::string longArg(400, 'L');
    ASSERT_EQ(children.start("compiler " + longArg + " " + hostile, programs).error, 0);
    auto runs = standin::waitForRecords(probe, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].args, (std::vector<std::string>{longArg, hostile}));
    reapAll(children);
    for (const char* name : {"pwned1", "pwned2", "pwned3", "pwned4"})
        EXPECT_NE(::access((docs + "/" + name).c_str(), F_OK), 0) << name;
}

TEST_F(ProcessStart, FailedStartsGiveTheErrno) {
    ChildProcesses children;
    EXPECT_EQ(children.start("no-such-program x.tex", programs).error, ENOENT);
    // The empty command: the file is never taken for the program.
    support::writeBytes(docs + "/thesis.tex", "\\relax\n");
    ::chmod((docs + "/thesis.tex").c_str(), 0755);
    EXPECT_EQ(children.start("   ", programs, QStringLiteral("thesis.tex")).error, ENOENT);
    // Executable, but neither a program nor a script: no shell steps in.
    EXPECT_EQ(children.start(docs + "/thesis.tex", programs).error, ENOEXEC);
    // A folder to start in that is gone.
    standin::install(programs + "/compiler");
    EXPECT_EQ(children
                  .start("compiler", programs, QStringLiteral("a.tex"),
                         QString::fromStdString(docs + "/gone"))
                  .error,
              ENOENT);
    EXPECT_EQ(children.unreaped(), 0u);
}

TEST_F(ProcessStart, RunningFollowsTheProgramAndReapsIt) {
    standin::install(programs + "/viewer-hold");
    ChildProcesses children;
    auto started = children.start("viewer-hold a.dvi", programs);
    ASSERT_EQ(started.error, 0);
    standin::waitForRecords(probe, 1);
    EXPECT_TRUE(children.running(started.pid));
    EXPECT_TRUE(children.running(started.pid));

    support::writeBytes(probe + "/release", "");
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, static_cast<id_t>(started.pid), &info, WEXITED | WNOWAIT), 0);
    EXPECT_FALSE(children.running(started.pid));
    EXPECT_EQ(children.unreaped(), 0u);
    // Reaped: no longer ours, whatever later happens to that number.
    EXPECT_FALSE(children.running(started.pid));
    EXPECT_FALSE(children.running(::getpid()));
    EXPECT_FALSE(children.running(0));
}

TEST_F(ProcessStart, HundredShortProgramsLeaveNoZombie) {
    standin::install(programs + "/compiler");
    ChildProcesses children;
    std::vector<pid_t> pids;
    for (int i = 0; i < 100; ++i) {
        auto started = children.start("compiler t" + std::to_string(i) + ".tex", programs);
        ASSERT_EQ(started.error, 0);
        pids.push_back(started.pid);
    }
    // Each start reaps those that have ended before it.
    EXPECT_LT(children.unreaped(), 100u);
    standin::waitForRecords(probe, 100);
    reapAll(children);
    EXPECT_EQ(children.unreaped(), 0u);
    EXPECT_TRUE(standin::zombieChildren().empty());
    for (pid_t pid : pids)
        EXPECT_NE(::kill(pid, 0), 0) << pid;
}
