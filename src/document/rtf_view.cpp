#include "document/rtf_view.h"

#include <array>

#include "document/cyrillic.h"
#include "platform/atomic_file.h"
#include "platform/textfile.h"

namespace document {
namespace {

// What a byte of the TeX file does in the view.
enum class ByteClass : unsigned char { Plain, Cyrillic, Latin, Brace };

constexpr std::array<ByteClass, 256> makeClasses() {
    std::array<ByteClass, 256> classes{};
    for (int b = 0; b < 256; ++b)
        classes[static_cast<size_t>(b)] =
            isCp866Letter(static_cast<unsigned char>(b)) ? ByteClass::Cyrillic : ByteClass::Plain;
    for (char c : std::string_view("$\\abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_#^"))
        classes[static_cast<unsigned char>(c)] = ByteClass::Latin;
    classes['{'] = ByteClass::Brace;
    classes['}'] = ByteClass::Brace;
    return classes;
}

constexpr std::array<ByteClass, 256> kClasses = makeClasses();

} // namespace

std::string buildRtfView(std::string_view tex) {
    size_t mark = tex.find('\x1A');
    if (mark != std::string_view::npos) tex = tex.substr(0, mark);

    std::string rtf;
    rtf.reserve(tex.size() + tex.size() / 4 + 256);
    rtf.append(kRtfViewHeader).append("\r\n");
    rtf.append(kRtfViewDefaults).append("\r\n");

    int runState = -1;
    size_t pos = 0;
    while (pos < tex.size()) {
        size_t end = tex.find('\r', pos);
        if (end == std::string_view::npos) end = tex.size();
        for (size_t i = pos; i < end; ++i) {
            unsigned char byte = static_cast<unsigned char>(tex[i]);
            switch (kClasses[byte]) {
            case ByteClass::Cyrillic:
                if (runState != 204) {
                    rtf.append(kCyrillicRunSwitch);
                    runState = 204;
                }
                rtf.push_back(static_cast<char>(cp866ToCp1251(byte)));
                break;
            case ByteClass::Latin:
                if (runState != 0) {
                    rtf.append(kLatinRunSwitch);
                    runState = 0;
                }
                if (byte == '\\') rtf.push_back('\\');
                rtf.push_back(static_cast<char>(byte));
                break;
            case ByteClass::Brace:
                rtf.push_back('\\');
                rtf.push_back(static_cast<char>(byte));
                break;
            case ByteClass::Plain:
                rtf.push_back(static_cast<char>(byte));
                break;
            }
        }
        rtf.append("\\par\r\n");
        pos = end + 1;
        if (pos < tex.size() && tex[pos] == '\n') ++pos;
    }
    rtf.append("}\r\n");
    return rtf;
}

void BuildRtfView(const std::string& texPath, const std::string& rtfPath) {
    std::string rtf = buildRtfView(platform::readFileBytes(texPath));
    platform::writeFileAtomically(rtfPath, rtf);
}

} // namespace document
