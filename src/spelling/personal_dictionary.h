#pragma once
// The user's own words: a UTF-8 text file, one word a line, in
// $XDG_DATA_HOME/kolbax/dictionary.txt (~/.local/share/kolbax/dictionary.txt).
//
// The file is the user's, so it is read as far as it makes sense and never rewritten with
// less than it held: a line that is no Russian word (another script, a binary line, a line
// of megabytes) is kept as it is, only not used, and noted. A word is added by writing the
// file as it now stands on disk (another editor may have added words meanwhile) with the
// new line after it, atomically. A file that could not be read whole (unreadable, larger
// than any word list, holding NUL bytes) is never written; the word then holds for this
// session only.
#include <QString>
#include <QStringList>
#include <string>

namespace spelling {

class PersonalDictionary {
  public:
    // Files larger than this are read up to it and never written.
    static constexpr qint64 kLargestFile = 16 * 1024 * 1024;

    explicit PersonalDictionary(QString path);

    // Reads the file; a missing one is an empty dictionary.
    void load();
    // The Russian words of the file and those added since.
    const QStringList& words() const { return words_; }
    // What the user should know about the file (lines not used, a file not read); empty
    // when it was read whole and every line is a word.
    const QString& note() const { return note_; }

    // Adds a word to the file. False, with the reason in note(), when the file was not
    // written; the word is among words() in any case.
    bool add(const QString& word);

    const QString& path() const { return path_; }

  private:
    struct Reading;
    Reading read() const;

    QString path_;
    QStringList words_;
    QString note_;
};

// $XDG_DATA_HOME/kolbax/dictionary.txt, or ~/.local/share/kolbax/dictionary.txt.
QString personalDictionaryPath();

// Whether a word is one the personal dictionary takes: Russian letters, hyphens between
// them, at most 100 characters.
bool isRussianWord(const QString& word);

} // namespace spelling
