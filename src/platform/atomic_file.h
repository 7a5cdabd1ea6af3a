#pragma once
// Every file the editor writes goes through here: the bytes go to a temporary file in the
// target's folder, which replaces the target only after a complete, flushed write. A failed
// write leaves the old file byte-identical and throws InOutError with the errno of the
// failure ("Disk full", "File access denied", ...).
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The path as the file system names it, or held in CP1251 (as the data files are named).
void writeFileAtomically(const QString& path, std::string_view bytes);
void writeFileAtomically(const std::string& path, std::string_view bytes);

// Joins lines, each followed by CR LF (the last one too).
std::string joinLinesCrLf(const std::vector<std::string>& lines);

} // namespace platform
