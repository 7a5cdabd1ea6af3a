#include "app/locations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/errors.h"

namespace app {
namespace {

// $XDG_CONFIG_HOME/kolbax when the variable holds an absolute path (a relative one is
// invalid and ignored), else ~/.config/kolbax.
QString configFolder(const LocationEnvironment& environment) {
    const QString base = QDir::isAbsolutePath(environment.xdgConfigHome)
                             ? environment.xdgConfigHome
                             : environment.home + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/kolbax"));
}

} // namespace

Locations findLocations(const QString& programFolder, const LocationEnvironment& environment,
                        const std::function<bool(const QString&)>& folderIsWritable) {
    Locations locations;
    const QString program = QDir::cleanPath(programFolder);
    locations.portable =
        std::any_of(kPortableFiles.begin(), kPortableFiles.end(), [&](const char* name) {
            return QFileInfo(program + QLatin1Char('/') + QLatin1String(name)).isFile();
        });
    locations.dataFolder = locations.portable
                               ? program
                               : QDir::cleanPath(program + QStringLiteral("/../share/kolbax"));
    locations.settingsFolder =
        locations.portable && folderIsWritable(program) ? program : configFolder(environment);
    return locations;
}

LocationEnvironment processEnvironment() {
    QString home = qEnvironmentVariable("HOME");
    if (!QDir::isAbsolutePath(home)) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? QFile::decodeName(user->pw_dir) : QString();
    }
    return {home, qEnvironmentVariable("XDG_CONFIG_HOME")};
}

bool isWritableFolder(const QString& folder) {
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

bool prepareSettingsFolder(const Locations& locations) {
    if (locations.settingsFolder == locations.dataFolder) return true;
    if (!QDir().mkpath(locations.settingsFolder)) return false;
    const QString target = locations.settingsFolder + QLatin1Char('/') + kCommandSetName;
    if (QFileInfo::exists(target)) return true;
    QFile shipped(locations.dataFolder + QLatin1Char('/') + kCommandSetName);
    if (!shipped.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = shipped.readAll();
    if (shipped.error() != QFileDevice::NoError) return false;
    // Written whole or not at all, so a failed first start leaves no half file behind.
    QSaveFile copy(target);
    if (!copy.open(QIODevice::WriteOnly)) return false;
    copy.write(bytes);
    return copy.commit();
}

Locations programLocations() {
    return findLocations(QCoreApplication::applicationDirPath(), processEnvironment(),
                         isWritableFolder);
}

void makeFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/') continue;
        const QByteArray part = path.left(end);
        struct stat status {};
        if (::stat(part.constData(), &status) == 0) {
            if (!S_ISDIR(status.st_mode)) throw platform::InOutError(ENOTDIR);
            continue;
        }
        if (::mkdir(part.constData(), 0777) != 0 && errno != EEXIST)
            throw platform::InOutError(errno);
    }
}

} // namespace app
