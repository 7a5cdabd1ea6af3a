#include "app/settings_files.h"

#include <QFileInfo>

#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace app {
namespace {

bool exists(const std::string& path) {
    return QFileInfo::exists(platform::fsPath(path));
}

} // namespace

CommandLines readCommandSet(const std::string& path) {
    CommandLines lines;
    if (!exists(path)) return lines;
    platform::TextFileReader reader(path);
    lines.compile = reader.readLine();
    lines.view = reader.readLine();
    lines.print = reader.readLine();
    return lines;
}

RecentFileList readFileList(const std::string& path) {
    RecentFileList list;
    if (!exists(path)) return list;
    platform::TextFileReader reader(path);
    for (std::string& entry : list)
        entry = reader.readLine();
    return list;
}

std::string fileListBytes(const RecentFileList& list) {
    return platform::joinLinesCrLf({list.begin(), list.end()});
}

std::string recentFilePath(const std::string& folder, const std::string& name,
                           const std::string& extension) {
    // The folder keeps its own "/" only at the root, so a document there is listed with two.
    return folder + "/" + name + extension;
}

bool enterRecentFile(RecentFileList& list, const std::string& path) {
    for (const std::string& entry : list)
        if (entry == path) return false;
    for (size_t i = list.size() - 1; i > 0; --i)
        list[i] = std::move(list[i - 1]);
    list[0] = path;
    return true;
}

std::string recentFileCaption(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace app
