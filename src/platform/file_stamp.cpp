#include "platform/file_stamp.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

namespace platform {
namespace {

bool statOf(const QString& path, struct stat& info) {
    const QByteArray name = QFile::encodeName(path);
    return !name.isEmpty() && ::stat(name.constData(), &info) == 0;
}

} // namespace

FileStamp fileStampOf(const QString& path) {
    struct stat info {};
    if (!statOf(path, info)) return {};
    return {true, static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

bool sameFile(const QString& first, const QString& second) {
    struct stat a {
    }, b{};
    if (statOf(first, a) && statOf(second, b)) return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    return QDir::cleanPath(QDir(first).absolutePath()) ==
           QDir::cleanPath(QDir(second).absolutePath());
}

} // namespace platform
