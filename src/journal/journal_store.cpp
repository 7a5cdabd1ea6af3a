#include "journal/journal_store.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace journal {
namespace {

constexpr std::string_view kJournalSuffix = ".journal";
constexpr std::string_view kLockSuffix = ".lock";
// Header lines and a long escaped path on top of the longest text.
constexpr off_t kMaxJournalFile = static_cast<off_t>(kMaxJournalText) + (1 << 20);

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLowerHex(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f');
}
bool isTempLetter(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of the "<pid>-<16 hex digits>" a name starts with, or 0.
size_t sessionLength(std::string_view name) {
    size_t i = 0;
    while (i < name.size() && i < 10 && isDigit(name[i]))
        ++i;
    if (i == 0 || name[0] == '0' || i >= name.size() || name[i] != '-') return 0;
    size_t end = i + 1 + 16;
    if (name.size() < end) return 0;
    for (size_t k = i + 1; k < end; ++k)
        if (!isLowerHex(name[k])) return 0;
    return end;
}

enum class FileKind { Journal, Lock, Temp, Other };

struct FileName {
    FileKind kind = FileKind::Other;
    std::string session;
};

FileName classifyPlain(std::string_view name) {
    size_t length = sessionLength(name);
    if (length == 0) return {};
    std::string session(name.substr(0, length));
    std::string_view rest = name.substr(length);
    if (rest == kLockSuffix) return {FileKind::Lock, session};
    if (rest.size() <= 1 + kJournalSuffix.size() || rest[0] != '-' ||
        !rest.ends_with(kJournalSuffix))
        return {};
    std::string_view number = rest.substr(1, rest.size() - 1 - kJournalSuffix.size());
    if (number.size() > 9 || number[0] == '0' ||
        !std::all_of(number.begin(), number.end(), isDigit))
        return {};
    return {FileKind::Journal, session};
}

// Journals and lock files by their names; ".<journal or lock name>.XXXXXX" are the
// temporary files they are made from.
FileName classify(std::string_view name) {
    if (name.empty() || name[0] != '.') return classifyPlain(name);
    constexpr size_t kSuffix = 7; // ".XXXXXX" of mkstemp
    if (name.size() < 1 + kSuffix || name[name.size() - kSuffix] != '.' ||
        !std::all_of(name.end() - 6, name.end(), isTempLetter))
        return {};
    FileName inner = classifyPlain(name.substr(1, name.size() - 1 - kSuffix));
    if (inner.kind == FileKind::Other) return {};
    return {FileKind::Temp, inner.session};
}

std::string randomToken() {
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, GRND_NONBLOCK) != sizeof value) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        value = std::uint64_t(now.tv_nsec) << 32 ^ std::uint64_t(now.tv_sec) ^
                std::uint64_t(::getpid());
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes the folder and any missing parent with mode 0700.
int makeFolders(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') return ENOENT;
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        std::string part = folder.substr(0, slash);
        if (!part.empty() && part.back() != '/' && !isFolder(part)) {
            if (::mkdir(part.c_str(), 0700) == 0)
                ::chmod(part.c_str(), 0700); // the umask may have taken bits the owner needs
            else if (errno != EEXIST)
                return errno;
        }
        if (slash == std::string::npos) break;
    }
    return isFolder(folder) ? 0 : ENOTDIR;
}

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// A new file from a "...XXXXXX" name, close-on-exec, readable and writable by the owner
// whatever the umask (a lock file other editors cannot open would never be judged ended).
int makeTemporary(std::string& name) {
    int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) ::fchmod(fd, 0600);
    return fd;
}

int syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return error;
}

