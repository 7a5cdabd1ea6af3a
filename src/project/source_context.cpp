#include "project/source_context.h"

namespace project {
namespace {

bool isCommandLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '@';
}

// Whether the character at index is escaped by an odd run of backslashes before it.
bool isEscaped(QStringView line, int index) {
    int run = 0;
    while (index - run - 1 >= 0 && line[index - run - 1] == u'\\')
        ++run;
    return run % 2 == 1;
}

// Where the comment of the line starts (its length when it has none).
int commentStart(QStringView line) {
    for (int i = 0; i < line.size(); ++i)
        if (line[i] == u'%' && !isEscaped(line, i)) return i;
    return static_cast<int>(line.size());
}

// The command name written at or around column: [backslash, end of its letters).
struct CommandSpan {
    int backslash = -1;
    int end = -1;
};
CommandSpan commandAround(QStringView line, int column) {
    int begin = column;
    while (begin > 0 && isCommandLetter(line[begin - 1]))
        --begin;
    if (begin == 0 || line[begin - 1] != u'\\' || isEscaped(line, begin - 1)) return {};
    int end = column;
    while (end < line.size() && isCommandLetter(line[end]))
        ++end;
    return {begin - 1, end};
}

// The argument around column: the innermost "{" before it on the line that is not
// closed before it, and the command that brace belongs to (optional "[...]" arguments and a
// star may stand between them).
struct ArgumentSpan {
    QString command;
    int open = -1; // the "{"
    int close = 0; // the "}" or the end of the text before the comment
};
ArgumentSpan argumentAround(QStringView line, int column, int limit) {
    int depth = 0;
    int open = -1;
    for (int i = column - 1; i >= 0; --i) {
        const QChar c = line[i];
        if ((c != u'{' && c != u'}') || isEscaped(line, i)) continue;
        if (c == u'}') {
            ++depth;
        } else if (depth == 0) {
            open = i;
            break;
        } else {
            --depth;
        }
    }
    if (open < 0) return {};
    int i = open;
    for (;;) {
        while (i > 0 && (line[i - 1] == u' ' || line[i - 1] == u'*'))
            --i;
        if (i == 0 || line[i - 1] != u']') break;
        int bracket = i - 1;
        while (bracket >= 0 && line[bracket] != u'[')
            --bracket;
        if (bracket < 0) return {};
        i = bracket;
    }
    const int nameEnd = i;
    while (i > 0 && isCommandLetter(line[i - 1]))
        --i;
    if (i == nameEnd || i == 0 || line[i - 1] != u'\\' || isEscaped(line, i - 1)) return {};
    ArgumentSpan span;
    span.command = line.mid(i, nameEnd - i).toString();
    if (nameEnd < open && line[nameEnd] == u'*') span.command += u'*';
    span.open = open;
    span.close = limit;
    for (int j = column; j < limit; ++j)
        if (line[j] == u'}' && !isEscaped(line, j)) {
            span.close = j;
            break;
        }
    return span;
}

bool takesSeveralKeys(ArgumentKind kind) {
    return kind == ArgumentKind::Reference || kind == ArgumentKind::Citation ||
           kind == ArgumentKind::Bibliography;
}

// The key of the argument around column: [start, end), spaces around it left out.
void keyAround(QStringView line, const ArgumentSpan& span, int column, bool several, int& start,
               int& end) {
    start = span.open + 1;
    end = span.close;
    if (several) {
        for (int i = column - 1; i > span.open; --i)
            if (line[i] == u',') {
                start = i + 1;
                break;
            }
        for (int i = column; i < span.close; ++i)
            if (line[i] == u',') {
                end = i;
                break;
            }
    }
    while (start < end && line[start].isSpace())
        ++start;
    while (end > start && line[end - 1].isSpace())
        --end;
}

} // namespace

