#pragma once
// Splitting a full path into the parts the editor keeps. "/" is the folder delimiter.
#include <string>

namespace platform {

struct PathParts {
    std::string fileName;             // text after the last "/" (the whole path without one)
    std::string extension;            // from the file name's last "." on, dot included
    std::string nameWithoutExtension; // the file name less its extension
    std::string folder;               // up to the last "/", without it unless it is the root
};

PathParts splitPath(const std::string& path);

// The folder of the running program, in the same form as PathParts::folder.
std::string programFolder();

} // namespace platform
