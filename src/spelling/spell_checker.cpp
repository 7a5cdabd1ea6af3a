#include "spelling/spell_checker.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/text_marks.h"
#include "spelling/speller.h"
#include "spelling/word_scanner.h"
#include "state/editor.h"

namespace spelling {
namespace {

constexpr int kPollMs = 25;
// An edit over at most this many lines is checked at once, wherever it is.
constexpr int kSoonLines = 64;
constexpr int kPauseTickMs = 100;

} // namespace

SpellChecker::SpellChecker(state::Editor& editor, Places places)
    : QObject(editor.RichEdit1), editor_(editor), marks_(nullptr),
      personal_(std::move(places.personal)) {
    attach(*editor.RichEdit1);

    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, &SpellChecker::checkSoon);
    pause_.setInterval(kPauseTickMs);
    connect(&pause_, &QTimer::timeout, this, &SpellChecker::checkInPause);

    if (places.dictionary.isEmpty()) {
        note_ = QStringLiteral("Нет словаря для орфографии"); // shown with the first document
        return;
    }
    loading_ = loadDictionary(places.dictionary);
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &SpellChecker::pollDictionary);
    poll_.start();
}

SpellChecker::~SpellChecker() = default;

// The control's marks (made at its first turn) report to this checker while it is current.
void SpellChecker::attach(platform::TRichEdit& control) {
    marks_ = &platform::TextMarks::Of(control, platform::MarkLayer::Spelling);
    marks_->OnLinesEdited = [this](int first, int last) {
        caret_.reset();
        sinceEdit_.restart();
        if (first == last) editedLine_ = first;
        if (!Checking()) return;
        editedFirst_ = editedFirst_ < 0 ? first : std::min(editedFirst_, first);
        editedLast_ = std::max(editedLast_, last);
        pauseFrom_ = std::min(pauseFrom_, first);
        if (!soon_.isActive()) soon_.start();
        if (!pause_.isActive()) pause_.start();
    };
    marks_->OnTextReplaced = [this] { textReplaced(); };
    marks_->OnViewChanged = [this] {
        if (!Checking()) return;
        shownPending_ = true;
        if (!soon_.isActive()) soon_.start();
    };
    marks_->OnMarkMenu = [this](int line, platform::LineRange mark, const QPoint& where) {
        return showMenu(line, mark, where);
    };
    caretConnection_ =
        connect(&control, &QPlainTextEdit::cursorPositionChanged, this, &SpellChecker::caretMoved);
}

void SpellChecker::FollowControl() {
    platform::TRichEdit& control = *editor_.RichEdit1;
    if (marks_ != nullptr && &marks_->Control() == &control) return;
    // The marks left behind keep their lines (they move with edits by themselves) and wait,
    // unreported, until their control is current again.
    if (marks_ != nullptr) {
        marks_->OnLinesEdited = nullptr;
        marks_->OnTextReplaced = nullptr;
        marks_->OnViewChanged = nullptr;
        marks_->OnMarkMenu = nullptr;
    }
    disconnect(caretConnection_);
    attach(control);
    caret_.reset();
    waitingLine_ = editedLine_ = -1;
    editedFirst_ = editedLast_ = -1;
    if (!Checking()) {
        marks_->ClearAll();
        return;
    }
    // What is in view first, the lines not yet checked while the user pauses.
    pauseFrom_ = 0;
    shownPending_ = true;
    soon_.start();
    pause_.start();
}