// The bytes of a regular file of journal size; nothing for anything else (a link, a pipe, a
// folder, a huge file) so that a foreign file can neither block nor exhaust the reader.
std::optional<std::string> readJournalFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<std::string> bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxJournalFile) {
        std::string data(static_cast<size_t>(st.st_size), '\0');
        size_t done = 0;
        while (done < data.size()) {
            ssize_t n = ::read(fd, data.data() + done, data.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        data.resize(done);
        bytes = std::move(data);
    }
    ::close(fd);
    return bytes;
}

struct SessionFiles {
    std::vector<std::string> journals;
    std::vector<std::string> temps;
};

// Whether another session has ended: its lock file is gone, or this process can lock it.
// When it can, lockFd holds the lock until the caller closes it. A lock this process cannot
// judge (unreadable, not a file) counts as a live session's: never touch what may be in use.
bool sessionEnded(const std::string& folder, const std::string& session, int& lockFd) {
    std::string path = folder + "/" + session + std::string(kLockSuffix);
    lockFd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (lockFd < 0) return errno == ENOENT;
    struct stat st {};
    if (::fstat(lockFd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(lockFd, LOCK_EX | LOCK_NB) == 0)
        return true;
    ::close(lockFd);
    lockFd = -1;
    return false;
}

std::map<std::string, SessionFiles> sessionsIn(const std::string& folder) {
    std::map<std::string, SessionFiles> sessions;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return sessions;
    while (dirent* entry = ::readdir(dir)) {
        FileName name = classify(entry->d_name);
        if (name.kind == FileKind::Journal)
            sessions[name.session].journals.emplace_back(entry->d_name);
        else if (name.kind == FileKind::Lock)
            sessions[name.session];
        else if (name.kind == FileKind::Temp)
            sessions[name.session].temps.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return sessions;
}

} // namespace

std::string defaultJournalFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/kolbax";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    // No home at all: no folder, and the first write reports it.
    return home && home[0] == '/' ? std::string(home) + "/.local/state/kolbax" : std::string();
}

bool documentNewerThanJournal(const JournalRecord& record) {
    if (record.path.isEmpty()) return false;
    QByteArray native = QFile::encodeName(record.path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) return false;
    std::int64_t modifiedMs = std::int64_t(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return modifiedMs > record.writtenAtMs;
}

JournalStore::JournalStore(std::string folder) : folder_(std::move(folder)) {}

JournalStore::~JournalStore() {
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::string JournalStore::journalName(JournalId id) const {
    return session_ + "-" + std::to_string(id.number) + std::string(kJournalSuffix);
}

std::string JournalStore::filePath(JournalId id) const {
    std::lock_guard lock(mutex_);
    return session_.empty() ? std::string() : folder_ + "/" + journalName(id);
}

int JournalStore::startSession() {
    if (!session_.empty()) return 0;
    if (int error = makeFolders(folder_)) return error;
    std::string session = std::to_string(::getpid()) + "-" + randomToken();
    std::string lockPath = folder_ + "/" + session + std::string(kLockSuffix);
    std::string temp = folder_ + "/." + session + std::string(kLockSuffix) + ".XXXXXX";
    int fd = makeTemporary(temp);
    if (fd < 0) return errno;
    // Locked before it has its name: no other editor ever sees this session unlocked.
    int error = ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : errno;
    if (error == 0) error = writeAll(fd, std::to_string(::getpid()) + "\n");
    if (error == 0 && ::rename(temp.c_str(), lockPath.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        ::close(fd);
        return error;
    }
    lockFd_ = fd;
    session_ = session;
    return 0;
}

std::vector<OrphanJournal> JournalStore::listOrphans() {
    std::string own;
    {
        std::lock_guard lock(mutex_);
        own = session_;
    }
    std::vector<OrphanJournal> orphans;
    for (auto& [session, files] : sessionsIn(folder_)) {
        if (session == own) continue;
        int lockFd = -1;
        if (!sessionEnded(folder_, session, lockFd)) continue;
        for (const std::string& name : files.journals) {
            std::optional<std::string> bytes = readJournalFile(folder_ + "/" + name);
            if (!bytes) continue;
            if (std::optional<JournalRecord> record = parseJournal(*bytes))
                orphans.push_back({name, std::move(*record)});
        }
        // Leftovers of the ended session, cleared while its lock is held here so that no
        // other editor clears the same ones at the same time.
        if (lockFd >= 0) {
            for (const std::string& temp : files.temps)
                ::unlink((folder_ + "/" + temp).c_str());
            if (files.journals.empty())
                ::unlink((folder_ + "/" + session + std::string(kLockSuffix)).c_str());
            ::close(lockFd);
        }
    }
    std::sort(orphans.begin(), orphans.end(), [](const OrphanJournal& a, const OrphanJournal& b) {
        if (a.record.writtenAtMs != b.record.writtenAtMs)
            return a.record.writtenAtMs > b.record.writtenAtMs;
        return a.fileName < b.fileName;
    });
    return orphans;
}

int JournalStore::takeOver(const OrphanJournal& orphan, JournalId& id) {
    std::lock_guard lock(mutex_);
    FileName name = classify(orphan.fileName);
    if (name.kind != FileKind::Journal || orphan.fileName[0] == '.') return EINVAL;
    if (int error = startSession()) return error;
    if (name.session == session_) return EINVAL;
    int lockFd = -1;
    if (!sessionEnded(folder_, name.session, lockFd)) return EBUSY;
    JournalId taken{nextNumber_++};
    std::string from = folder_ + "/" + orphan.fileName;
    std::string to = folder_ + "/" + journalName(taken);
    int error = ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
    if (lockFd >= 0) ::close(lockFd);
    if (error != 0) return error;
    takenFrom_[taken.number] = orphan.fileName;
    id = taken;
    return 0;
}

int JournalStore::release(JournalId id) {
    std::lock_guard lock(mutex_);
    auto taken = takenFrom_.find(id.number);
    if (taken == takenFrom_.end() || session_.empty()) return EINVAL;
    std::string from = folder_ + "/" + journalName(id);
    std::string to = folder_ + "/" + taken->second;
    if (::rename(from.c_str(), to.c_str()) != 0) return errno;
    takenFrom_.erase(taken);
    durable_.erase(id.number);
    return 0;
}

JournalId JournalStore::newId() {
    std::lock_guard lock(mutex_);
    return JournalId{nextNumber_++};
}

int JournalStore::write(JournalId id, const JournalRecord& record, bool sync) {
    if (record.text.size() > kMaxJournalText) return EFBIG;
    std::string target;
    bool firstWrite = false;
    {
        std::lock_guard lock(mutex_);
        if (int error = startSession()) return error;
        target = folder_ + "/" + journalName(id);
        firstWrite = !durable_.contains(id.number);
    }
    std::string temp = folder_ + "/." + journalName(id) + ".XXXXXX";
    int fd = makeTemporary(temp);
    if (fd < 0) return errno;
    int error = writeAll(fd, serializeJournal(record));
    if (error == 0 && sync && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return error;
    }
    // A journal's name must survive a power cut too; later writes only replace its contents.
    if (sync && firstWrite && syncFolder(folder_) == 0) {
        std::lock_guard lock(mutex_);
        durable_.insert(id.number);
    }
    return 0;
}

int JournalStore::remove(JournalId id) {
    std::lock_guard lock(mutex_);
    takenFrom_.erase(id.number);
    durable_.erase(id.number);
    if (session_.empty()) return 0;
    std::string path = folder_ + "/" + journalName(id);
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

int JournalStore::endSession() {
    std::lock_guard lock(mutex_);
    if (session_.empty()) return 0;
    int error = 0;
    auto removeFile = [&](const std::string& name) {
        if (::unlink((folder_ + "/" + name).c_str()) != 0 && errno != ENOENT && error == 0)
            error = errno;
    };
    SessionFiles files = sessionsIn(folder_)[session_];
    for (const std::string& name : files.journals)
        removeFile(name);
    for (const std::string& name : files.temps)
        removeFile(name);
    // The lock goes last: until then no other editor takes this session for ended.
    if (error == 0) {
        removeFile(session_ + std::string(kLockSuffix));
        ::close(lockFd_);
        lockFd_ = -1;
        session_.clear();
        takenFrom_.clear();
        durable_.clear();
    }
    return error;
}

} // namespace journal
