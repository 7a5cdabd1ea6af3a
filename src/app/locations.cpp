#include "app/locations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <unistd.h>

namespace app {
namespace {

// An XDG base folder: the variable when it holds an absolute path (a relative one is
// invalid and ignored), else the default below the home folder.
QString xdgFolder(const QString& variable, const QString& home, const char* fallback) {
    if (QDir::isAbsolutePath(variable)) return QDir::cleanPath(variable);
    return QDir::cleanPath(home + QLatin1Char('/') + QLatin1String(fallback));
}

} // namespace

Locations findLocations(const QString& programFolder, const LocationEnvironment& environment,
                        const std::function<bool(const QString&)>& folderIsWritable) {
    Locations locations;
    const QString program = QDir::cleanPath(programFolder);
    locations.portable =
        QFileInfo(program + QLatin1Char('/') + QLatin1String(kPortableMarker)).isFile();
    locations.dataFolder = locations.portable
                               ? program
                               : QDir::cleanPath(program + QStringLiteral("/../share/kolbax"));
    if (locations.portable && folderIsWritable(program))
        locations.settingsFolder = program;
    else
        locations.settingsFolder =
            xdgFolder(environment.xdgConfigHome, environment.home, ".config") +
            QStringLiteral("/kolbax");
    locations.stateFolder = xdgFolder(environment.xdgStateHome, environment.home, ".local/state") +
                            QStringLiteral("/kolbax");
    return locations;
}

LocationEnvironment processEnvironment() {
    return {qEnvironmentVariable("HOME"), qEnvironmentVariable("XDG_CONFIG_HOME"),
            qEnvironmentVariable("XDG_STATE_HOME")};
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

} // namespace app
