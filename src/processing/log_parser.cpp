#include "processing/log_parser.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <array>
#include <climits>

#include "processing/log_text.h"

namespace processing {
namespace {

using std::string_view;

// How far a message, an error's context and help, or a displayed box may reach before the
// parser takes the LOG for something TeX did not write and reads on after the first line.
constexpr size_t kMaxMessageLines = 30;
constexpr size_t kMaxErrorLines = 100;
constexpr size_t kMaxBoxLines = 1000;
// The longest file name looked for (PATH_MAX).
constexpr size_t kMaxFileName = 4096;

bool startsWith(string_view text, string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool endsWith(string_view text, string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

string_view trimLeft(string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

void trimRight(std::string& text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
}

// The whole number at the start of text; none when there is none or it leaves int.
std::optional<int> leadingNumber(string_view text) {
    long long value = 0;
    size_t i = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) return std::nullopt;
    }
    if (i == 0) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> numberAfterLast(string_view text, string_view marker) {
    // Forward searches find the first byte with memchr; rfind compares at every position.
    size_t last = string_view::npos;
    for (size_t at = text.find(marker); at != string_view::npos; at = text.find(marker, at + 1))
        last = at;
    if (last == string_view::npos) return std::nullopt;
    return leadingNumber(text.substr(last + marker.size()));
}

// An extension: a letter, then up to seven letters, digits or "_" (not "3pt" of "12.3pt").
bool isExtension(string_view text) {
    if (text.empty() || text.size() > 8 || !isLetter(text[0])) return false;
    for (char c : text)
        if (!isLetter(c) && !isDigit(c) && c != '_') return false;
    return true;
}

// The extension of a path's last part ("tex" of "./a/b.tex"); empty when there is none
// ("e.g.", "README", ".hidden").
string_view extensionOf(string_view name) {
    size_t slash = name.rfind('/');
    string_view part = slash == string_view::npos ? name : name.substr(slash + 1);
    size_t dot = part.rfind('.');
    if (dot == string_view::npos || dot == 0 || !isExtension(part.substr(dot + 1))) return {};
    return part.substr(dot + 1);
}

// Extensions of the files TeX reads in a LaTeX run.
bool isKnownExtension(string_view extension) {
    static constexpr std::array<string_view, 22> known = {
        "tex", "sty", "cls", "clo", "cfg", "def", "fd",  "ldf",  "aux", "bbl", "toc",
        "lof", "lot", "out", "ind", "ltx", "dfu", "ini", "tikz", "pgf", "cbx", "lbx"};
    return std::find(known.begin(), known.end(), extension) != known.end();
}

bool hasKnownExtension(string_view name) {
    return isKnownExtension(extensionOf(name));
}

// The name of a file TeX opens, in text that starts just after its "(" and ends at the next
// parenthesis or where the name cannot go on. A name may hold blanks ("./folder with
// blanks/part.tex"), so it ends at the first blank (or the end) before which stands a name
// with a known extension; without one, at the first blank. One pass over the text.
string_view fileNameIn(string_view text) {
    size_t part = 0;                // where the last part of the path so far starts
    size_t dot = string_view::npos; // the last dot in it
    for (size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == ' ') {
            if (dot != string_view::npos && dot > part &&
                isKnownExtension(text.substr(dot + 1, at - dot - 1)))
                return text.substr(0, at);
        } else if (text[at] == '/') {
            part = at + 1;
            dot = string_view::npos;
        } else if (text[at] == '.') {
            dot = at;
        }
    }
    return text.substr(0, text.find(' '));
}

bool isFileName(string_view name) {
    if (name.empty()) return false;
    if (startsWith(name, "./") || startsWith(name, "../") || name.front() == '/') return true;
    return !extensionOf(name).empty() && name.front() != '\\' && name.front() != '`' &&
           name.front() != '\'' && name.front() != '"';
}

size_t nextParenthesis(string_view text, size_t from) {
    for (; from < text.size(); ++from)
        if (text[from] == '(' || text[from] == ')') return from;
    return string_view::npos;
}

// A line of the context TeX shows after an error: "l.7 ...", "<argument> ...", "<*> ...".
bool isContextLine(string_view line) {
    if (startsWith(line, "l.")) return line.size() > 2 && isDigit(line[2]);
    if (startsWith(line, "<")) {
        size_t close = line.find('>');
        return close != string_view::npos && close < 24;
    }
    return false;
}

// A line that TeX or a package starts on its own, never the rest of a wrapped file name:
// "\c@part=\count185", "File: size10.clo ...", "Document Class: article ...".
bool looksLikeItemStart(string_view line) {
    if (line.empty()) return false;
    if (line.front() == '\\') return true;
    if (line.front() < 'A' || line.front() > 'Z') return false;
    for (size_t i = 1; i < line.size() && i < 40; ++i) {
        char c = line[i];
        if (c == ':') return true;
        if (!isLetter(c) && !isDigit(c) && c != ' ') return false;
    }
    return false;
}

// The prefix of the continuation lines of a LaTeX message whose text up to its first colon
// is head: "(hyperref)" for "Package hyperref <word>", "(article)" for "Class article
// <word>", "(Font)" for "LaTeX Font <word>", blanks (empty) for "LaTeX <word>". None when
// head is not such a message.
std::optional<std::string> continuationPrefix(string_view head, string_view word) {
    if (!endsWith(head, word) || head.size() == word.size() ||
        head[head.size() - word.size() - 1] != ' ')
        return std::nullopt;
    string_view front = head.substr(0, head.size() - word.size() - 1);
    if (front == "LaTeX") return std::string();
    for (string_view kind : {"LaTeX ", "Package ", "Class "})
        if (startsWith(front, kind) && front.size() > kind.size()) {
            // Built by appending: GCC 12 takes "(" + std::string for an overlapping copy
            // (-Wrestrict) when it inlines the concatenation.
            std::string prefix(1, '(');
            prefix.append(front.substr(kind.size()));
            prefix.push_back(')');
            return prefix;
        }
    return std::nullopt;
}

constexpr std::array<string_view, 8> kBoxStarts = {
    "Overfull \\hbox", "Overfull \\vbox", "Underfull \\hbox", "Underfull \\vbox",
    "Tight \\hbox",    "Tight \\vbox",    "Loose \\hbox",     "Loose \\vbox"};

class Parser {
  public:
    Parser(string_view bytes, size_t width)
        : lines_(splitLogLines(bytes)), width_(width == 0 ? kLogLineWidth : width) {
        // A LOG full of bad boxes has an entry in every five lines.
        entries_.reserve(lines_.size() / 4);
    }

    std::vector<LogEntry> run();

  private:
    enum class Start { None, Error, Warning, BadBox };

    // How a message goes on after its first line.
    struct Message {
        bool severalLines = false; // a LaTeX message: also its continuation lines
        std::string prefix;        // its continuation lines' "(package)"
    };

    // An error as -file-line-error writes it: "./chapter1.tex:7: Undefined control sequence."
    struct FileLineError {
        string_view file;
        int line = 0;
        size_t textStart = 0;
    };

    size_t count() const { return lines_.size(); }
    bool wraps(size_t i) const { return lines_[i].size() == width_ && i + 1 < count(); }
    Start startOf(size_t i) const;
    std::optional<Message> warningAt(size_t i) const;
    std::optional<FileLineError> fileLineErrorAt(string_view line) const;
    bool goesOnFileName(size_t i) const;

    LogEntry& add(LogEntryKind kind, size_t first);
    size_t collectMessage(size_t i, size_t skip, const Message& how, std::string& out) const;
    size_t error(size_t i);
    size_t warning(size_t i);
    size_t badBox(size_t i);
    size_t plain(size_t i);
    void followFiles(string_view text, const std::vector<size_t>& joints);

    std::vector<string_view> lines_;
    size_t width_;
    std::vector<std::string> files_; // the files TeX has open, the innermost last
    std::vector<LogEntry> entries_;
    std::string joined_;         // a logical line made of wrapped ones
    std::vector<size_t> joints_; // where in joined_ each wrapped line goes on
};

Parser::Start Parser::startOf(size_t i) const {
    string_view line = lines_[i];
    if (line.empty()) return Start::None;
    // Most lines start none of these: look at the first byte before comparing words.
    switch (line.front()) {
    case '!':
        return startsWith(line, "! ") ? Start::Error : Start::None;
    case 'O':
    case 'U':
    case 'T':
    case 'L':
        for (string_view box : kBoxStarts)
            if (startsWith(line, box)) return Start::BadBox;
        break;
    default:
        break;
    }
    if (string_view("LPCMp").find(line.front()) != string_view::npos && warningAt(i))
        return Start::Warning;
    if (fileLineErrorAt(line)) return Start::Error;
    return Start::None;
}

std::optional<Parser::Message> Parser::warningAt(size_t i) const {
    string_view line = lines_[i];
    if (startsWith(line, "Missing character: ") || startsWith(line, "pdfTeX warning"))
        return Message{};
    if (!startsWith(line, "LaTeX ") && !startsWith(line, "Package ") && !startsWith(line, "Class "))
        return std::nullopt;
    // The words before the colon; TeX may have wrapped them (a long package name).
    std::string wrapped;
    string_view text = line;
    for (size_t k = i; text.find(':') == string_view::npos && wraps(k) && k - i < 4; ++k) {
        if (wrapped.empty()) wrapped.assign(line);
        wrapped.append(lines_[k + 1]);
        text = wrapped;
    }
    size_t colon = text.find(':');
    if (colon == string_view::npos) return std::nullopt;
    std::optional<std::string> prefix = continuationPrefix(text.substr(0, colon), "Warning");
    if (!prefix) return std::nullopt;
    return Message{true, std::move(*prefix)};
}

std::optional<Parser::FileLineError> Parser::fileLineErrorAt(string_view line) const {
    const bool path = line.front() == '/' || startsWith(line, "./") || startsWith(line, "../");
    if (!path && (files_.empty() || files_.back().front() != line.front() ||
                  !startsWith(line, files_.back())))
        return std::nullopt;
    for (size_t colon = line.find(':'); colon != string_view::npos;
         colon = line.find(':', colon + 1)) {
        size_t end = colon + 1;
        while (end < line.size() && isDigit(line[end]))
            ++end;
        if (end == colon + 1 || line.substr(end, 2) != ": ") continue;
        std::optional<int> number = leadingNumber(line.substr(colon + 1));
        if (!number) return std::nullopt;
        return FileLineError{line.substr(0, colon), *number, end + 2};
    }
    return std::nullopt;
}

LogEntry& Parser::add(LogEntryKind kind, size_t first) {
    LogEntry& entry = entries_.emplace_back();
    entry.kind = kind;
    if (!files_.empty()) entry.file = files_.back();
    entry.firstLogLine = entry.lastLogLine = first;
    return entry;
}

// Puts the message that starts at line i (from byte skip) into out: lines TeX wrapped at the
// LOG width joined without a blank; for a LaTeX message also its continuation lines (those
// that start with its "(package)" prefix or with blanks), joined with one blank. Returns its
// last line.
size_t Parser::collectMessage(size_t i, size_t skip, const Message& how, std::string& out) const {
    out.assign(lines_[i].substr(std::min(skip, lines_[i].size())));
    size_t last = i;
    while (last + 1 < count() && last + 1 - i < kMaxMessageLines) {
        string_view next = lines_[last + 1];
        if (next.empty() || startOf(last + 1) != Start::None) break;
        if (how.severalLines && !how.prefix.empty() && startsWith(next, how.prefix)) {
            out += ' ';
            out.append(trimLeft(next.substr(how.prefix.size())));
        } else if (wraps(last) && !isContextLine(next)) {
            out.append(!out.empty() && out.back() == ' ' ? trimLeft(next) : next);
        } else if (how.severalLines && next.front() == ' ' && !isContextLine(next)) {
            out += ' ';
            out.append(trimLeft(next));
        } else {
            break;
        }
        ++last;
    }
    trimRight(out);
    return last;
}

size_t Parser::error(size_t i) {
    LogEntry& entry = add(LogEntryKind::Error, i);
    size_t skip = 2;
    if (!startsWith(lines_[i], "! ")) {
        FileLineError where = *fileLineErrorAt(lines_[i]);
        entry.file.assign(where.file);
        entry.line = where.line;
        skip = where.textStart;
    }
    Message how;
    string_view text = lines_[i].substr(skip);
    if (std::optional<std::string> prefix =
            continuationPrefix(text.substr(0, text.find(':')), "Error"))
        how = Message{true, std::move(*prefix)};
    size_t last = collectMessage(i, skip, how, entry.message);

    // Then the context (its bottom line "l.NN" tells the line), the help text, and the
    // empty line TeX ends the error with.
    size_t end = last;
    bool context = false;
    bool fileLine = false;
    for (size_t j = last + 1; j < count(); ++j) {
        string_view line = lines_[j];
        if (line.empty()) {
            if (context) break;
            continue;
        }
        if (startOf(j) == Start::Error) break;
        if (j - last > kMaxErrorLines && !context) {
            end = last;
            break;
        }
        if (isContextLine(line)) {
            context = true;
            if (startsWith(line, "l.") && !fileLine) {
                fileLine = true;
                if (!entry.line) entry.line = leadingNumber(line.substr(2));
                size_t blank = line.find(' ');
                if (blank != string_view::npos) entry.sourceText.assign(line.substr(blank + 1));
            }
        }
        end = j;
    }
    entry.lastLogLine = end;
    return end + 1;
}

size_t Parser::warning(size_t i) {
    Message how = *warningAt(i);
    LogEntry& entry = add(LogEntryKind::Warning, i);
    entry.lastLogLine = collectMessage(i, 0, how, entry.message);
    entry.line = numberAfterLast(entry.message, "on input line ");
    return entry.lastLogLine + 1;
}

size_t Parser::badBox(size_t i) {
    LogEntry& entry = add(LogEntryKind::BadBox, i);
    entry.message.assign(lines_[i]);
    trimRight(entry.message);
    entry.line = numberAfterLast(entry.message, "at lines ");
    if (!entry.line) entry.line = numberAfterLast(entry.message, "at line ");
    // The box TeX shows next, up to an empty line ("... while \output is active []" shows it
    // on the same line).
    if (endsWith(entry.message, "[]")) return i + 1;
    size_t end = i;
    for (size_t j = i + 1; j < count() && j - i <= kMaxBoxLines && !lines_[j].empty(); ++j)
        end = j;
    entry.lastLogLine = end;
    return end + 1;
}

// The next line may go on with a file name that TeX wrapped at the end of this one.
bool Parser::goesOnFileName(size_t i) const {
    return !lines_[i].empty() && startOf(i) == Start::None && !looksLikeItemStart(lines_[i]);
}

size_t Parser::plain(size_t i) {
    size_t last = i;
    if (!wraps(i) || !goesOnFileName(i + 1)) {
        followFiles(lines_[i], {});
        return i + 1;
    }
    joined_.assign(lines_[i]);
    joints_.clear();
    while (wraps(last) && goesOnFileName(last + 1)) {
        joints_.push_back(joined_.size());
        joined_.append(lines_[++last]);
    }
    followFiles(joined_, joints_);
    return last + 1;
}

// Follows TeX's file stack through one logical line: TeX writes " (" and the file's name when
// it opens a file and ")" when it closes it. Parentheses that open no file (a message's
// "(see below)") are matched within the line, so that their ")" closes no file.
void Parser::followFiles(string_view text, const std::vector<size_t>& joints) {
    int open = 0; // parentheses of this line that opened no file
    for (size_t at = nextParenthesis(text, 0); at != string_view::npos;
         at = nextParenthesis(text, at + 1)) {
        if (text[at] == ')') {
            if (open > 0)
                --open;
            else if (!files_.empty())
                files_.pop_back();
            continue;
        }
        // TeX writes a blank before the "(" of a file, or starts a line with it.
        if (at == 0 || text[at - 1] == ' ' ||
            std::binary_search(joints.begin(), joints.end(), at)) {
            size_t start = at + 1;
            size_t end = start;
            auto joint = std::upper_bound(joints.begin(), joints.end(), start);
            while (end < text.size() && end - start < kMaxFileName && text[end] != '(' &&
                   text[end] != ')') {
                // A whole name that ends where the line was cut is not wrapped.
                if (joint != joints.end() && end == *joint) {
                    if (hasKnownExtension(text.substr(start, end - start))) break;
                    ++joint;
                }
                ++end;
            }
            string_view name = fileNameIn(text.substr(start, end - start));
            if (isFileName(name)) {
                files_.emplace_back(name);
                at = start + name.size() - 1;
                continue;
            }
        }
        ++open;
    }
}

std::vector<LogEntry> Parser::run() {
    for (size_t i = 0; i < count();) {
        string_view line = lines_[i];
        switch (startOf(i)) {
        case Start::Error:
            i = error(i);
            break;
        case Start::Warning:
            i = warning(i);
            break;
        case Start::BadBox:
            i = badBox(i);
            break;
        case Start::None:
            if (line.empty() || startsWith(line, "**")) {
                ++i; // the command line TeX was started with
            } else if (startsWith(line, "Runaway ")) {
                // The next line quotes the source, with any parentheses.
                i += i + 1 < count() && startOf(i + 1) == Start::None ? 2 : 1;
            } else {
                i = plain(i);
            }
            break;
        }
    }
    // A missing file ends a nonstop run at once: its error shows no source line, and the
    // "Emergency stop" right after it shows the line TeX had come to.
    for (size_t k = 0; k + 1 < entries_.size(); ++k) {
        LogEntry& entry = entries_[k];
        const LogEntry& stop = entries_[k + 1];
        if (entry.kind == LogEntryKind::Error && !entry.line && stop.kind == LogEntryKind::Error &&
            stop.message == "Emergency stop." && stop.firstLogLine == entry.lastLogLine + 1 &&
            stop.file == entry.file) {
            entry.line = stop.line;
            entry.sourceText = stop.sourceText;
        }
    }
    return std::move(entries_);
}

} // namespace

std::vector<LogEntry> parseLog(std::string_view bytes, size_t lineWidth) {
    return Parser(bytes, lineWidth).run();
}

std::vector<size_t> errorsFirst(const std::vector<LogEntry>& entries) {
    std::vector<size_t> order;
    order.reserve(entries.size());
    for (LogEntryKind kind : {LogEntryKind::Error, LogEntryKind::Warning, LogEntryKind::BadBox})
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].kind == kind) order.push_back(i);
    return order;
}

