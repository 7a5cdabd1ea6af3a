#include "spelling/russian_dictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <map>
#include <mutex>
#include <nuspell/dictionary.hxx>
#include <string>
#include <vector>

namespace spelling {
namespace {

// Files larger than this are no dictionary the editor should take in (Debian's is 3.5 MB).
constexpr qint64 kLargestFile = 64 * 1024 * 1024;

std::string utf8(const QString& text) {
    return text.toStdString();
}

void checkFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) throw DictionaryError("no file " + utf8(path));
    if (!info.isFile() || !info.isReadable()) throw DictionaryError("cannot read " + utf8(path));
    if (info.size() > kLargestFile) throw DictionaryError("too large: " + utf8(path));
}

// The .dic file begins with the number of its words, which the reader makes room for: a
// number larger than the file could hold is a damaged file, never a reason to claim memory.
void checkWordCount(const QString& dicPath) {
    QFile dic(dicPath);
    if (!dic.open(QIODevice::ReadOnly)) throw DictionaryError("cannot read " + utf8(dicPath));
    QByteArray first = dic.readLine(32).trimmed();
    if (first.startsWith("\xEF\xBB\xBF")) first.remove(0, 3);
    bool number = false;
    const qint64 count = first.toLongLong(&number);
    if (!number || count < 0 || count > dic.size())
        throw DictionaryError("no word count in " + utf8(dicPath));
}

QString dicPathOf(const QString& affPath) {
    QString dic = affPath;
    if (dic.endsWith(QLatin1String(".aff"))) dic.chop(4);
    return dic + QLatin1String(".dic");
}

QStringList foldersOf(const char* variable) {
    return QString::fromLocal8Bit(qgetenv(variable)).split(u':', Qt::SkipEmptyParts);
}

} // namespace

RussianDictionary::RussianDictionary(const QString& affPath)
    : dictionary_(std::make_unique<nuspell::Dictionary>()) {
    checkFile(affPath);
    checkFile(dicPathOf(affPath));
    checkWordCount(dicPathOf(affPath));
    try {
        dictionary_->load_aff_dic(std::filesystem::path(QFile::encodeName(affPath).toStdString()));
    } catch (const std::exception& e) {
        throw DictionaryError(e.what());
    }
    // A dictionary of another language, or one that lost its words, knows none of these.
    for (const char* word : {"и", "что", "быть"})
        if (!dictionary_->spell(word)) throw DictionaryError("not a Russian dictionary");
}

RussianDictionary::~RussianDictionary() = default;

bool RussianDictionary::spell(const QString& word) const {
    return dictionary_->spell(utf8(word));
}

QStringList RussianDictionary::suggest(const QString& word, int count) const {
    std::vector<std::string> found;
    dictionary_->suggest(utf8(word), found);
    QStringList suggestions;
    for (const std::string& suggestion : found) {
        if (suggestions.size() >= count) break;
        suggestions.append(QString::fromStdString(suggestion));
    }
    return suggestions;
}

std::shared_future<LoadedDictionary> loadDictionary(const QString& affPath) {
    static std::mutex mutex;
    static std::map<QString, std::shared_future<LoadedDictionary>> loads;
    const std::lock_guard lock(mutex);
    auto& load = loads[affPath];
    if (!load.valid()) {
        load = std::async(std::launch::async, [affPath] {
                   LoadedDictionary loaded;
                   try {
                       loaded.dictionary = std::make_shared<const RussianDictionary>(affPath);
                   } catch (const std::exception& e) {
                       loaded.error = QString::fromStdString(e.what());
                   }
                   return loaded;
               }).share();
    }
    return load;
}

QStringList dictionaryFolders() {
    if (qEnvironmentVariableIsSet("KOLBAX_DICPATH")) return foldersOf("KOLBAX_DICPATH");
    QStringList folders = foldersOf("DICPATH");
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(u'/')) data = QDir::homePath() + QLatin1String("/.local/share");
    folders << data + QLatin1String("/hunspell") << QStringLiteral("/usr/share/hunspell")
            << QStringLiteral("/usr/share/myspell") << QStringLiteral("/usr/share/myspell/dicts");
    return folders;
}

QString findRussianDictionary(const QStringList& folders) {
    for (const QString& folder : folders) {
        for (const char* name : {"ru_RU", "ru"}) {
            const QString base = QDir(folder).filePath(QLatin1String(name));
            if (QFileInfo::exists(base + QLatin1String(".aff")) &&
                QFileInfo::exists(base + QLatin1String(".dic")))
                return base + QLatin1String(".aff");
        }
    }
    return {};
}

} // namespace spelling
