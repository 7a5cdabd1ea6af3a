#pragma once
// The Russian spell checker of the editing control. Unknown words of the Cyrillic runs get
// a red wavy underline (platform::TextMarks, never part of the text). The lines in view are
// checked at once, the rest of the document while the user pauses, in slices short enough
// that no key waits. A line is checked again after every edit in it, leaving the word at
// the caret alone while the caret stays in it. A right click on an underlined word, or the
// Menu key in one, offers up to seven suggestions, "Пропустить все" (for this session) and
// "Добавить в словарь" (the personal dictionary).
//
// Without a Russian dictionary, or with one that cannot be read, nothing is checked: the
// indicator's notice says so once, when a document is first shown, and Available() stays
// false so that the menu items are disabled.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <future>
#include <memory>
#include <optional>

#include "platform/text_line.h"
#include "platform/text_marks.h"
#include "spelling/personal_dictionary.h"
#include "spelling/russian_dictionary.h"
#include "spelling/word_scanner.h"

class QMenu;
class QWidget;

namespace state {
class Editor;
}

namespace spelling {

class Speller;

// Adds the control's Cut, Copy and Paste ("edit-cut", "edit-copy", "edit-paste") below the
// items of a menu over the text, as a right click elsewhere offers them.
void addEditItems(QMenu& menu, platform::TRichEdit& control);

class SpellChecker final : public QObject {
    Q_OBJECT

  public:
    // The file, in the editor's settings folder, that remembers whether checking is on.
    static constexpr const char* kSettingFile = "spelling.set";
    // How long the user must pause before the rest of the document is checked.
    static constexpr int kPauseMs = 300;
    // The longest slice of that checking, so that a key pressed meanwhile waits no longer.
    static constexpr int kSliceMs = 8;

    struct Places {
        QString dictionary; // the dictionary's .aff file; empty when none was found
        QString personal;   // the personal dictionary's file
    };

    // Lives as the editing control's child; reads the dictionary in the background.
    SpellChecker(state::Editor& editor, Places places);
    ~SpellChecker() override;

    // "Проверка орфографии": switches checking on or off; remembered between runs.
    void ToggleChecking();
    // "Следующая ошибка орфографии": selects the next unknown word after the caret (after
    // the selection), going round from the top past the last one; a beep when there is none.
    void NextMisspelling();

    // A dictionary was read: the menu items may be used.
    bool Available() const { return speller_ != nullptr; }
    bool Checking() const { return Available() && checking_; }

    // The menu of an underlined word: its suggestions, "Пропустить все" and "Добавить в
    // словарь", each an action with an objectName, then the control's Cut, Copy and Paste
    // ("edit-cut", "edit-copy", "edit-paste"); null when the range is no word.
    QMenu* MenuFor(int line, platform::LineRange mark, QWidget* parent);

    // Goes on with the control that is now editor.RichEdit1 (another document was shown):
    // its marks are kept with it, and what it has not checked yet is checked in pauses.
    void FollowControl();

    // Waits for the dictionary (for tests and benchmarks; the window never waits).
    void WaitForDictionary();
    // Checks every line now, as the pauses would.
    void CheckAll();

  signals:
    // The dictionary came or failed, or checking was switched: the menu items follow.
    void stateChanged();

  private:
    void attach(platform::TRichEdit& control);
    void pollDictionary();
    void dictionaryArrived(const LoadedDictionary& loaded);
    bool readSetting() const;
    void startChecking();
    ScanState stateBefore(int line);
    void checkLine(int line, bool leaveCaretWord);
    void checkSoon();
    void checkInPause();
    const platform::TextMarks::Point& caret();
    bool inWaitingWord(const platform::TextMarks::Point& caret);
    void caretMoved();
    void textReplaced();
    // A word the user took: never flagged again this session (and after, when personal).
    void accept(const QString& word, bool personal);
    void noteWhenShown();
    void showNote();
    bool showMenu(int line, platform::LineRange mark, const QPoint& where);

    state::Editor& editor_;
    platform::TextMarks* marks_;
    PersonalDictionary personal_;
    std::shared_future<LoadedDictionary> loading_;
    std::unique_ptr<Speller> speller_;
    bool checking_ = false;
    QString note_;           // waiting for a document to be shown
    bool noteShown_ = false; // a start shows its note once

    QTimer poll_;  // until the dictionary is read
    QTimer soon_;  // the edited lines in view, at the next turn of the event loop
    QTimer pause_; // the rest, while the user pauses
    QElapsedTimer sinceEdit_;
    int editedFirst_ = -1; // lines edited since they were last looked at
    int editedLast_ = -1;
    int editedLine_ = -1;       // the line of the last edit within one line
    bool shownPending_ = false; // every line in view is to be looked at
    int pauseFrom_ = 0;         // where checking in pauses goes on
    // The word left alone at the caret: checked once the caret leaves it.
    int waitingLine_ = -1;
    platform::LineRange waitingWord_;
    std::optional<platform::TextMarks::Point> caret_;
    QMetaObject::Connection caretConnection_;
};

} // namespace spelling
