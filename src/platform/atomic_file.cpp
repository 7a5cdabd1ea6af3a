#include "platform/atomic_file.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace platform {
namespace {

// Links followed before giving up, as the kernel does for one path.
constexpr int kMaxLinks = 40;
// The temporary file's name repeats at most this much of the target's, so that it stays
// within the longest name a folder allows.
constexpr size_t kNameInTemporary = 200;

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path finally names, following symbolic links one at a time (a relative
// target is read against the link's own folder). found tells whether it exists, and
// status then holds what it is.
std::string finalTarget(std::string path, bool& found, struct stat& status) {
    for (int links = 0;; ++links) {
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno != ENOENT) throw InOutError(errno);
            found = false;
            return path;
        }
        if (!S_ISLNK(status.st_mode)) {
            found = true;
            return path;
        }
        if (links == kMaxLinks) throw InOutError(ELOOP);
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0) throw InOutError(errno);
        if (static_cast<size_t>(length) == sizeof target) throw InOutError(ENAMETOOLONG);
        const std::string next(target, static_cast<size_t>(length));
        path = next.front() == '/' ? next : folderOf(path) + "/" + next;
    }
}

// Creates a new file beside the target, readable and writable by the owner alone while it
// stands in for an existing file; a file that will be new is created with 0666, which the
// umask and the folder's default permissions narrow as for any new file.
int createTemporary(const std::string& target, bool replacing, std::string& name) {
    const std::string prefix =
        folderOf(target) + "/.~" + nameOf(target).substr(0, kNameInTemporary) + ".";
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 8; ++i)
            name += kLetters[QRandomGenerator::system()->bounded(static_cast<int>(sizeof kLetters) -
                                                                 1)];
        const int fd =
            ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Writes everything or fails with the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Gives the new file the old one's owner, group and mode. Only the owner's own files (or
// root) may be given away, and only to a group the user is in: EPERM keeps what the
// process may keep. A file system without modes or owners (FAT) refuses the same way.
// The mode is set last, since a change of owner clears the set-id bits.
int keepAttributes(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM) return errno;
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM) return errno;
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0 && errno != EPERM) return errno;
    return 0;
}

// Flushes the folder's entries, so that the rename itself reaches the disk. A folder that
// may be written but not read cannot be opened for it, and some file systems cannot flush
// a folder (EINVAL): the rename has been made either way.
void flushFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EACCES) return;
        throw InOutError(errno);
    }
    const int error = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    if (error != 0) throw InOutError(error);
}

// Reads a whole file from an open descriptor.
int readAll(int fd, std::string& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

// Writes bytes over an open file from its start and cuts it to their length, flushed.
int overwrite(int fd, std::string_view bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0) return errno;
    int error = writeAll(fd, bytes);
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    return error;
}

// A file with more than one name (hard links) is written in place, so that every name sees
// the new text; replacing it would leave the other names with the old one. Its old text is
// first copied, flushed, beside it (".~name.XXXXXXXX"), so that a crash in the middle of the
// write leaves it recoverable there; a write that fails puts the old text back. The copy goes
// once the new text is on the disk.
void writeInPlace(const std::string& target, std::string_view bytes) {
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) throw InOutError(errno);
    std::string old;
    int error = readAll(fd, old);
    std::string copy;
    int copyFd = -1;
    if (error == 0) {
        copyFd = createTemporary(target, true, copy);
        if (copyFd < 0) error = errno;
    }
    if (error == 0) {
        error = writeAll(copyFd, old);
        if (error == 0 && ::fsync(copyFd) != 0) error = errno;
        ::close(copyFd);
        if (error == 0) flushFolder(folderOf(target));
    }
    if (error != 0) {
        ::close(fd);
        if (copyFd >= 0) ::unlink(copy.c_str());
        throw InOutError(error);
    }
    error = overwrite(fd, bytes);
    // What failed half way is undone from the text read; the copy stays only if that fails
    // too.
    const bool restored = error == 0 || overwrite(fd, old) == 0;
    ::close(fd);
    if (restored) ::unlink(copy.c_str());
    if (error != 0) throw InOutError(error);
}

} // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    writeFileAtomically(fsPath(path), bytes);
}

void writeFileAtomically(const QString& path, std::string_view bytes) {
    writeFileAtomicallyNative(QFile::encodeName(path).toStdString(), bytes);
}

void writeFileAtomicallyNative(const std::string& nativePath, std::string_view bytes) {
    bool exists = false;
    struct stat existing {};
    const std::string target = finalTarget(nativePath, exists, existing);
    if (exists) {
        if (S_ISDIR(existing.st_mode)) throw InOutError(EISDIR);
        // Renaming over a file needs only the folder's permission; the file's own says
        // whether the user may change it.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) throw InOutError(errno);
    }

    if (exists && S_ISREG(existing.st_mode) && existing.st_nlink > 1) {
        writeInPlace(target, bytes);
        return;
    }

    std::string temporary;
    const int fd = createTemporary(target, exists, temporary);
    if (fd < 0) throw InOutError(errno);
    int error = writeAll(fd, bytes);
    if (error == 0 && exists) error = keepAttributes(fd, existing);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    // Linux releases the descriptor even when close reports EINTR, and the data is
    // already flushed.
    if (::close(fd) != 0 && errno != EINTR && error == 0) error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw InOutError(error);
    }
    flushFolder(folderOf(target));
}

std::string joinLinesCrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace platform
