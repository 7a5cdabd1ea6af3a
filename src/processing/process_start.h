#pragma once
// Starting the external programs of the processing commands, and keeping track of them.
//
// The configured command is split into words (command_line.h) and the file the command acts
// on follows as one more word. The first word names the program, which is looked up in the
// editor's program folder, then in the absolute folders of PATH; never in the current
// (document) folder, so a program lying beside a document is not run in place of the
// configured one (a name with a "/" is taken as it is). The program is started with
// posix_spawn in the document's folder with the editor's environment; nothing waits for it.
//
// Every started program is reaped by its own pid, never by waitpid(-1): as soon as it ends
// when an event loop runs (its pidfd is watched), and otherwise at the next start or
// poll. So the editor leaves no zombie processes behind.
#include <QPointer>
#include <QSocketNotifier>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <sys/types.h>

namespace processing {

// The path of the program a command names (file-system bytes), or an errno: ENOENT when
// no such file exists anywhere, EACCES when one exists but cannot be executed. Entries of
// PATH that are not absolute (an empty one means the current folder) are passed over.
struct ProgramLookup {
    std::string path;
    int error = 0;
};
ProgramLookup findProgram(const std::string& name, const std::string& programFolder);

struct StartResult {
    pid_t pid = 0; // the started program, 0 on failure
    int error = 0; // the errno of the failed start, 0 on success
};

class ChildProcesses {
  public:
    // The one registry of the editor's process.
    static ChildProcesses& instance();

    ChildProcesses() = default;
    ChildProcesses(const ChildProcesses&) = delete;
    ChildProcesses& operator=(const ChildProcesses&) = delete;
    ~ChildProcesses();

    // Starts the program of a configured command (CP1251; the words go to the program in
    // the file system's encoding), with argument as one more word exactly as it is (none
    // when null), in folder (the editor's current folder when empty); a folder that cannot
    // be entered fails the start with its errno. programFolder is CP1251 too.
    // ownGroup: the program leads a process group of its own, so that stop() reaches the
    // programs it starts in turn (latexmk's engine runs).
    StartResult start(const std::string& command, const std::string& programFolder,
                      const QString& argument = {}, const QString& folder = {},
                      bool ownGroup = false);

    // Asks a running program started with ownGroup, and its group, to end (SIGTERM). False
    // for a pid this registry does not know.
    bool stop(pid_t pid);

    // True while a program started here has not ended (waitpid(pid, WNOHANG)); an ended
    // one is reaped. False for a pid this registry does not know (or has reaped).
    bool running(pid_t pid);

    // Runs ended once the started program pid has ended and been reaped (from the event
    // loop, or from whatever reaps it first). False, and nothing kept, for a pid this
    // registry does not know.
    bool onEnded(pid_t pid, std::function<void()> ended);
    // The same with the program's wait status (waitpid), -1 when it could not be had.
    bool onExit(pid_t pid, std::function<void(int status)> ended);

    // Reaps every started program that has ended.
    void reapEnded();

    // How many started programs have not been reaped yet.
    size_t unreaped() const { return children_.size(); }

  private:
    struct Child {
        int pidfd = -1;
        QPointer<QSocketNotifier> notifier; // owned by the application object
        std::function<void(int status)> ended;
        bool ownGroup = false;
    };
    // Tries to reap one child; true when it has ended (and is forgotten).
    bool reap(pid_t pid);
    void watch(pid_t pid, Child& child);
    void forget(std::map<pid_t, Child>::iterator it);

    std::map<pid_t, Child> children_;
};

} // namespace processing
