// The context of a place in a line: what a completion offers there and what a jump goes to.
#include <gtest/gtest.h>

#include "project/source_context.h"

namespace {

using project::ArgumentKind;
using project::CompletionKind;

// "|" marks the caret; it is not part of the line.
struct Caret {
    QString line;
    int column;
};
Caret caret(const char16_t* marked) {
    QString line = QString::fromUtf16(marked);
    const int column = static_cast<int>(line.indexOf(u'|'));
    line.remove(column, 1);
    return {line, column};
}

struct CompletionCase {
    const char16_t* marked;
    CompletionKind kind;
    const char16_t* prefix;
    const char16_t* replaced; // the part of the line an entry replaces
};

TEST(CompletionContext, FindsTheListThePrefixAndTheRangeToReplace) {
    const CompletionCase cases[] = {
        {u"\\|", CompletionKind::Command, u"\\", u"\\"},
        {u"текст \\sec|", CompletionKind::Command, u"\\sec", u"\\sec"},
        {u"\\sec|tion{Введение}", CompletionKind::Command, u"\\sec", u"\\section"},
        {u"\\\\|", CompletionKind::None, u"", u""}, // a line break, not a command
        {u"\\\\\\te|", CompletionKind::Command, u"\\te", u"\\te"},
        {u"% \\sec|", CompletionKind::None, u"", u""}, // in a comment
        {u"50\\% \\sec|", CompletionKind::Command, u"\\sec", u"\\sec"},
        {u"\\begin{|", CompletionKind::Environment, u"", u""},
        {u"\\begin{ite|mize}", CompletionKind::Environment, u"ite", u"itemize"},
        {u"\\end{al|", CompletionKind::Environment, u"al", u"al"},
        {u"см. \\ref{fig:|}", CompletionKind::Label, u"fig:", u"fig:"},
        {u"\\eqref{eq:a|b} и", CompletionKind::Label, u"eq:a", u"eq:ab"},
        {u"\\cref{a, b|c, d}", CompletionKind::Label, u"b", u"bc"},
        {u"\\ref{рис:сх|", CompletionKind::Label, u"рис:сх", u"рис:сх"},
        {u"\\cite{|", CompletionKind::Citation, u"", u""},
        {u"\\cite[с.~5]{Ivanov|}", CompletionKind::Citation, u"Ivanov", u"Ivanov"},
        {u"\\citep*{a,|}", CompletionKind::Citation, u"", u""},
        {u"\\parencite{a, Пет|ров}", CompletionKind::Citation, u"Пет", u"Петров"},
        {u"\\input{Dissertation/pa|}", CompletionKind::InputFile, u"Dissertation/pa",
         u"Dissertation/pa"},
        {u"\\include{|", CompletionKind::InputFile, u"", u""},
        {u"\\includegraphics[width=0.5\\linewidth]{images/|}", CompletionKind::GraphicsFile,
         u"images/", u"images/"},
        {u"\\addbibresource{bib|}", CompletionKind::BibliographyFile, u"bib", u"bib"},
        {u"\\label{|", CompletionKind::None, u"", u""},
        {u"\\textbf{|", CompletionKind::None, u"", u""},
        {u"\\ref{a} {|", CompletionKind::None, u"", u""}, // a group, not the argument
        {u"\\ref{a}|", CompletionKind::None, u"", u""},   // after the argument
        {u"\\ref{\\textbf{x}|", CompletionKind::Label, u"\\textbf{x}", u"\\textbf{x}"},
    };
    for (const CompletionCase& c : cases) {
        const Caret at = caret(c.marked);
        const project::CompletionContext context = project::completionContextAt(at.line, at.column);
        const QString what = QString::fromUtf16(c.marked);
        EXPECT_EQ(context.kind, c.kind) << what.toStdString();
        if (c.kind == CompletionKind::None) continue;
        EXPECT_EQ(context.prefix, QString::fromUtf16(c.prefix)) << what.toStdString();
        EXPECT_EQ(at.line.mid(context.start, context.end - context.start),
                  QString::fromUtf16(c.replaced))
            << what.toStdString();
    }
}

struct TargetCase {
    const char16_t* marked;
    ArgumentKind kind;
    const char16_t* command;
    const char16_t* key;
};

TEST(TargetAt, FindsTheCommandOrTheOneKeyUnderTheCaret) {
    const TargetCase cases[] = {
        {u"см. \\ref{fig:sch|eme}.", ArgumentKind::Reference, u"ref", u"fig:scheme"},
        {u"\\ref{|fig:scheme}", ArgumentKind::Reference, u"ref", u"fig:scheme"},
        {u"\\ref{fig:scheme|}", ArgumentKind::Reference, u"ref", u"fig:scheme"},
        {u"\\cite{a, Пет|ров, c}", ArgumentKind::Citation, u"cite", u"Петров"},
        {u"\\textcite[с.~1]{knuth|84}", ArgumentKind::Citation, u"textcite", u"knuth84"},
        {u"\\input{Dissertation/par|t2}", ArgumentKind::Input, u"input", u"Dissertation/part2"},
        {u"\\include{chapters/intro, x|}", ArgumentKind::Input, u"include", u"chapters/intro, x"},
        {u"\\addbibresource{bib/refs.b|ib}", ArgumentKind::Bibliography, u"addbibresource",
         u"bib/refs.bib"},
        {u"\\label{sec:в|вод}", ArgumentKind::Label, u"label", u"sec:ввод"},
        {u"\\begin{theo|rem}", ArgumentKind::Environment, u"begin", u"theorem"},
        {u"текст \\myco|mmand{x}", ArgumentKind::None, u"mycommand", u""},
        {u"текст |\\mycommand", ArgumentKind::None, u"mycommand", u""},
        {u"\\ref{}|", ArgumentKind::None, u"", u""},
        {u"\\ref{|}", ArgumentKind::None, u"", u""},
        {u"% \\ref{a|}", ArgumentKind::None, u"", u""},
        {u"просто те|кст", ArgumentKind::None, u"", u""},
    };
    for (const TargetCase& c : cases) {
        const Caret at = caret(c.marked);
        const project::PositionTarget target = project::targetAt(at.line, at.column);
        const std::string what = QString::fromUtf16(c.marked).toStdString();
        EXPECT_EQ(target.kind, c.kind) << what;
        EXPECT_EQ(target.command, QString::fromUtf16(c.command)) << what;
        EXPECT_EQ(target.key, QString::fromUtf16(c.key)) << what;
        if (!target.key.isEmpty()) {
            EXPECT_EQ(at.line.mid(target.start, target.end - target.start), target.key) << what;
        }
    }
}

} // namespace
