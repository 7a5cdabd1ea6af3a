// The LOG parser on any bytes: entries in LOG order over lines the LOG has, each LOG line
// selecting at most its own entry, the list order a regrouping of all entries, and the same
// entries whether the LOG ends its lines with LF or CR LF.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "processing/log_parser.h"
#include "processing/log_text.h"
#include "processing/log_utf8.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

bool sameEntries(const std::vector<processing::LogEntry>& a,
                 const std::vector<processing::LogEntry>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].file != b[i].file || a[i].line != b[i].line ||
            a[i].message != b[i].message || a[i].sourceText != b[i].sourceText ||
            a[i].firstLogLine != b[i].firstLogLine || a[i].lastLogLine != b[i].lastLogLine)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace processing;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const size_t lines = splitLogLines(bytes).size();
    // A LOG read as UTF-8 keeps its lines, each no longer in CP1251 than in its bytes.
    const std::string whole = withWholeCharacters(bytes);
    check(whole.size() == bytes.size());
    const std::vector<std::string_view> wholeLines = splitLogLines(whole);
    check(wholeLines.size() == lines);
    for (std::string_view line : wholeLines)
        check(utf8LogLineToCp1251(line).size() <= line.size());
    const std::vector<LogEntry> entries = parseLog(bytes);

    for (size_t i = 0; i < entries.size(); ++i) {
        const LogEntry& entry = entries[i];
        check(entry.firstLogLine <= entry.lastLogLine && entry.lastLogLine < lines);
        if (i > 0) check(entries[i - 1].lastLogLine < entry.firstLogLine);
        check(entryAtLogLine(entries, entry.firstLogLine) == i);
        check(entryAtLogLine(entries, entry.lastLogLine) == i);
        check(entry.message.find_first_of("\r\n") == std::string::npos);
        check(entry.file.find_first_of("\r\n") == std::string::npos);
        check(!entry.line || *entry.line >= 0);
        if (!entry.file.empty())
            check(resolveLogFile(entry.file, QStringLiteral("/home/u/d")).startsWith(u'/'));
    }

    const std::vector<size_t> order = errorsFirst(entries);
    check(order.size() == entries.size());
    std::vector<bool> seen(entries.size());
    for (size_t k = 0; k < order.size(); ++k) {
        check(order[k] < entries.size() && !seen[order[k]]);
        seen[order[k]] = true;
        if (k > 0) check(entries[order[k - 1]].kind <= entries[order[k]].kind);
    }
    const LogCounts counts = countLogEntries(entries);
    check(static_cast<size_t>(counts.errors + counts.warnings + counts.badBoxes) == entries.size());

    if (bytes.find('\r') == std::string::npos) {
        std::string dos;
        dos.reserve(bytes.size() * 2);
        for (char c : bytes)
            c == '\n' ? dos.append("\r\n") : dos.append(1, c);
        check(sameEntries(parseLog(dos), entries));
    }
    return 0;
}
