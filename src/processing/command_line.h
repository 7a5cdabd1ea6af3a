#pragma once
// The command lines of the processing commands: which file they act on, how the
// configured command is split into the words of the program that is started, and the one
// argument that names the file. No shell ever sees a command line.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace processing {

// The file the processing commands and the LOG viewer act on: the document itself when it
// is a main file ("*"), otherwise its main file as the project link names it, taken from
// the document's folder. A link is a bare name ("thesis", a file beside the document, even
// an empty one when no choice was made) or a relative path ("../thesis" for a chapter in a
// folder below its main file); the folder is where the programs run.
struct Target {
    QString folder; // absolute: where the main file lies and the programs run
    QString name;   // without extension, exactly as the link has it after its last "/"
    QString file(const QString& extension) const;
};
Target targetOf(const QString& docDir, const QString& docName, const QString& mainFile);

// The argument that names the target file, appended to the configured command's words as
// one word whatever it holds (blanks, quotes): the target name and the extension. A name
// starting with "-" is given as "./-name" so that no program takes it for an option.
QString targetArgument(const QString& target, const QString& extension);

// Splits a configured command into words: blanks and tabs separate words; a double quote
// starts or ends a quoted stretch in which blanks belong to the word, and is itself
// dropped ("" gives an empty word). No other character is special.
std::vector<std::string> splitCommandLine(std::string_view line);

} // namespace processing
