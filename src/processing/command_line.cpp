#include "processing/command_line.h"

#include <QDir>

#include "platform/paths.h"

namespace processing {

QString Target::file(const QString& extension) const {
    return platform::joinPath(folder, name + extension);
}

Target targetOf(const QString& docDir, const QString& docName, const QString& mainFile) {
    if (mainFile == QLatin1String("*")) return {docDir, docName};
    const qsizetype slash = mainFile.lastIndexOf(u'/');
    if (slash < 0) return {docDir, mainFile};
    const QString folder = mainFile.left(slash);
    const QString absolute = mainFile.startsWith(u'/')
                                 ? (folder.isEmpty() ? QStringLiteral("/") : folder)
                                 : platform::joinPath(docDir, folder);
    return {QDir::cleanPath(absolute), mainFile.mid(slash + 1)};
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
