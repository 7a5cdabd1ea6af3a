#pragma once
// Where compile, view and print lead: the DVI of the three lines in commands.set, or a PDF
// made by one of the PDF engines, with command lines of its own (kept in pdf.set).
#include <string>

namespace state {

enum class OutputKind { Dvi, Pdf };
enum class PdfEngine { Pdflatex, Xelatex, Lualatex };

struct PdfOutput {
    OutputKind kind = OutputKind::Dvi;
    PdfEngine engine = PdfEngine::Pdflatex;
    bool latexmk = false; // the engine runs through latexmk (bibliography, reruns)
    // CP1251, as the other command lines.
    std::string compileCommand;
    std::string viewCommand;
    std::string printCommand;
};

} // namespace state
