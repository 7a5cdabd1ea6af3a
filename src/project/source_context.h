#pragma once
// What the text around a place in a line is, for completion and for going to a definition:
// a command name being written, or a key, label or file name inside the braces of a
// command of a known family. Works on one line of the document's text; columns count
// UTF-16 units from 0.
#include <QString>
#include <QStringView>

namespace project {

// The families of commands whose arguments the project knows.
enum class ArgumentKind {
    None,
    Label,        // \label
    Reference,    // \ref, \eqref, \pageref, \cref ...
    Citation,     // \cite, \citep, \parencite, \textcite ...
    Input,        // \input, \include, \subfile
    Graphics,     // \includegraphics
    Bibliography, // \bibliography, \addbibresource
    Environment,  // \begin, \end
};

// The family of a command name written without its backslash ("eqref", "citep*").
ArgumentKind argumentKindOf(QStringView command);

// What a completion at a column would offer: the list, the text typed so far (the
// prefix) and the part of the line an entry replaces [start, end).
enum class CompletionKind {
    None,
    Command,
    Environment,
    Label,
    Citation,
    InputFile,
    GraphicsFile,
    BibliographyFile
};
struct CompletionContext {
    CompletionKind kind = CompletionKind::None;
    QString command; // the command whose argument is completed, without its backslash
    QString prefix;  // for commands with its backslash
    int start = 0;
    int end = 0;
};
CompletionContext completionContextAt(QStringView line, int column);

// What lies under a column: a command name, or the one key of an argument.
struct PositionTarget {
    ArgumentKind kind = ArgumentKind::None; // None with a command name: a command
    QString command;                        // without its backslash
    QString key;                            // the key, file or environment; empty for a command
    int start = 0;                          // the key's (or the command's) columns
    int end = 0;
    bool IsCommand() const { return kind == ArgumentKind::None && !command.isEmpty(); }
    bool IsEmpty() const { return command.isEmpty(); }
};
PositionTarget targetAt(QStringView line, int column);

} // namespace project
