// The LOG parser on LOGs that TeX Live wrote for the documents in logs/ (see
// logs/regenerate.sh), and on a few hand-made lines for what those do not show.
#include <gtest/gtest.h>

#include "platform/textfile.h"
#include "processing/log_parser.h"
#include "processing/log_text.h"

using namespace processing;

namespace {

std::string logBytes(const std::string& name) {
    return platform::readFileBytes(QString::fromUtf8(KOLBAX_LOG_SAMPLES) + "/" +
                                   QString::fromStdString(name) + ".log");
}

// One line per entry: kind, file:line, message.
std::vector<std::string> summary(const std::vector<LogEntry>& entries) {
    std::vector<std::string> lines;
    for (const LogEntry& entry : entries) {
        const char* kind = entry.kind == LogEntryKind::Error     ? "E "
                           : entry.kind == LogEntryKind::Warning ? "W "
                                                                 : "B ";
        lines.push_back(kind + entry.file + ":" + (entry.line ? std::to_string(*entry.line) : "-") +
                        " " + entry.message);
    }
    return lines;
}

std::vector<std::string> summary(const std::string& name) {
    return summary(parseLog(logBytes(name)));
}

// The index of the first LOG line that starts with text.
size_t logLineOf(const std::string& bytes, std::string_view text) {
    std::vector<std::string_view> lines = splitLogLines(bytes);
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].substr(0, text.size()) == text) return i;
    ADD_FAILURE() << "no line " << text;
    return 0;
}

} // namespace

TEST(LogParser, ErrorsWithTheirFileLineAndSource) {
    const std::string undefined = logBytes("undefined");
    std::vector<LogEntry> entries = parseLog(undefined);
    EXPECT_EQ(summary(entries),
              (std::vector<std::string>{"E ./chapter1.tex:7 Undefined control sequence."}));
    // The context after the error quotes "(see below" without its ")": no file closes there.
    EXPECT_EQ(entries[0].sourceText, "The \\foo");
    EXPECT_EQ(entries[0].firstLogLine, logLineOf(undefined, "! Undefined"));
    EXPECT_EQ(entries[0].lastLogLine, logLineOf(undefined, "and I'll forget"));

    // The same LOG with -file-line-error, and with DOS line ends.
    std::vector<LogEntry> fileLine = parseLog(logBytes("file_line_error"));
    ASSERT_EQ(fileLine.size(), 1u);
    EXPECT_EQ(summary(fileLine), summary(entries));
    EXPECT_EQ(fileLine[0].sourceText, "The \\foo");
    std::string dos;
    for (char c : undefined)
        dos += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(summary(parseLog(dos)), summary(entries));
    EXPECT_EQ(parseLog(dos)[0].firstLogLine, entries[0].firstLogLine);

    EXPECT_EQ(summary("latex_error"),
              (std::vector<std::string>{
                  "E ./latex_error.tex:6 LaTeX Error: Environment theorem undefined.",
                  "E ./latex_error.tex:8 LaTeX Error: \\begin{itemize} on input line 4 ended by "
                  "\\end{theorem}.",
                  "E ./latex_error.tex:9 LaTeX Error: \\begin{itemize} on input line 4 ended by "
                  "\\end{document}."}));
    EXPECT_EQ(summary("missing_dollar"),
              (std::vector<std::string>{"E ./missing_dollar.tex:3 Missing $ inserted.",
                                        "E ./missing_dollar.tex:4 Missing $ inserted.",
                                        "E ./missing_dollar.tex:5 Missing $ inserted.",
                                        "E ./missing_dollar.tex:6 Missing $ inserted."}));
    // The missing package stops the run where TeX had read to.
    EXPECT_EQ(summary("missing_file"),
              (std::vector<std::string>{
                  "E ./missing_file.tex:4 LaTeX Error: File `nonexistentpackage.sty' not found.",
                  "E ./missing_file.tex:4 Emergency stop."}));
}

TEST(LogParser, WarningsWithTheirContinuationLines) {
    EXPECT_EQ(
        summary("references"),
        (std::vector<std::string>{
            "W ./references.tex:4 LaTeX Warning: Reference `sec:results' on page 1 undefined on "
            "input line 4.",
            "W ./references.tex:5 LaTeX Warning: Reference `sec:missing' on page 1 undefined on "
            "input line 5.",
            "W ./references.tex:7 LaTeX Warning: Citation `knuth84' on page 1 undefined on input "
            "line 7.",
            "W ./references.tex:8 LaTeX Warning: Reference `fig:none' on page 1 undefined on "
            "input line 8.",
            "W ./references.tex:- LaTeX Warning: There were undefined references.",
            "W ./references.tex:- LaTeX Warning: Label(s) may have changed. Rerun to get "
            "cross-references right."}));
    EXPECT_EQ(summary("package_warning"),
              (std::vector<std::string>{
                  "W ./warnpkg.sty:- Package warnpkg Warning: Loaded without options; the "
                  "defaults are used.",
                  "W ./oldname.sty:- LaTeX Warning: You have requested package `oldname', but "
                  "the package provides `newname'.",
                  "W ./package_warning.tex:7 Package warnpkg Warning: The command \\oldcmd is "
                  "obsolete, use \\newcmd instead on input line 7.",
                  "W ./package_warning.tex:8 Class article Warning: A class warning on two lines "
                  "on input line 8."}));
}

