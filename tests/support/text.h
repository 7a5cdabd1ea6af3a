#pragma once
// Texts and files as the tests write them: Russian in the source as UTF-8 or UTF-16, the
// editor's bytes in CP1251, stored documents in CP866.
#include <filesystem>
#include <string>
#include <string_view>

namespace support {

std::string cp1251(const char* utf8);
std::string cp1251(std::u16string_view text);
std::string cp866(const char* utf8);
std::string cp866(std::u16string_view text);

// A whole file's bytes; empty for a file that cannot be read.
std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace support
