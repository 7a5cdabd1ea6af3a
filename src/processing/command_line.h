#pragma once
// The command lines of the processing commands: which file they act on, how the line is
// built from the configured command, and how it is split into the words of the program
// that is started. No shell ever sees a command line.
#include <string>
#include <string_view>
#include <vector>

namespace processing {

// The name the processing commands and the LOG viewer act on: the document itself when it
// is a main file ("*"), otherwise its main file's name exactly as stored (even when empty).
std::string targetName(const std::string& docName, const std::string& mainFile);

// The configured command, one blank, the target name and the extension. The name is not
// quoted and carries no folder; the line has no length limit.
std::string buildCommandLine(const std::string& command, const std::string& target,
                             const std::string& extension);

// Splits a command line into words: blanks and tabs separate words; a double quote starts
// or ends a quoted stretch in which blanks belong to the word, and is itself dropped
// ("" gives an empty word). No other character is special.
std::vector<std::string> splitCommandLine(std::string_view line);

} // namespace processing
