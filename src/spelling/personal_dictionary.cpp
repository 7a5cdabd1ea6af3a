#include "spelling/personal_dictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <pwd.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/errors.h"
#include "spelling/word_scanner.h"

namespace spelling {
namespace {

constexpr qsizetype kLongestWord = 100;

// A line's text; nothing when it is no UTF-8 text.
QString lineText(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return decoder.hasError() ? QString() : text;
}

} // namespace

struct PersonalDictionary::Reading {
    std::string bytes;
    QStringList words;
    int otherLines = 0; // lines that are no Russian word
    bool whole = true;  // read whole and a text: it may be written again
    QString problem;    // why it was not read whole
};

PersonalDictionary::PersonalDictionary(QString path) : path_(std::move(path)) {}

PersonalDictionary::Reading PersonalDictionary::read() const {
    Reading reading;
    QFile file(path_);
    if (!QFileInfo::exists(path_)) return reading;
    if (!QFileInfo(path_).isFile() || !file.open(QIODevice::ReadOnly)) {
        reading.whole = false;
        reading.problem = QStringLiteral("не читается");
        return reading;
    }
    const QByteArray read = file.read(kLargestFile + 1);
    reading.bytes.assign(read.constData(), static_cast<size_t>(read.size()));
    if (file.error() != QFileDevice::NoError) {
        reading.whole = false;
        reading.problem = QStringLiteral("не читается");
    } else if (static_cast<qint64>(reading.bytes.size()) > kLargestFile) {
        // Only whole lines of the part read count.
        reading.bytes.resize(reading.bytes.rfind('\n', kLargestFile) + 1);
        reading.whole = false;
        reading.problem = QStringLiteral("слишком велик");
    }
    if (reading.bytes.find('\0') != std::string::npos) {
        reading.whole = false;
        reading.problem = QStringLiteral("не текст");
    }
    std::string_view rest = reading.bytes;
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const QString word = lineText(line).trimmed();
        if (isRussianWord(word))
            reading.words.append(word);
        else if (!line.empty())
            ++reading.otherLines; // another script, a binary line, a line of megabytes
    }
    return reading;
}

void PersonalDictionary::load() {
    Reading reading = read();
    words_ = std::move(reading.words);
    note_.clear();
    if (!reading.whole)
        note_ = QStringLiteral("Личный словарь %1").arg(reading.problem);
    else if (reading.otherLines > 0)
        note_ = QStringLiteral("Пропущено строк словаря: %1").arg(reading.otherLines);
}

bool PersonalDictionary::add(const QString& word) {
    if (!words_.contains(word)) words_.append(word);
    const Reading current = read(); // another editor may have added words meanwhile
    for (const QString& known : current.words)
        if (!words_.contains(known)) words_.append(known);
    if (!current.whole) {
        note_ = QStringLiteral("Личный словарь не записан");
        return false;
    }
    if (current.words.contains(word)) return true;
    std::string bytes = current.bytes;
    if (!bytes.empty() && bytes.back() != '\n') bytes += '\n';
    bytes += word.toStdString();
    bytes += '\n';
    try {
        const QString folder = QFileInfo(path_).absolutePath();
        if (!QDir().mkpath(folder)) throw platform::InOutError(EACCES);
        platform::writeFileAtomically(path_, bytes);
    } catch (const platform::RuntimeError&) {
        note_ = QStringLiteral("Личный словарь не записан");
        return false;
    }
    return true;
}

QString personalDictionaryPath() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (!data.startsWith(u'/')) {
        QString home = qEnvironmentVariable("HOME");
        if (!home.startsWith(u'/')) {
            const passwd* user = ::getpwuid(::getuid());
            home = user ? QFile::decodeName(user->pw_dir) : QString();
        }
        data = home + QLatin1String("/.local/share");
    }
    return data + QLatin1String("/kolbax/dictionary.txt");
}

bool isRussianWord(const QString& word) {
    if (word.isEmpty() || word.size() > kLongestWord) return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const bool hyphen = word[i] == u'-' && i > 0 && i + 1 < word.size() && word[i - 1] != u'-';
        if (!isCyrillicLetter(word[i]) && !hyphen) return false;
    }
    return true;
}

} // namespace spelling
