#pragma once
// The PDF output's settings file, pdf.set in the settings folder beside commands.set: the
// output kind, the engine, whether latexmk runs it, and the PDF's compile, view and print
// command lines. One "key=value" a line in UTF-8, each ending in CR LF:
//
//     output=pdf            (or dvi: compile, view and print use commands.set)
//     engine=pdflatex       (or xelatex, lualatex)
//     latexmk=no            (or yes)
//     compile=pdflatex -synctex=1 -interaction=nonstopmode
//     view=xdg-open
//     print=lp
//
// A missing file, key or value the editor does not know gives that setting's default, so a
// file written by a later version still reads.
#include <string>
#include <string_view>

#include "state/pdf_output.h"

namespace processing {

inline constexpr const char* kPdfSettingsFile = "pdf.set";

// The compile command line of an engine, alone or through latexmk: SyncTeX on, non-stop.
std::string defaultPdfCompileCommand(state::PdfEngine engine, bool latexmk);
// DVI output, pdflatex alone, and the default command lines.
state::PdfOutput defaultPdfOutput();

// The settings in a file's bytes (the command lines come back in CP1251, as the editor
// holds its command lines; a character CP1251 lacks becomes "?").
state::PdfOutput parsePdfSettings(std::string_view bytes);
// The bytes of the file for the settings.
std::string pdfSettingsBytes(const state::PdfOutput& settings);

} // namespace processing