ArgumentKind argumentKindOf(QStringView command) {
    if (command.endsWith(u'*')) command.chop(1);
    static const QStringView references[] = {
        u"ref",  u"eqref",   u"pageref",  u"autoref",  u"cref",      u"Cref",      u"vref",
        u"Vref", u"nameref", u"cpageref", u"Cpageref", u"labelcref", u"crefrange", u"vpageref",
        u"fref", u"Fref",    u"subref",   u"namecref", u"nameCref"};
    for (QStringView name : references)
        if (command == name) return ArgumentKind::Reference;
    if (command == u"label") return ArgumentKind::Label;
    if (command == u"begin" || command == u"end") return ArgumentKind::Environment;
    if (command == u"input" || command == u"include" || command == u"subfile" ||
        command == u"InputIfFileExists" || command == u"includeonly")
        return ArgumentKind::Input;
    if (command == u"includegraphics") return ArgumentKind::Graphics;
    if (command == u"bibliography" || command == u"addbibresource" || command == u"addglobalbib")
        return ArgumentKind::Bibliography;
    // \cite, \citep, \parencite, \textcite, \footcite, \nocite, \Citeauthor ...
    if (command.contains(u"cite", Qt::CaseInsensitive)) return ArgumentKind::Citation;
    return ArgumentKind::None;
}

CompletionContext completionContextAt(QStringView line, int column) {
    CompletionContext context;
    const int limit = commentStart(line);
    if (column < 0 || column > limit) return context;
    const CommandSpan name = commandAround(line, column);
    if (name.backslash >= 0) {
        context.kind = CompletionKind::Command;
        context.prefix = line.mid(name.backslash, column - name.backslash).toString();
        context.start = name.backslash;
        context.end = name.end;
        return context;
    }
    const ArgumentSpan argument = argumentAround(line, column, limit);
    if (argument.open < 0) return context;
    const ArgumentKind kind = argumentKindOf(argument.command);
    switch (kind) {
    case ArgumentKind::Reference:
        context.kind = CompletionKind::Label;
        break;
    case ArgumentKind::Citation:
        context.kind = CompletionKind::Citation;
        break;
    case ArgumentKind::Input:
        context.kind = CompletionKind::InputFile;
        break;
    case ArgumentKind::Graphics:
        context.kind = CompletionKind::GraphicsFile;
        break;
    case ArgumentKind::Bibliography:
        context.kind = CompletionKind::BibliographyFile;
        break;
    case ArgumentKind::Environment:
        context.kind = CompletionKind::Environment;
        break;
    case ArgumentKind::Label:
    case ArgumentKind::None:
        return context;
    }
    int start = 0;
    int end = 0;
    keyAround(line, argument, column, takesSeveralKeys(kind), start, end);
    context.command = argument.command;
    context.start = std::min(start, column);
    context.end = std::max(end, column);
    context.prefix = line.mid(context.start, column - context.start).toString();
    return context;
}

PositionTarget targetAt(QStringView line, int column) {
    PositionTarget target;
    const int limit = commentStart(line);
    if (column < 0 || column > limit) return target;
    // The caret just before a backslash stands on that command.
    const int at = column < limit && line[column] == u'\\' ? column + 1 : column;
    const CommandSpan name = commandAround(line, at);
    if (name.backslash >= 0 && name.end > name.backslash + 1) {
        target.command = line.mid(name.backslash + 1, name.end - name.backslash - 1).toString();
        target.start = name.backslash;
        target.end = name.end;
        return target;
    }
    const ArgumentSpan argument = argumentAround(line, column, limit);
    if (argument.open < 0) return target;
    const ArgumentKind kind = argumentKindOf(argument.command);
    if (kind == ArgumentKind::None) return target;
    int start = 0;
    int end = 0;
    keyAround(line, argument, column, takesSeveralKeys(kind), start, end);
    if (start >= end) return target;
    target.kind = kind;
    target.command = argument.command;
    target.key = line.mid(start, end - start).toString();
    target.start = start;
    target.end = end;
    return target;
}

} // namespace project
