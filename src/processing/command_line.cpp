#include "processing/command_line.h"

namespace processing {

std::string targetName(const std::string& docName, const std::string& mainFile) {
    return mainFile == "*" ? docName : mainFile;
}

std::string buildCommandLine(const std::string& command, const std::string& target,
                             const std::string& extension) {
    std::string line;
    line.reserve(command.size() + 1 + target.size() + extension.size());
    line += command;
    line += ' ';
    line += target;
    line += extension;
    return line;
}

std::vector<std::string> splitCommandLine(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false; // a word has started (a quote alone starts one)
    bool inQuotes = false;
    for (char c : line) {
        if (c == '"') {
            inQuotes = !inQuotes;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

} // namespace processing
