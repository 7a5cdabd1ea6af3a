#pragma once
// The two settings files in the program's folder and the recent-files list they keep:
//  - commands.set: the compile, view and print command lines, one per line;
//  - filelist.ini: the four most recently used documents, newest first, always written
//    as four CR LF lines (an empty entry is an empty line), each path in the stored form
//    of platform::storedPath (CP1251 when it can hold the path).
// Both are read as text files (TextFileReader); a missing file gives empty values.
#include <QString>
#include <array>
#include <string>

namespace app {

using RecentFileList = std::array<QString, 4>;

struct CommandLines {
    std::string compile;
    std::string view;
    std::string print;
};

// Throws InOutError when the file exists but cannot be read.
CommandLines readCommandSet(const QString& path);
RecentFileList readFileList(const QString& path);
// The same for a CP1251 path.
CommandLines readCommandSet(const std::string& path);
RecentFileList readFileList(const std::string& path);

// The bytes of filelist.ini for a list.
std::string fileListBytes(const RecentFileList& list);

// The path a document is listed under: folder "/" name extension (a document in the root
// folder is listed with two slashes, as its folder already ends in one).
QString recentFilePath(const QString& folder, const QString& name, const QString& extension);

// Enters a path at the top of the list, moving the others down and dropping the last,
// unless it is listed already (exact comparison): a listed path keeps its place. True
// when the list changed.
bool enterRecentFile(RecentFileList& list, const QString& path);

// The menu caption of a listed path: its file name (the text after the last "/").
QString recentFileCaption(const QString& path);

} // namespace app
