#include "platform/atomic_file.h"

#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace platform {
namespace {

// Writes everything or fails with the errno of the failure.
int writeAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        done += static_cast<size_t>(n);
    }
    return 0;
}

} // namespace

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    writeFileAtomically(fsPath(path), bytes);
}

void writeFileAtomically(const QString& path, std::string_view bytes) {
    // Replace the file a symbolic link points to, not the link.
    QString target = path;
    QFileInfo info(target);
    if (info.isSymLink()) target = info.symLinkTarget();
    QByteArray native = target.toLocal8Bit();

    struct stat existing {};
    bool exists = ::stat(native.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) throw InOutError(EISDIR);

    QByteArray tempName = native;
    int slash = tempName.lastIndexOf('/');
    tempName.insert(slash + 1, ".~");
    tempName.append(".XXXXXX");
    int fd = ::mkstemp(tempName.data());
    if (fd < 0) throw InOutError(errno);

    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error == 0) {
        mode_t mode = exists ? (existing.st_mode & 07777) : 0;
        if (!exists) {
            mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
        ::fchmod(fd, mode);
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempName.constData(), native.constData()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempName.constData());
        throw InOutError(error);
    }
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