TEST(LogParser, BadBoxesAndTheBoxesTeXShows) {
    // The box shown after "detected at line 7" holds "(that is far" without its ")".
    EXPECT_EQ(summary("boxes"),
              (std::vector<std::string>{
                  "B ./boxes.tex:3 Overfull \\hbox (4.72183pt too wide) in paragraph at lines 3--6",
                  "B ./boxes.tex:7 Overfull \\hbox (91.74911pt too wide) detected at line 7",
                  "B ./boxes.tex:10 Overfull \\hbox (2.5391pt too wide) in paragraph at lines "
                  "10--11",
                  "B ./boxes.tex:10 Overfull \\hbox (123.34488pt too wide) in paragraph at lines "
                  "10--11",
                  "B ./boxes.tex:13 Overfull \\hbox (161.11176pt too wide) in alignment at lines "
                  "13--13",
                  "B ./boxes.tex:15 Underfull \\hbox (badness 10000) detected at line 15",
                  "B ./boxes.tex:17 Underfull \\hbox (badness 10000) in paragraph at lines 17--18",
                  "B ./boxes.tex:19 Overfull \\vbox (23.30554pt too high) detected at line 19",
                  "B ./boxes.tex:- Overfull \\vbox (109.99832pt too high) has occurred while "
                  "\\output is active []"}));
}

TEST(LogParser, FollowsNestedFilesAndWrappedNames) {
    EXPECT_EQ(summary("nested"),
              (std::vector<std::string>{
                  "W ./nested/level1.tex:2 LaTeX Warning: Reference `level1:before' on page 1 "
                  "undefined on input line 2.",
                  "E ./nested/level2.tex:3 Undefined control sequence.",
                  "W ./nested/level2.tex:4 LaTeX Warning: Reference `level2:ref' on page 1 "
                  "undefined on input line 4.",
                  "W ./nested/level1.tex:4 LaTeX Warning: Reference `level1:after' on page 1 "
                  "undefined on input line 4.",
                  "E ./nested/level1.tex:5 Undefined control sequence.",
                  "W ./nested.tex:5 LaTeX Warning: Reference `main:missing' on page 1 undefined "
                  "on input line 5.",
                  "E ./nested.tex:6 Undefined control sequence.",
                  "W ./nested.tex:- LaTeX Warning: There were undefined references."}));

    // A name longer than the LOG's width, and a name with blanks.
    const std::string deep = "./a_rather_long_folder_name_for_the_chapters_of_a_thesis/"
                             "with_a_second_level_that_is_also_long/chapter_with_a_long_name.tex";
    std::vector<LogEntry> entries = parseLog(logBytes("long_name"));
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].file, deep);
    EXPECT_EQ(entries[1].file, deep);
    EXPECT_EQ(entries[1].line, 4);
    EXPECT_EQ(entries[2].file, "./folder with blanks/part with blanks.tex");
    EXPECT_EQ(entries[2].line, 2);
    EXPECT_EQ(entries[3].file, "./long_name.tex");
}

TEST(LogParser, RussianMessagesKeepTheLogsBytes) {
    // A CP866 document: TeX quotes its source in CP866.
    std::vector<LogEntry> cp866 = parseLog(logBytes("russian"));
    ASSERT_EQ(cp866.size(), 7u);
    EXPECT_EQ(cp866[2].kind, LogEntryKind::Error);
    EXPECT_EQ(cp866[2].file, "./russian.tex");
    EXPECT_EQ(cp866[2].line, 9);
    EXPECT_EQ(cp866[2].sourceText,
              "\x92\xa5\xaa\xe1\xe2 \xe1 \xaa\xae\xac\xa0\xad\xa4\xae\xa9 \\foo");
    // A package name and text in inputenc's spelling, wrapped across eight LOG lines.
    EXPECT_EQ(cp866[3].kind, LogEntryKind::Warning);
    EXPECT_EQ(cp866[3].line, 10);
    EXPECT_EQ(cp866[3].message.substr(0, 96),
              "Package \\IeC {\\cyrp }\\IeC {\\cyrr }\\IeC {\\cyro }\\IeC {\\cyrb }\\IeC {\\cyra } "
              "Warning: \\IeC {\\CYRR }");
    EXPECT_EQ(cp866[3].lastLogLine - cp866[3].firstLogLine, 7u);
    EXPECT_EQ(summary({cp866[5]}),
              (std::vector<std::string>{"B ./russian.tex:14 Overfull \\hbox (13.48125pt too wide) "
                                        "in paragraph at lines 14--15"}));

    // A UTF-8 document with an attached file of a Russian name.
    EXPECT_EQ(summary("utf8"),
              (std::vector<std::string>{
                  "W ./utf8.tex:7 LaTeX Warning: Reference `итог' on page 1 undefined on input "
                  "line 7.",
                  "E ./глава.tex:3 Undefined control sequence.",
                  "B ./глава.tex:5 Overfull \\hbox (116.56042pt too wide) detected at line 5",
                  "W ./utf8.tex:9 Package проба Warning: Русский текст во второй строке on input "
                  "line 9.",
                  "W ./utf8.tex:- LaTeX Warning: There were undefined references."}));
    EXPECT_EQ(parseLog(logBytes("utf8"))[1].sourceText, "Здесь \\foo");
}

