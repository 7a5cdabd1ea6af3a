#include "support/text.h"

#include <QString>
#include <fstream>
#include <sstream>

#include "platform/codepage.h"
#include "platform/cyrillic.h"

namespace support {

std::string cp1251(const char* utf8) {
    return platform::toCp1251(QString::fromUtf8(utf8));
}

std::string cp1251(std::u16string_view text) {
    return platform::toCp1251(text);
}

std::string cp866(const char* utf8) {
    std::string bytes = cp1251(utf8);
    platform::convertCp1251ToCp866(bytes);
    return bytes;
}

std::string cp866(std::u16string_view text) {
    std::string bytes = cp1251(text);
    platform::convertCp1251ToCp866(bytes);
    return bytes;
}

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace support
