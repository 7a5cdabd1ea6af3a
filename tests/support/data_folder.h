#pragma once
// The data files of the source tree, the ones the build copies beside the program. The
// folder is compiled in, so a test program run by hand finds them without any setting.
#include <QString>
#include <QTemporaryDir>
#include <filesystem>

namespace support {

QString sourceDataFolder();
// The full path of one data file there.
QString sourceDataFile(const char* name);

// A fresh temporary program folder holding copies of the data files: the editor writes its
// recent files and settings into its folder, which must not be the source tree.
class ProgramFolder {
  public:
    ProgramFolder();
    QString filePath(const char* name) const { return temporary_.filePath(QLatin1String(name)); }

  private:
    QTemporaryDir temporary_;

  public:
    const std::filesystem::path dir;
};

} // namespace support
