#pragma once
// Stand-ins for the external programs of the processing commands, and what the tests
// need around them. A stand-in is a small shell script that records its arguments, its
// current folder and one environment variable into the folder named by KOLBAX_PROBE_DIR
// (one file per run, named after its pid), then exits at once; one whose name contains
// "hold" keeps running until that folder holds a file "release" or "release.<its pid>",
// like a DVI viewer whose window is still open.
#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/text.h"

namespace standin {

struct Record {
    std::string program; // $0
    std::string folder;  // the current folder
    std::string env;     // KOLBAX_PROBE_ENV
    std::vector<std::string> args;
};

// Writes a stand-in program at path (executable).
inline void install(const std::string& path) {
    support::writeBytes(path,
                        "#!/bin/sh\n"
                        "out=\"$KOLBAX_PROBE_DIR/run.$$\"\n"
                        "{ printf '%s\\n' \"$0\"; pwd -P; printf '%s\\n' \"$KOLBAX_PROBE_ENV\";\n"
                        "  for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > \"$out.tmp\"\n"
                        "mv \"$out.tmp\" \"$out\"\n"
                        "case \"$(basename \"$0\")\" in *hold*)\n"
                        "  while [ ! -e \"$KOLBAX_PROBE_DIR/release\" ] &&\n"
                        "        [ ! -e \"$KOLBAX_PROBE_DIR/release.$$\" ]; do sleep 0.01; done;;\n"
                        "esac\n"
                        "exit 0\n");
    ::chmod(path.c_str(), 0755);
}

inline Record parseRecord(const std::string& bytes) {
    Record r;
    std::istringstream in(bytes);
    std::getline(in, r.program);
    std::getline(in, r.folder);
    std::getline(in, r.env);
    std::string rest((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0;
    while (start < rest.size()) {
        size_t end = rest.find('\0', start);
        if (end == std::string::npos) end = rest.size();
        r.args.push_back(rest.substr(start, end - start));
        start = end + 1;
    }
    return r;
}

// The finished records of the runs so far, by file name (in no particular order).
inline std::vector<std::pair<std::string, Record>> namedRecords(const std::string& probeDir) {
    QDir dir(QString::fromStdString(probeDir));
    std::vector<std::pair<std::string, Record>> result;
    for (const QString& name : dir.entryList({QStringLiteral("run.*")}, QDir::Files)) {
        if (name.endsWith(QLatin1String(".tmp"))) continue;
        result.emplace_back(name.toStdString(),
                            parseRecord(support::readBytes(dir.filePath(name).toStdString())));
    }
    return result;
}

inline std::vector<Record> records(const std::string& probeDir) {
    std::vector<Record> result;
    for (auto& entry : namedRecords(probeDir))
        result.push_back(std::move(entry.second));
    return result;
}

// Hands out the runs one at a time, as they record themselves: start one program, then
// take its record with next().
class RunLog {
  public:
    explicit RunLog(std::string probeDir) : dir_(std::move(probeDir)) {}
    // The record of a run not handed out before; waits up to 10 s for it (an empty record
    // whose program is "(none)" when no run came).
    Record next() {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (true) {
            for (auto& [name, record] : namedRecords(dir_))
                if (seen_.insert(name).second) return record;
            if (std::chrono::steady_clock::now() > deadline) return Record{"(none)", {}, {}, {}};
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

  private:
    std::string dir_;
    std::set<std::string> seen_;
};

// Waits up to 10 s until at least count runs have recorded themselves.
inline std::vector<Record> waitForRecords(const std::string& probeDir, size_t count) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<Record> result = records(probeDir);
    while (result.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        result = records(probeDir);
    }
    return result;
}

// Lets one holding stand-in end and waits until it has ended (without reaping it).
inline void release(const std::string& probeDir, pid_t pid) {
    support::writeBytes(probeDir + "/release." + std::to_string(pid), "");
    siginfo_t info{};
    ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
}

// The children of this process that are zombies (ended, not reaped).
inline std::vector<int> zombieChildren() {
    std::vector<int> zombies;
    QDir proc(QStringLiteral("/proc"));
    for (const QString& entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        int pid = entry.toInt(&numeric);
        if (!numeric) continue;
        std::string stat = support::readBytes("/proc/" + entry.toStdString() + "/stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 1));
        std::string state;
        int parent = 0;
        fields >> state >> parent;
        if (parent == ::getpid() && state == "Z") zombies.push_back(pid);
    }
    return zombies;
}

// The current folder changed for the life of the object.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::string& folder) {
        char buffer[4096];
        if (::getcwd(buffer, sizeof buffer)) saved_ = buffer;
        if (::chdir(folder.c_str()) != 0) std::abort();
    }
    ~CurrentFolder() {
        if (!saved_.empty() && ::chdir(saved_.c_str()) != 0) std::abort();
    }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    std::string saved_;
};

} // namespace standin
