// Where a portable and an installed copy find their data, settings and state folders, and
// the settings folder made on first use.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/locations.h"
#include "platform/errors.h"

using namespace app;

namespace {

const LocationEnvironment kHomeOnly{"/home/ann", ""};

bool writable(const QString&) {
    return true;
}
bool readOnly(const QString&) {
    return false;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

TEST(Locations, PortableCopyKeepsDataAndSettingsBesideAWritableProgram) {
    // Any one data or settings file makes a copy portable: one that lacks comm.dat (or any
    // other) stays portable.
    for (const char* name : kPortableFiles) {
        QTemporaryDir copy;
        writeFile(copy.path() + "/" + name, "x\r\n");
        EXPECT_TRUE(findLocations(copy.path(), kHomeOnly, writable).portable) << name;
    }
    QTemporaryDir program;
    writeFile(program.path() + "/comm.dat", "\\alpha\r\n");

    Locations here = findLocations(program.path(), kHomeOnly, writable);
    EXPECT_TRUE(here.portable);
    EXPECT_EQ(here.dataFolder, program.path());
    EXPECT_EQ(here.settingsFolder, program.path());

    // A portable copy on a read-only medium still reads its data there, but writes its
    // settings into the user's config folder.
    Locations readOnlyCopy = findLocations(program.path(), kHomeOnly, readOnly);
    EXPECT_EQ(readOnlyCopy.dataFolder, program.path());
    EXPECT_EQ(readOnlyCopy.settingsFolder, "/home/ann/.config/kolbax");
}

TEST(Locations, InstalledCopyReadsShareBesideItsBinFolderAndFollowsXdg) {
    QTemporaryDir root;
    QDir(root.path()).mkpath("bin");
    const QString bin = root.path() + "/bin";

    Locations installed = findLocations(bin + "/", kHomeOnly, writable);
    EXPECT_FALSE(installed.portable);
    EXPECT_EQ(installed.dataFolder, root.path() + "/share/kolbax");
    EXPECT_EQ(installed.settingsFolder, "/home/ann/.config/kolbax");

    EXPECT_EQ(findLocations(bin, {"/home/ann", "/cfg/"}, writable).settingsFolder, "/cfg/kolbax");
    // A relative XDG_CONFIG_HOME is invalid and falls back to the default.
    EXPECT_EQ(findLocations(bin, {"/home/ann", "cfg"}, writable).settingsFolder,
              "/home/ann/.config/kolbax");
}

TEST(Locations, FirstUseMakesTheSettingsFolderWithTheShippedCommandsAndKeepsTheUsersLater) {
    QTemporaryDir root;
    const QString data = root.path() + "/share/kolbax";
    QDir().mkpath(data);
    writeFile(data + "/commands.set", "latex\r\nxdvi\r\ndvips\r\n");
    Locations locations{data, root.path() + "/home/.config/kolbax", false};

    ASSERT_TRUE(prepareSettingsFolder(locations));
    EXPECT_EQ(readFile(locations.settingsFolder + "/commands.set"), "latex\r\nxdvi\r\ndvips\r\n");
    EXPECT_EQ(QDir(locations.settingsFolder).entryList(QDir::Files), QStringList{"commands.set"});

    writeFile(locations.settingsFolder + "/commands.set", "pdflatex\r\n");
    ASSERT_TRUE(prepareSettingsFolder(locations));
    EXPECT_EQ(readFile(locations.settingsFolder + "/commands.set"), "pdflatex\r\n");

    // A portable copy has its settings beside the data: nothing is made.
    Locations portable{data, data, true};
    EXPECT_TRUE(prepareSettingsFolder(portable));
}

TEST(Locations, UnwritableConfigFolderIsReportedNotFatal) {
    QTemporaryDir root;
    writeFile(root.path() + "/commands.set", "latex\r\n");
    const QString config = root.path() + "/config";
    QDir().mkpath(config);
    chmod(QFile::encodeName(root.path()).constData(), 0755); // the user may look inside
    chmod(QFile::encodeName(config).constData(), 0555);
    Locations locations{root.path(), config + "/kolbax", false};

    // As an ordinary user: root may write anywhere.
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
        if (prepareSettingsFolder(locations) || isWritableFolder(config)) _exit(1);
        // Writing the settings at exit reports the folder as the write would.
        try {
            makeFolder(locations.settingsFolder);
        } catch (const platform::InOutError& error) {
            _exit(error.errorNumber() == EACCES ? 0 : 2);
        }
        _exit(4);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
