#pragma once
// The Russian dictionary in Hunspell's format that Debian ships (hunspell-ru: ru_RU.aff
// and ru_RU.dic), read with Nuspell, which gives the same answers as Hunspell's own
// library on it and reads words faster (bench/bench_spelling.cpp measures both).
//
// Reading the dictionary takes a tenth of a second or more, so it is read in a thread of
// its own, once per process: every checker of the process shares it, and nothing waits
// for it at start-up.
#include <QString>
#include <QStringList>
#include <future>
#include <memory>
#include <stdexcept>

namespace nuspell {
inline namespace v5 {
class Dictionary;
}
} // namespace nuspell

namespace spelling {

class DictionaryError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RussianDictionary {
  public:
    // Reads the dictionary whose .aff file is given (its .dic beside it). Throws
    // DictionaryError when a file is missing, unreadable or malformed, or when what was read
    // knows none of the commonest Russian words.
    explicit RussianDictionary(const QString& affPath);
    ~RussianDictionary();
    RussianDictionary(const RussianDictionary&) = delete;
    RussianDictionary& operator=(const RussianDictionary&) = delete;

    // Safe to call from several threads at once.
    bool spell(const QString& word) const;
    QStringList suggest(const QString& word, int count) const;

  private:
    std::unique_ptr<nuspell::Dictionary> dictionary_;
};

struct LoadedDictionary {
    std::shared_ptr<const RussianDictionary> dictionary; // null when it could not be read
    QString error;                                       // why, when it could not
};

// The dictionary of an .aff path, read once per process in a thread of its own.
std::shared_future<LoadedDictionary> loadDictionary(const QString& affPath);

// Where the dictionary is looked for: the folders of KOLBAX_DICPATH alone when it is set
// (colon-separated); otherwise those of DICPATH (Hunspell's own variable), then
// $XDG_DATA_HOME/hunspell (~/.local/share/hunspell) and the system's folders.
QStringList dictionaryFolders();

// The ru_RU (else ru) .aff file of the first folder that has it with its .dic; empty when
// none has.
QString findRussianDictionary(const QStringList& folders);

} // namespace spelling