TEST(LogParser, LinesAsLongAsTheLogWidthThatTeXDidNotWrap) {
    const std::string width79 = "LaTeX Font Info:    Trying to load font information for T2A+"
                                "cmr on input line 1";
    ASSERT_EQ(width79.size(), 79u);
    const std::string name79 = "(/usr/share/texlive/texmf-dist/tex/latex/cyrillic/long/path/"
                               "name/more/t2acmr.fd";
    ASSERT_EQ(name79.size(), 79u);
    const std::string log = "(./main.tex\n" + width79 + "\n(./a.fd\n" + name79 +
                            "\nFile: t2acmr.fd\n))\nRunaway argument?\n{text (with\n"
                            "! Paragraph ended before \\x was complete.\n"
                            "<to be read again> \n\\par \nl.5 \n\n\n"
                            "LaTeX Warning: Reference `a' on page 1 undefined on input line 6.\n";
    EXPECT_EQ(summary(parseLog(log)),
              (std::vector<std::string>{
                  "E ./main.tex:5 Paragraph ended before \\x was complete.",
                  "W ./main.tex:6 LaTeX Warning: Reference `a' on page 1 undefined on input line "
                  "6."}));
    // With a wider LOG the same lines are lines of their own.
    EXPECT_EQ(summary(parseLog(log, 255)), summary(parseLog(log)));
}

TEST(LogParser, ListOrderLineLookupAndCounts) {
    const std::string bytes = logBytes("nested");
    std::vector<LogEntry> entries = parseLog(bytes);
    EXPECT_EQ(errorsFirst(entries), (std::vector<size_t>{1, 4, 6, 0, 2, 3, 5, 7}));
    std::vector<LogEntry> boxes = parseLog(logBytes("boxes"));
    boxes.insert(boxes.begin(), entries[1]);
    EXPECT_EQ(errorsFirst(boxes).front(), 0u);

    // Any line of an error's context or help selects it; the lines between entries none.
    const size_t bang = logLineOf(bytes, "! Undefined");
    EXPECT_EQ(entryAtLogLine(entries, bang), 1u);
    EXPECT_EQ(entryAtLogLine(entries, bang + 3), 1u);
    EXPECT_EQ(entryAtLogLine(entries, bang - 1), std::nullopt);
    EXPECT_EQ(entryAtLogLine(entries, 0), std::nullopt);
    EXPECT_EQ(entryAtLogLine(entries, entries.back().lastLogLine), entries.size() - 1);
    EXPECT_EQ(entryAtLogLine(entries, 1000000), std::nullopt);

    LogCounts counts = countLogEntries(entries);
    EXPECT_EQ(counts.errors, 3);
    EXPECT_EQ(counts.warnings, 5);
    EXPECT_EQ(countsText(counts), QString::fromUtf8("Ошибок: 3, предупреждений: 5"));
    EXPECT_EQ(countsText(countLogEntries(boxes)),
              QString::fromUtf8("Ошибок: 1, предупреждений: 9"));
    EXPECT_TRUE(parseLog("").empty());
}

TEST(LogParser, NamesResolveAgainstTheDocumentFolder) {
    const QString thesis = QStringLiteral("/home/u/thesis");
    EXPECT_EQ(resolveLogFile("./chapter1.tex", thesis),
              QStringLiteral("/home/u/thesis/chapter1.tex"));
    EXPECT_EQ(resolveLogFile("chapter1.tex", thesis + "/"),
              QStringLiteral("/home/u/thesis/chapter1.tex"));
    EXPECT_EQ(resolveLogFile("./parts/../глава.tex", QString::fromUtf8("/home/u/тезис")),
              QString::fromUtf8("/home/u/тезис/глава.tex"));
    EXPECT_EQ(resolveLogFile("/usr/share/texlive/a.sty", thesis),
              QStringLiteral("/usr/share/texlive/a.sty"));
    EXPECT_EQ(resolveLogFile(":chapter1.tex", thesis),
              QStringLiteral("/home/u/thesis/:chapter1.tex"));
    EXPECT_EQ(resolveLogFile("", thesis), QString());
}