void SpellChecker::pollDictionary() {
    if (loading_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    poll_.stop();
    dictionaryArrived(loading_.get());
}

void SpellChecker::WaitForDictionary() {
    if (!poll_.isActive()) return;
    loading_.wait();
    pollDictionary();
}

void SpellChecker::dictionaryArrived(const LoadedDictionary& loaded) {
    if (!loaded.dictionary) {
        note_ = QStringLiteral("Словарь орфографии не читается");
        noteWhenShown();
        emit stateChanged();
        return;
    }
    speller_ = std::make_unique<Speller>(loaded.dictionary);
    personal_.load();
    for (const QString& word : personal_.words())
        speller_->accept(word);
    note_ = personal_.note();
    checking_ = readSetting();
    if (checking_) startChecking();
    noteWhenShown();
    emit stateChanged();
}

bool SpellChecker::readSetting() const {
    if (editor_.SettingsDir.isEmpty()) return true;
    QFile file(platform::joinPath(editor_.SettingsDir, QLatin1String(kSettingFile)));
    if (!file.open(QIODevice::ReadOnly)) return true; // on unless the user switched it off
    return !file.readLine().trimmed().startsWith('0');
}

void SpellChecker::ToggleChecking() {
    if (!Available()) {
        editor_.prompts().beep();
        return;
    }
    checking_ = !checking_;
    marks_->ClearAll();
    waitingLine_ = -1;
    if (checking_) {
        startChecking();
    } else {
        soon_.stop();
        if (note_.isEmpty() || noteShown_) pause_.stop();
    }
    emit stateChanged();
    editor_.WriteSettingsFile(kSettingFile, checking_ ? "1\r\n" : "0\r\n");
}

void SpellChecker::startChecking() {
    pauseFrom_ = 0;
    shownPending_ = true;
    soon_.start();
    pause_.start();
}

// What the lines above leave open for a line: read from the nearest line whose state is
// known, keeping the states of the lines read on the way.
ScanState SpellChecker::stateBefore(int line) {
    return marks_->StateBefore<ScanState>(
        line, [](const platform::TextLine& text, ScanState& state) { wordsOf(text, state); });
}

void SpellChecker::checkLine(int line, bool leaveCaretWord) {
    const platform::TextLine text = marks_->Line(line);
    const platform::TextMarks::Point at =
        leaveCaretWord ? caret() : platform::TextMarks::Point{-1, 0, QChar()};
    std::vector<platform::LineRange> unknown;
    ScanState state = stateBefore(line);
    for (const Word& word : wordsOf(text, state)) {
        if (line == at.line && at.offset >= word.range.start && at.offset <= word.range.end()) {
            waitingLine_ = line;
            waitingWord_ = word.range;
            continue;
        }
        if (!speller_->isKnown(word)) unknown.push_back(word.range);
    }
    marks_->SetMarks(line, std::move(unknown));
    marks_->SetEndState(line, state.pack()); // a change leaves the next line unchecked
}

// The lines just edited (of a long paste, those in view), and after a load, a scroll or a
// word taken, every line in view.
void SpellChecker::checkSoon() {
    if (!Checking()) return;
    std::vector<std::pair<int, int>> ranges;
    if (shownPending_) ranges.push_back(marks_->ShownLines());
    // Typing on in the word left alone changes nothing else in its line: the line waits for
    // the caret to leave the word.
    const bool typingOn =
        editedFirst_ == editedLast_ && editedFirst_ == waitingLine_ && inWaitingWord(caret());
    if (editedFirst_ >= 0 && !typingOn) {
        if (editedLast_ - editedFirst_ < kSoonLines) {
            ranges.emplace_back(editedFirst_, editedLast_);
        } else {
            const auto [first, last] = marks_->ShownLines();
            ranges.emplace_back(std::max(first, editedFirst_), std::min(last, editedLast_));
        }
    }
    shownPending_ = false;
    editedFirst_ = editedLast_ = -1;
    const int lastShown = marks_->ShownLines().second;
    for (const auto& [from, to] : ranges) {
        int line = from <= to ? marks_->NextUnchecked(from, to) : -1;
        for (; line >= 0; line = line < to ? marks_->NextUnchecked(line + 1, to) : -1)
            checkLine(line, line == editedLine_);
        // Lines below in view that an opened "$" or environment reaches follow at once.
        for (line = to + 1; line <= lastShown && !marks_->IsChecked(line); ++line)
            checkLine(line, line == editedLine_);
    }
}

// The rest of the document, a slice at a time, once the user has paused.
void SpellChecker::checkInPause() {
    if (sinceEdit_.isValid() && sinceEdit_.elapsed() < kPauseMs) return;
    if (!noteShown_ && !note_.isEmpty() && editor_.RichEdit1->isEnabled() &&
        !QApplication::activeModalWidget())
        showNote();
    if (!Checking()) {
        if (note_.isEmpty() || noteShown_) pause_.stop();
        return;
    }
    QElapsedTimer slice;
    slice.start();
    int line = marks_->NextUnchecked(pauseFrom_);
    if (line < 0 && pauseFrom_ > 0) line = marks_->NextUnchecked(0);
    while (line >= 0) {
        checkLine(line, line == editedLine_);
        pauseFrom_ = line + 1;
        if (slice.elapsed() >= kSliceMs) return;
        line = marks_->NextUnchecked(pauseFrom_);
    }
    if (pauseFrom_ > 0 && marks_->NextUnchecked(0) >= 0) {
        pauseFrom_ = 0; // lines above were edited meanwhile
        return;
    }
    if (note_.isEmpty() || noteShown_) pause_.stop();
}

void SpellChecker::CheckAll() {
    if (!Checking()) return;
    for (int line = marks_->NextUnchecked(0); line >= 0; line = marks_->NextUnchecked(line + 1))
        checkLine(line, false);
}

// The caret, found once between its moves and edits (each key asks several times).
const platform::TextMarks::Point& SpellChecker::caret() {
    if (!caret_) caret_ = marks_->Caret();
    return *caret_;
}

// Whether the caret is still in the word left alone, which grows as the user types on.
bool SpellChecker::inWaitingWord(const platform::TextMarks::Point& caret) {
    if (caret.line != waitingLine_ || caret.offset < waitingWord_.start) return false;
    if (caret.offset <= waitingWord_.end()) return true;
    if (!isCyrillicLetter(caret.before)) return false;
    waitingWord_.length = caret.offset - waitingWord_.start;
    return true;
}

// The word left at the caret is checked once the caret has left it.
void SpellChecker::caretMoved() {
    caret_.reset();
    if (waitingLine_ < 0 || !Checking() || inWaitingWord(caret())) return;
    const int line = waitingLine_;
    waitingLine_ = -1;
    if (line < marks_->LineCount()) checkLine(line, line == editedLine_);
}

void SpellChecker::textReplaced() {
    caret_.reset();
    waitingLine_ = editedLine_ = -1;
    editedFirst_ = editedLast_ = -1;
    pauseFrom_ = 0;
    sinceEdit_.restart();
    if (Checking()) startChecking();
    if (!note_.isEmpty() && !noteShown_) pause_.start(); // shown once the user pauses
}

// A note waits for a document in the window and for the user's pause.
void SpellChecker::noteWhenShown() {
    if (!note_.isEmpty() && !noteShown_ && editor_.RichEdit1->isEnabled()) pause_.start();
}

void SpellChecker::showNote() {
    noteShown_ = true;
    editor_.ShowIndicatorNotice(note_);
}

void SpellChecker::NextMisspelling() {
    if (!Checking()) {
        editor_.prompts().beep();
        return;
    }
    caret_.reset();
    // From the caret to the end, then round from the top, as find goes.
    for (const platform::TextMarks::Point& from : {caret(), platform::TextMarks::Point{}}) {
        int line = from.line;
        int offset = from.offset;
        for (;;) {
            const platform::TextMarks::Found found = marks_->FindMark(line, offset);
            if (found.line < 0) break;
            if (found.isMark) {
                marks_->Select(found.line, found.mark);
                editor_.RichEdit1->setFocus();
                editor_.RefreshLayoutIndicator();
                return;
            }
            checkLine(found.line, false); // and look there again
            if (found.line != line) offset = 0;
            line = found.line;
        }
    }
    editor_.prompts().beep();
}

// Below the word's own items, the control's Cut, Copy and Paste, as a right click anywhere
// else offers them (Paste goes through the control's paste guard there too).
void addEditItems(QMenu& menu, platform::TRichEdit& control) {
    const std::unique_ptr<QMenu> standard(control.createStandardContextMenu());
    bool first = true;
    for (QAction* item : standard->actions()) {
        const QString name = item->objectName();
        if (name != QLatin1String("edit-cut") && name != QLatin1String("edit-copy") &&
            name != QLatin1String("edit-paste"))
            continue;
        if (first) menu.addSeparator();
        first = false;
        standard->removeAction(item);
        item->setParent(&menu);
        menu.addAction(item);
    }
}

QMenu* SpellChecker::MenuFor(int line, platform::LineRange mark, QWidget* parent) {
    if (!Available()) return nullptr;
    ScanState state = stateBefore(line);
    const std::vector<Word> words = wordsOf(marks_->Line(line), state);
    const auto word = std::find_if(words.begin(), words.end(),
                                   [&mark](const Word& w) { return w.range == mark; });
    if (word == words.end()) return nullptr;
    const QString text = word->text;
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("SpellMenu1"));
    const QStringList suggestions = speller_->suggestions(text);
    for (int i = 0; i < suggestions.size(); ++i) {
        QAction* choice = menu->addAction(suggestions[i]);
        choice->setObjectName(QStringLiteral("SpellSuggestion%1").arg(i + 1));
        connect(choice, &QAction::triggered, this, [this, line, mark, s = suggestions[i]] {
            editor_.Guarded([&] {
                if (!marks_->Replace(line, mark, s)) editor_.prompts().beep();
            });
        });
    }
    if (suggestions.isEmpty()) menu->addAction(QStringLiteral("Нет вариантов"))->setEnabled(false);
    menu->addSeparator();
    QAction* ignore = menu->addAction(QStringLiteral("Пропустить все"));
    ignore->setObjectName(QStringLiteral("SpellIgnoreAll1"));
    connect(ignore, &QAction::triggered, this,
            [this, text] { editor_.Guarded([&] { accept(text, false); }); });
    QAction* add = menu->addAction(QStringLiteral("Добавить в словарь"));
    add->setObjectName(QStringLiteral("SpellAddWord1"));
    connect(add, &QAction::triggered, this,
            [this, text] { editor_.Guarded([&] { accept(text, true); }); });
    addEditItems(*menu, *editor_.RichEdit1);
    return menu;
}

bool SpellChecker::showMenu(int line, platform::LineRange mark, const QPoint& where) {
    const std::unique_ptr<QMenu> menu(MenuFor(line, mark, editor_.RichEdit1));
    if (!menu) return false;
    menu->exec(where);
    return true;
}

void SpellChecker::accept(const QString& word, bool personal) {
    speller_->accept(word);
    if (personal && !personal_.add(word)) editor_.ShowIndicatorNotice(personal_.note());
    // Its marks go at once: the lines that have any are checked again.
    for (const int line : marks_->MarkedLines())
        checkLine(line, line == editedLine_);
}

} // namespace spelling