std::optional<size_t> entryAtLogLine(const std::vector<LogEntry>& entries, size_t logLine) {
    auto after = std::upper_bound(
        entries.begin(), entries.end(), logLine,
        [](size_t line, const LogEntry& entry) { return line < entry.firstLogLine; });
    if (after == entries.begin()) return std::nullopt;
    auto entry = std::prev(after);
    if (logLine > entry->lastLogLine) return std::nullopt;
    return static_cast<size_t>(entry - entries.begin());
}

LogCounts countLogEntries(const std::vector<LogEntry>& entries) {
    LogCounts counts;
    for (const LogEntry& entry : entries) {
        switch (entry.kind) {
        case LogEntryKind::Error:
            ++counts.errors;
            break;
        case LogEntryKind::Warning:
            ++counts.warnings;
            break;
        case LogEntryKind::BadBox:
            ++counts.badBoxes;
            break;
        }
    }
    return counts;
}

QString countsText(const LogCounts& counts) {
    return QString::fromUtf8("Ошибок: %1, предупреждений: %2")
        .arg(counts.errors)
        .arg(counts.warnings + counts.badBoxes);
}

QString resolveLogFile(std::string_view name, const QString& documentFolder) {
    if (name.empty()) return {};
    const QString file =
        QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
    // Only "/" makes a name absolute: Qt would take a name starting with ":" for one of its
    // resources, but in a LOG it is a file beside the document.
    return QDir::cleanPath(file.startsWith(u'/') ? file : documentFolder + u'/' + file);
}

} // namespace processing
