#include "support/rtf_view_writer.h"

#include "platform/cyrillic.h"
#include "platform/rtf_reader.h"
#include "platform/tex_characters.h"

namespace support {
namespace {

// The switch written in front of the character that opens a Cyrillic or a Latin run.
constexpr std::string_view kCyrillicRunSwitch = "\\plain\\f1\\fs20\\cf0 ";
constexpr std::string_view kLatinRunSwitch = "\\plain\\lang1033\\f0\\fs20\\cf0 ";
// The two header lines, each followed by CR LF in the view.
constexpr std::string_view kRtfViewHeader =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fnil MS Sans Serif;}{\\f1\\fswiss"
    "\\fcharset204{\\*\\fname MS Sans Serif;}MS Shell Dlg;}}";
constexpr std::string_view kRtfViewDefaults = "\\deflang1049\\pard";

enum class Script { None, Cyrillic, Latin };

// The script a byte opens a run of, if any; other bytes go on in the run left open.
Script scriptOf(unsigned char byte) {
    if (platform::isCp866Letter(byte)) return Script::Cyrillic;
    if (platform::kTexMarkupLetters.find(static_cast<char>(byte)) != std::string_view::npos)
        return Script::Latin;
    return Script::None;
}

void appendByte(std::string& rtf, unsigned char byte) {
    if (byte == '\\' || byte == '{' || byte == '}') rtf.push_back('\\');
    rtf.push_back(static_cast<char>(platform::cp866ToCp1251(byte)));
}

} // namespace

std::string rtfViewOf(std::string_view tex) {
    std::string rtf;
    rtf.append(kRtfViewHeader).append("\r\n").append(kRtfViewDefaults).append("\r\n");
    if (const size_t mark = tex.find('\x1A'); mark != std::string_view::npos)
        tex = tex.substr(0, mark);
    Script open = Script::None;
    bool lineOpen = false;
    for (size_t i = 0; i < tex.size(); ++i) {
        const auto byte = static_cast<unsigned char>(tex[i]);
        if (byte == '\r') {
            rtf.append("\\par\r\n");
            lineOpen = false;
            if (i + 1 < tex.size() && tex[i + 1] == '\n') ++i;
            continue;
        }
        const Script script = scriptOf(byte);
        if (script != Script::None && script != open) {
            rtf.append(script == Script::Cyrillic ? kCyrillicRunSwitch : kLatinRunSwitch);
            open = script;
        }
        appendByte(rtf, byte);
        lineOpen = true;
    }
    if (lineOpen) rtf.append("\\par\r\n");
    rtf.append("}\r\n");
    return rtf;
}

std::vector<platform::TextRun> runsThroughRtfView(std::string_view tex) {
    std::string lines(tex);
    for (size_t i = 0; i < tex.size(); ++i)
        if (tex[i] == '\n' && (i == 0 || tex[i - 1] != '\r')) lines[i] = '\r';
    return platform::readRtf(rtfViewOf(lines));
}

} // namespace support
