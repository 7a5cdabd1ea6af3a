#include "processing/command_line.h"

namespace processing {

QString targetName(const QString& docName, const QString& mainFile) {
    return mainFile == QLatin1String("*") ? docName : mainFile;
}

QString targetArgument(const QString& target, const QString& extension) {
    QString argument = target + extension;
    if (argument.startsWith(QLatin1Char('-'))) argument.prepend(QLatin1String("./"));
    return argument;
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
