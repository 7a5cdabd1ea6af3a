#include "app/settings_files.h"

#include <QFileInfo>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace app {
namespace {

platform::TextFileReader readerOf(const QString& path) {
    return platform::TextFileReader::fromBytes(platform::readFileBytes(path));
}

} // namespace

CommandLines readCommandSet(const QString& path) {
    CommandLines lines;
    if (!QFileInfo::exists(path)) return lines;
    platform::TextFileReader reader = readerOf(path);
    lines.compile = reader.readLine();
    lines.view = reader.readLine();
    lines.print = reader.readLine();
    return lines;
}

RecentFileList readFileList(const QString& path) {
    RecentFileList list;
    if (!QFileInfo::exists(path)) return list;
    platform::TextFileReader reader = readerOf(path);
    for (QString& entry : list)
        entry = platform::pathFromStored(reader.readLine());
    return list;
}

CommandLines readCommandSet(const std::string& path) {
    return readCommandSet(platform::fsPath(path));
}

RecentFileList readFileList(const std::string& path) {
    return readFileList(platform::fsPath(path));
}

std::string fileListBytes(const RecentFileList& list) {
    std::vector<std::string> lines;
    for (const QString& entry : list)
        lines.push_back(platform::storedPath(entry));
    return platform::joinLinesCrLf(lines);
}

QString recentFilePath(const QString& folder, const QString& name, const QString& extension) {
    // The folder keeps its own "/" only at the root, so a document there is listed with two.
    return folder + QLatin1Char('/') + name + extension;
}

bool enterRecentFile(RecentFileList& list, const QString& path) {
    for (const QString& entry : list)
        if (entry == path) return false;
    for (size_t i = list.size() - 1; i > 0; --i)
        list[i] = std::move(list[i - 1]);
    list[0] = path;
    return true;
}

QString recentFileCaption(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace app
