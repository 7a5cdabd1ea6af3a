#pragma once
// Every file the editor writes goes through here: the bytes go to a temporary file in the
// target's folder, which replaces the target only after a complete, flushed write. A failed
// write leaves the old file byte-identical and throws InOutError with the errno of the
// failure ("Disk full", "File access denied", ...).
//
// A symbolic link (a chain of them too) is followed to the file it finally names, which is
// the one replaced; a dangling link gets its target created. A file the process may not
// write is refused ("File access denied") and left alone, even where the folder would let
// it be replaced. The new file keeps the old one's mode, and its owner and group where the
// process may set them; a new file gets 0666 less the umask. After the rename the folder is
// flushed too, so the replacement itself survives a crash.
//
// A file with more than one hard link is written in place instead, so that all its names
// see the new text: its old text is first copied, flushed, to a file beside it
// (".~name.XXXXXXXX"), which goes once the new text is on the disk and stays only if a crash
// or a failed write keeps the old text from being put back.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The path as the file system names it, or held in CP1251 (as the data files are named).
void writeFileAtomically(const QString& path, std::string_view bytes);
void writeFileAtomically(const std::string& path, std::string_view bytes);

// The same for a path in the file system's own bytes.
void writeFileAtomicallyNative(const std::string& nativePath, std::string_view bytes);

// Joins lines, each followed by CR LF (the last one too).
std::string joinLinesCrLf(const std::vector<std::string>& lines);

} // namespace platform
