#include "processing/process_start.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/codepage.h"
#include "processing/command_line.h"

extern char** environ;

namespace processing {
namespace {

// A CP1251 text in the form the file system and the started programs take.
std::string native(const std::string& cp1251) {
    return QFile::encodeName(platform::fsPath(cp1251)).toStdString();
}

// 0 when path is an executable regular file, else the errno that starting it would give
// (ENOENT when there is nothing there).
int executableState(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return ENOENT;
    if (!S_ISREG(info.st_mode)) return EACCES;
    return ::access(path.c_str(), X_OK) == 0 ? 0 : EACCES;
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

} // namespace

ProgramLookup findProgram(const std::string& name, const std::string& programFolder) {
    if (name.empty()) return {{}, ENOENT};
    if (name.find('/') != std::string::npos) return {name, 0};

    std::vector<std::string> folders;
    if (!programFolder.empty()) folders.push_back(programFolder);
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        size_t start = 0;
        while (true) {
            size_t end = list.find(':', start);
            std::string folder = list.substr(start, end - start);
            // "", "." or "bin" would be looked up in the document's folder.
            if (folder.starts_with('/')) folders.push_back(folder);
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }

    int error = ENOENT;
    for (const std::string& folder : folders) {
        std::string candidate = joinPath(folder, name);
        int state = executableState(candidate);
        if (state == 0) return {candidate, 0};
        if (state != ENOENT) error = state;
    }
    return {{}, error};
}

ChildProcesses& ChildProcesses::instance() {
    static ChildProcesses registry;
    return registry;
}

ChildProcesses::~ChildProcesses() {
    // Whoever waited for an end has gone before the registry.
    for (auto& entry : children_)
        entry.second.ended = nullptr;
    reapEnded();
    for (auto& [pid, child] : children_) {
        delete child.notifier.data();
        if (child.pidfd >= 0) ::close(child.pidfd);
    }
}

StartResult ChildProcesses::start(const std::string& command, const std::string& programFolder,
                                  const QString& argument, const QString& folder, bool ownGroup) {
    reapEnded();

    std::vector<std::string> words = splitCommandLine(command);
    if (words.empty()) return {0, ENOENT};
    for (std::string& word : words)
        word = native(word);
    ProgramLookup program = findProgram(words.front(), native(programFolder));
    if (program.error != 0) return {0, program.error};
    if (!argument.isNull()) words.push_back(QFile::encodeName(argument).toStdString());

    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The program starts with every signal at its default and none blocked, whatever the
    // editor's threads have set up.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (ownGroup) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);

    // The folder is entered in the child, so the editor's own current folder never matters.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray nativeFolder = QFile::encodeName(folder);
    int error = 0;
    if (!folder.isEmpty())
        error = posix_spawn_file_actions_addchdir_np(&actions, nativeFolder.constData());

    pid_t pid = 0;
    if (error == 0)
        error =
            ::posix_spawn(&pid, program.path.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) return {0, error};

    Child& child = children_[pid];
    child.ownGroup = ownGroup;
    watch(pid, child);
    return {pid, 0};
}

void ChildProcesses::watch(pid_t pid, Child& child) {
    child.pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    if (child.pidfd < 0) return; // reaped at the next start or poll instead
    // With an event loop in this thread, the program is reaped as soon as it ends.
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || app->thread() != QThread::currentThread()) return;
    child.notifier = new QSocketNotifier(child.pidfd, QSocketNotifier::Read, app);
    QObject::connect(child.notifier, &QSocketNotifier::activated, child.notifier,
                     [this, pid] { reap(pid); });
}

void ChildProcesses::forget(std::map<pid_t, Child>::iterator it) {
    if (it->second.notifier) {
        it->second.notifier->setEnabled(false);
        it->second.notifier->deleteLater();
    }
    if (it->second.pidfd >= 0) ::close(it->second.pidfd);
    children_.erase(it);
}

bool ChildProcesses::reap(pid_t pid) {
    auto it = children_.find(pid);
    if (it == children_.end()) return true;
    while (true) {
        int status = 0;
        pid_t result = ::waitpid(pid, &status, WNOHANG);
        if (result == 0) return false;
        if (result < 0 && errno == EINTR) continue;
        // Ended and reaped now, or no longer a child of ours (ECHILD): forget it.
        std::function<void(int)> ended = std::move(it->second.ended);
        forget(it);
        if (ended) ended(result == pid ? status : -1);
        return true;
    }
}

bool ChildProcesses::onEnded(pid_t pid, std::function<void()> ended) {
    return onExit(pid, [ended = std::move(ended)](int) {
        if (ended) ended();
    });
}

bool ChildProcesses::onExit(pid_t pid, std::function<void(int status)> ended) {
    auto it = children_.find(pid);
    if (it == children_.end()) return false;
    it->second.ended = std::move(ended);
    return true;
}

bool ChildProcesses::stop(pid_t pid) {
    auto it = children_.find(pid);
    if (it == children_.end()) return false;
    // The group is the program's own only when it was started so; never signal another.
    return ::kill(it->second.ownGroup ? -pid : pid, SIGTERM) == 0;
}

bool ChildProcesses::running(pid_t pid) {
    if (pid <= 0) return false;
    return !reap(pid);
}

void ChildProcesses::reapEnded() {
    std::vector<pid_t> pids;
    pids.reserve(children_.size());
    for (const auto& entry : children_)
        pids.push_back(entry.first);
    for (pid_t pid : pids)
        reap(pid);
}

} // namespace processing
