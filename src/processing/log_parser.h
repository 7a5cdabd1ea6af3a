#pragma once
// The errors, warnings and bad boxes of a LOG that latex (TeX Live's, or any TeX) wrote, each
// with the file and line it belongs to: what the LOG viewer lists and what the main window's
// next/previous error commands step through.
//
// Typical use:
//   std::string bytes = platform::readFileBytes(logPath);  // the LOG as it is on disk
//   std::vector<LogEntry> entries = parseLog(bytes);
//   for (size_t i : errorsFirst(entries)) ...               // the list: errors first
//   QString path = resolveLogFile(entries[i].file, DocDir); // the file to open
//   ... go to entries[i].line, if it has one
//   std::optional<size_t> picked = entryAtLogLine(entries, clickedViewerLine);
//   QString status = countsText(countLogEntries(entries));      // "Ошибок: 2, ..."
//
// The parser takes the LOG's bytes as they are on disk, not the viewer's converted lines: file
// names stay in the file system's bytes (UTF-8 here) and messages in the LOG's own bytes
// (Russian letters in CP866 or UTF-8, as the document was written); the caller converts
// messages for display. LOG lines are counted as splitLogLines counts them, so a line index
// is the viewer's line index. Any bytes are accepted; what the parser does not recognise is
// skipped.
//
// Limits: a file name holding "(" or ")" is not followed; a name with blanks is cut after
// its first word unless a known TeX extension (.tex, .sty, .cls, ...) ends it; TeX's file
// stack is taken from the parentheses, so a package that writes unbalanced parentheses on a
// line of its own can shift the files of the entries after it.
#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace processing {

enum class LogEntryKind {
    Error,   // "! ..." (TeX, LaTeX, package and class errors), or "file:line: ..." of
             // -file-line-error
    Warning, // "LaTeX Warning:", "LaTeX Font Warning:", "Package x Warning:",
             // "Class x Warning:", "Missing character:", "pdfTeX warning"; undefined
             // references and citations are LaTeX warnings
    BadBox,  // "Overfull", "Underfull", "Tight" and "Loose" \hbox and \vbox
};

struct LogEntry {
    LogEntryKind kind = LogEntryKind::Error;
    // The file TeX was reading when it wrote the entry, as the LOG names it: "./chapter1.tex",
    // "./folder with blanks/part.tex", "/usr/share/texlive/.../article.cls" (an error inside
    // a package: not a file of the project). Empty when no file was open (before the main
    // file, or a LOG that names none).
    std::string file;
    // The line in that file, from 1: the "l.NN" of an error, "on input line NN" of a warning,
    // the first line of a box's "at lines NN--MM", "detected at line NN". None when the LOG
    // gives no line (a box found while \output is active, a warning without a line).
    std::optional<int> line;
    // The text: an error without its "! " (or "file:line: "); a warning or a box from its first
    // word ("LaTeX Warning: Reference `x' on page 1 undefined on input line 12.", "Overfull
    // \hbox (12.3pt too wide) in paragraph at lines 10--12"). A line that TeX wrapped at the
    // LOG's width is joined to the next without a blank; the continuation lines of a LaTeX,
    // package or class message are joined with one blank, their "(package)" prefix and indent
    // dropped.
    std::string message;
    // For an error, the source TeX showed on its "l.NN" line, up to where it stopped (so an
    // undefined command comes last), without "l.NN ". Empty otherwise.
    std::string sourceText;
    // The LOG lines the entry takes, first and last (from 0, as splitLogLines counts them):
    // an error with its context and help text, a warning with its continuation lines, a box
    // with the box TeX shows after it.
    size_t firstLogLine = 0;
    size_t lastLogLine = 0;
};

// max_print_line: TeX wraps a LOG line after this many bytes (79 unless texmf.cnf says
// otherwise).
constexpr size_t kLogLineWidth = 79;

// The entries of a LOG, in LOG order. lineWidth is the LOG's max_print_line.
std::vector<LogEntry> parseLog(std::string_view bytes, size_t lineWidth = kLogLineWidth);

// Indexes into entries: the errors, then the warnings, then the bad boxes, each group in LOG
// order.
std::vector<size_t> errorsFirst(const std::vector<LogEntry>& entries);

// The index of the entry whose LOG lines include logLine; none between entries.
std::optional<size_t> entryAtLogLine(const std::vector<LogEntry>& entries, size_t logLine);

struct LogCounts {
    int errors = 0;
    int warnings = 0;
    int badBoxes = 0;
};

LogCounts countLogEntries(const std::vector<LogEntry>& entries);

// "Ошибок: 2, предупреждений: 5"; bad boxes count as warnings there.
QString countsText(const LogCounts& counts);

// The path of a file the LOG names, in the form the editor opens documents by (as DocDir):
// for a LOG written by a compile run in documentFolder (absolute; the main file's folder,
// where latex ran and where the attached files lie). The name's file-system bytes are
// decoded as Qt names files. "./chapter1.tex" and "chapter1.tex" become documentFolder +
// "/chapter1.tex"; an absolute name stays; "." and ".." are resolved by the names alone
// (symbolic links are not followed). Empty for an empty name.
QString resolveLogFile(std::string_view name, const QString& documentFolder);

} // namespace processing
