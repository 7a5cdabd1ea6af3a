#pragma once
// A file as it stood when the editor last read or wrote it: there or not, which file (device
// and inode: a file replaced by a rename is another one), its size and modification time. A
// different stamp means the file was changed, replaced or deleted behind the editor's back.
#include <QString>
#include <cstdint>

namespace platform {

struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at path as it stands now (symbolic links followed).
FileStamp fileStampOf(const QString& path);

// Whether two paths name the same file: the same device and inode when both exist (a
// symbolic or hard link, or another spelling of the path, is the same file), else the same
// absolute, cleaned path.
bool sameFile(const QString& first, const QString& second);

} // namespace platform
