#include "pdf/instance_channel.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pdf {
namespace {

QString folderProblem(const QString& folder, bool ownOnly) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(folder);
    if (::lstat(native.constData(), &info) != 0)
        return QStringLiteral("папка «%1» недоступна: %2")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
        return QStringLiteral("папка «%1» принадлежит другому пользователю или не папка — "
                              "не используется")
            .arg(folder);
    const mode_t forbidden = ownOnly ? 077 : 022;
    if ((info.st_mode & forbidden) != 0)
        return QStringLiteral("в папку «%1» могут писать другие — не используется").arg(folder);
    return {};
}

// The display the editor shows on, as a file-name part.
QString displayName() {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    QString name;
    for (QChar c : display.left(64))
        name += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('_');
    return name;
}

struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(left.count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

} // namespace

ChannelPlace channelPlace() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QDir::isAbsolutePath(runtime))
        return {{}, QStringLiteral("XDG_RUNTIME_DIR не задан")};
    if (QString problem = folderProblem(runtime, false); !problem.isEmpty()) return {{}, problem};
    const QString folder = QDir(runtime).filePath(QStringLiteral("kolbax"));
    // mkdir never follows a link; an existing entry is checked below, whatever it is.
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    if (QString problem = folderProblem(folder, true); !problem.isEmpty()) return {{}, problem};
    const QString path = QDir(folder).filePath(QStringLiteral("instance-") + displayName());
    if (QFile::encodeName(path).size() >= qsizetype(sizeof(sockaddr_un::sun_path)))
        return {{}, QStringLiteral("путь к папке XDG_RUNTIME_DIR слишком длинный")};
    return {path, {}};
}

QString socketProblem(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) return {};
    if (!S_ISSOCK(info.st_mode) || info.st_uid != ::getuid())
        return QStringLiteral("«%1» — не сокет этого пользователя, не используется").arg(path);
    return {};
}

HandOver handOver(const ChannelPlace& place, const LineRequest& request, QString& note,
                  int timeoutMs) {
    note = place.problem;
    if (place.socketPath.isEmpty()) return HandOver::Refused;
    note = socketProblem(place.socketPath);
    if (!note.isEmpty()) return HandOver::Refused;

    Descriptor socket{::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)};
    if (socket.fd < 0) return HandOver::NoneRunning;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(place.socketPath);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (::connect(socket.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS && errno != EAGAIN) return HandOver::NoneRunning;
        int error = 0;
        socklen_t length = sizeof error;
        if (!waitFor(socket.fd, POLLOUT, deadline) ||
            ::getsockopt(socket.fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return HandOver::NoneRunning;
    }

    const QByteArray bytes = encodeRequest(request);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        if (!waitFor(socket.fd, POLLOUT, deadline)) return HandOver::NoneRunning;
        const ssize_t written =
            ::send(socket.fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (written < 0 && errno != EAGAIN && errno != EINTR) return HandOver::NoneRunning;
        if (written > 0) sent += written;
    }
    // The editor answers "OK" once it has taken the request.
    QByteArray answer;
    while (!answer.contains('\n')) {
        if (!waitFor(socket.fd, POLLIN, deadline)) return HandOver::NoneRunning;
        char buffer[16];
        const ssize_t got = ::recv(socket.fd, buffer, sizeof buffer, 0);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            break;
        }
        answer.append(buffer, got);
        if (answer.size() > 64) break;
    }
    return answer.startsWith("OK\n") ? HandOver::Delivered : HandOver::NoneRunning;
}

} // namespace pdf
