#include "processing/pdf_settings.h"

#include <QString>
#include <array>
#include <optional>

#include "platform/codepage.h"
#include "platform/string_list.h"

namespace processing {
namespace {

constexpr std::array<std::string_view, 3> kEngineNames = {"pdflatex", "xelatex", "lualatex"};
// latexmk's switch for each engine.
constexpr std::array<std::string_view, 3> kLatexmkSwitches = {"-pdf", "-pdfxe", "-pdflua"};
constexpr std::string_view kEngineOptions = " -synctex=1 -interaction=nonstopmode";

std::optional<state::PdfEngine> engineNamed(std::string_view name) {
    for (size_t i = 0; i < kEngineNames.size(); ++i)
        if (kEngineNames[i] == name) return static_cast<state::PdfEngine>(i);
    return std::nullopt;
}

std::string fromUtf8(std::string_view utf8) {
    return platform::toCp1251(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}
std::string toUtf8(const std::string& cp1251) {
    return platform::fromCp1251(cp1251).toUtf8().toStdString();
}

} // namespace

std::string defaultPdfCompileCommand(state::PdfEngine engine, bool latexmk) {
    const size_t index = static_cast<size_t>(engine);
    std::string command = latexmk ? "latexmk " + std::string(kLatexmkSwitches.at(index))
                                  : std::string(kEngineNames.at(index));
    return command + std::string(kEngineOptions);
}

state::PdfOutput defaultPdfOutput() {
    state::PdfOutput settings;
    settings.compileCommand = defaultPdfCompileCommand(settings.engine, settings.latexmk);
    settings.viewCommand = "xdg-open";
    settings.printCommand = "lp";
    return settings;
}

state::PdfOutput parsePdfSettings(std::string_view bytes) {
    state::PdfOutput settings = defaultPdfOutput();
    bool compileGiven = false;
    platform::StringList lines;
    lines.setText(bytes);
    for (const std::string& entry : lines) {
        const std::string key = platform::StringList::nameOf(entry);
        if (key.empty()) continue;
        const std::string_view value = std::string_view(entry).substr(key.size() + 1);
        if (key == "output") {
            if (value == "pdf") settings.kind = state::OutputKind::Pdf;
            if (value == "dvi") settings.kind = state::OutputKind::Dvi;
        } else if (key == "engine") {
            if (auto engine = engineNamed(value)) settings.engine = *engine;
        } else if (key == "latexmk") {
            settings.latexmk = value == "yes";
        } else if (key == "compile") {
            settings.compileCommand = fromUtf8(value);
            compileGiven = true;
        } else if (key == "view") {
            settings.viewCommand = fromUtf8(value);
        } else if (key == "print") {
            settings.printCommand = fromUtf8(value);
        }
    }
    // Without a line of its own, the engine chosen runs with its usual options.
    if (!compileGiven)
        settings.compileCommand = defaultPdfCompileCommand(settings.engine, settings.latexmk);
    return settings;
}

std::string pdfSettingsBytes(const state::PdfOutput& settings) {
    const auto line = [](std::string_view key, std::string_view value) {
        return std::string(key) + "=" + std::string(value) + "\r\n";
    };
    const auto strip = [](std::string text) {
        // A line break in a field would end the line early and lose the rest.
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
        return text;
    };
    return line("output", settings.kind == state::OutputKind::Pdf ? "pdf" : "dvi") +
           line("engine", kEngineNames.at(static_cast<size_t>(settings.engine))) +
           line("latexmk", settings.latexmk ? "yes" : "no") +
           line("compile", strip(toUtf8(settings.compileCommand))) +
           line("view", strip(toUtf8(settings.viewCommand))) +
           line("print", strip(toUtf8(settings.printCommand)));
}

} // namespace processing
