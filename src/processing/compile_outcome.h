#pragma once
// How a compile to PDF ended, in words the user reads where the editor shows it: every
// compile that gives no new PDF says why (the program not found, by name; a document without
// pages; the program's exit code or the signal that ended it).
#include <QString>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace processing {

struct CompileEnd {
    QString program;      // the program started (its name, as the command line gives it)
    int status = -1;      // its wait status (waitpid), -1 when it could not be had
    bool stopped = false; // ended by "Остановить компиляцию" or a later compile
    bool pdfExists = false;
    std::optional<std::string> log; // the LOG's bytes, when this compile wrote it
    QString missingEngine; // the engine latexmk runs, when it ran and that is not installed
};

// Why the compile gave no new PDF; none when it gave one (latexmk finding the PDF up to date
// gives one too).
std::optional<QString> compileFailure(const CompileEnd& end);

// The engine a latexmk command line runs, by its options in order (the last one counts):
// -pdf, -pdfxe, -pdflua and their spelled-out forms, or -pdflatex="CMD" and its kin (the
// first word of CMD); latex without any.
std::string latexmkEngine(const std::vector<std::string>& words);

} // namespace processing
