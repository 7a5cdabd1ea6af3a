#include "platform/cyrillic.h"

namespace platform {
namespace {

void convert(std::string& bytes, const std::array<unsigned char, 256>& table) {
    unsigned char* p = reinterpret_cast<unsigned char*>(bytes.data());
    unsigned char* end = p + bytes.size();
    for (; p != end; ++p)
        *p = table[*p];
}

} // namespace

void convertCp866ToCp1251(std::string& bytes) {
    convert(bytes, detail::kCyrillic.toCp1251);
}
void convertCp1251ToCp866(std::string& bytes) {
    convert(bytes, detail::kCyrillic.toCp866);
}

} // namespace platform
