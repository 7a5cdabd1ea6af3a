#pragma once
// A compile that stops on a file TeX cannot find (a package's .sty, a class's .cls, an
// \input file): the LOG viewer's list says so plainly, naming the file and, where the system
// can tell (apt-file, when it is installed), the Debian package that holds it.
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace processing {

struct LogEntry;

// The file a "File `x' not found" or "I can't find file `x'" error names; none for any
// other entry.
std::optional<std::string> missingFileOf(const LogEntry& entry);

// Whether a missing file comes from TeX Live (a package or a class) rather than the project.
bool isTexLiveFile(const QString& file);

// The list's message for a missing file; package is the Debian package that holds it, empty
// when unknown.
QString missingFileMessage(const QString& file, const QString& package);

// apt-file's arguments to find the package that holds file, by its name alone.
QStringList aptFileArguments(const QString& file);
// The package apt-file's "-l" output names (a TeX Live one first); empty when none.
QString packageFromAptFile(const QString& output);

} // namespace processing
