#include "typography/typography_checker.h"

#include <QMenu>
#include <algorithm>
#include <memory>

#include "platform/prompts.h"
#include "platform/richedit.h"
#include "spelling/spell_checker.h"
#include "state/editor.h"
#include "typography/typography_dialog.h"

namespace typography {
namespace {

// An edit over at most this many lines is checked at once, wherever it is.
constexpr int kSoonLines = 64;
constexpr int kPauseTickMs = 100;

} // namespace

TypographyChecker::TypographyChecker(state::Editor& editor)
    : QObject(editor.RichEdit1), editor_(editor) {
    attach(*editor.RichEdit1);
    soon_.setSingleShot(true);
    soon_.setInterval(0);
    connect(&soon_, &QTimer::timeout, this, &TypographyChecker::checkSoon);
    pause_.setInterval(kPauseTickMs);
    connect(&pause_, &QTimer::timeout, this, &TypographyChecker::checkInPause);
    refreshOptions(true);
}

bool TypographyChecker::Checking() const {
    return std::find(settings_.rules.begin(), settings_.rules.end(), true) != settings_.rules.end();
}

void TypographyChecker::attach(platform::TRichEdit& control) {
    marks_ = &platform::TextMarks::Of(control, platform::MarkLayer::Typography);
    marks_->OnLinesEdited = [this](int first, int last) {
        sinceEdit_.restart();
        if (!Checking()) return;
        pauseFrom_ = std::min(pauseFrom_, first);
        if (!pause_.isActive()) pause_.start();
        // The line being typed waits for the pause: a mark there would only flicker at the
        // word the user is still writing, and checking it at every key would cost a key more.
        if (first == last && marks_->Caret().line == first) return;
        editedFirst_ = editedFirst_ < 0 ? first : std::min(editedFirst_, first);
        editedLast_ = std::max(editedLast_, last);
        if (!soon_.isActive()) soon_.start();
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
    marks_->OnMarkToolTip = [this](int line, platform::LineRange mark) {
        return ReasonFor(line, mark);
    };
}

void TypographyChecker::FollowControl() {
    platform::TRichEdit& control = *editor_.RichEdit1;
    if (&marks_->Control() == &control) return;
    // The marks left behind keep their lines and wait, unanswered, until shown again.
    marks_->OnLinesEdited = nullptr;
    marks_->OnTextReplaced = nullptr;
    marks_->OnViewChanged = nullptr;
    marks_->OnMarkMenu = nullptr;
    marks_->OnMarkToolTip = nullptr;
    attach(control);
    editedFirst_ = editedLast_ = -1;
    refreshOptions(true);
    startChecking();
}

// The options follow the document's encoding and its use of the babel dash; when they
// change, every mark is made again.
void TypographyChecker::refreshOptions(bool documentChanged) {
    if (documentChanged) babelDashes_ = usesBabelDashes(editor_.RichEdit1->PlainText());
    const Options options = optionsFor(settings_, editor_.DocEncoding, babelDashes_);
    if (options.rules == options_.rules && options.guillemets == options_.guillemets &&
        options.thinInitials == options_.thinInitials &&
        options.babelDashes == options_.babelDashes)
        return;
    options_ = options;
    marks_->ClearAll();
}

void TypographyChecker::ReadSettings(const QString& path) {
    settings_ = Settings::read(path);
    refreshOptions(false);
    emit stateChanged();
}

void TypographyChecker::SetSettings(const Settings& settings) {
    settings_ = settings;
    refreshOptions(false);
    if (Checking()) {
        startChecking();
    } else {
        marks_->ClearAll();
        soon_.stop();
        pause_.stop();
    }
    editor_.WriteSettingsFile(Settings::kFile, settings_.text());
    emit stateChanged();
}

void TypographyChecker::Configure() {
    TTypographyDialog dialog(editor_.RichEdit1->window());
    dialog.Prepare(settings_);
    if (editor_.prompts().showModal(dialog) != QDialog::Accepted) return;
    if (dialog.Chosen() != settings_) SetSettings(dialog.Chosen());
}

void TypographyChecker::startChecking() {
    pauseFrom_ = 0;
    shownPending_ = true;
    soon_.start();
    pause_.start();
}

LineState TypographyChecker::stateBefore(int line) {
    return marks_->StateBefore<LineState>(
        line, [](const platform::TextLine& text, LineState& state) { advance(text, state); });
}

void TypographyChecker::checkLine(int line) {
    LineState state = stateBefore(line);
    std::vector<platform::LineRange> ranges;
    for (const Mark& mark : marksOf(marks_->Line(line), state, options_))
        ranges.push_back(mark.range);
    marks_->SetMarks(line, std::move(ranges));
    marks_->SetEndState(line, state.pack());
}

void TypographyChecker::checkSoon() {
    if (!Checking()) return;
    refreshOptions(false); // the document may have taken another encoding
    std::vector<std::pair<int, int>> ranges;
    if (shownPending_) ranges.push_back(marks_->ShownLines());
    if (editedFirst_ >= 0) {
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
            checkLine(line);
        // Lines below in view that an opened quote or environment reaches follow at once.
        for (line = to + 1; line <= lastShown && !marks_->IsChecked(line); ++line)
            checkLine(line);
    }
}

void TypographyChecker::checkInPause() {
    if (sinceEdit_.isValid() && sinceEdit_.elapsed() < spelling::SpellChecker::kPauseMs) return;
    if (!Checking()) {
        pause_.stop();
        return;
    }
    refreshOptions(false);
    QElapsedTimer slice;
    slice.start();
    int line = marks_->NextUnchecked(pauseFrom_);
    if (line < 0 && pauseFrom_ > 0) line = marks_->NextUnchecked(0);
    while (line >= 0) {
        checkLine(line);
        pauseFrom_ = line + 1;
        if (slice.elapsed() >= spelling::SpellChecker::kSliceMs) return;
        line = marks_->NextUnchecked(pauseFrom_);
    }
    if (pauseFrom_ > 0 && marks_->NextUnchecked(0) >= 0) {
        pauseFrom_ = 0;
        return;
    }
    pause_.stop();
}

void TypographyChecker::CheckAll() {
    if (!Checking()) return;
    for (int line = marks_->NextUnchecked(0); line >= 0; line = marks_->NextUnchecked(line + 1))
        checkLine(line);
}

void TypographyChecker::textReplaced() {
    editedFirst_ = editedLast_ = -1;
    pauseFrom_ = 0;
    sinceEdit_.restart();
    refreshOptions(true);
    if (Checking()) startChecking();
}

void TypographyChecker::NextMark() {
    if (!Checking()) {
        editor_.prompts().beep();
        return;
    }
    const platform::TextMarks::Point caret = marks_->Caret();
    for (const platform::TextMarks::Point& from : {caret, platform::TextMarks::Point{}}) {
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
            checkLine(found.line);
            if (found.line != line) offset = 0;
            line = found.line;
        }
    }
    editor_.prompts().beep();
}

std::optional<Mark> TypographyChecker::markAt(int line, platform::LineRange range) {
    if (line < 0 || line >= marks_->LineCount()) return std::nullopt;
    LineState state = stateBefore(line);
    for (Mark& mark : marksOf(marks_->Line(line), state, options_))
        if (mark.range == range) return std::move(mark);
    return std::nullopt;
}

QString TypographyChecker::ReasonFor(int line, platform::LineRange range) {
    const std::optional<Mark> mark = markAt(line, range);
    return mark ? mark->reason : QString();
}

// A fix is one undo step. A word put in one script takes that script's character set, as
// if it had been typed in the right layout.
bool TypographyChecker::fix(int line, const Mark& mark) {
    if (!marks_->Replace(line, {mark.range.start, mark.range.length}, mark.fix)) return false;
    if (mark.rule == Rule::MixedScripts) {
        platform::TRichEdit& edit = *editor_.RichEdit1;
        marks_->Select(line, {mark.range.start, static_cast<int>(mark.fix.size())});
        const bool cyrillic = spelling::isCyrillicLetter(mark.fix[0]);
        edit.SetInsertCharset(cyrillic ? 204 : 0);
        edit.SetSel(edit.SelStart() + edit.SelLength(), 0);
    }
    return true;
}

int TypographyChecker::FixAll(Rule rule) {
    struct Place {
        int line;
        Mark mark;
    };
    std::vector<Place> places;
    LineState state;
    for (int line = 0; line < marks_->LineCount(); ++line)
        for (Mark& mark : marksOf(marks_->Line(line), state, options_))
            if (mark.rule == rule) places.push_back({line, std::move(mark)});
    if (places.empty()) return 0;
    int fixed = 0;
    {
        const platform::TRichEdit::EditBlock block(*editor_.RichEdit1);
        // From the end, so that the places before stay where they were found.
        for (auto place = places.rbegin(); place != places.rend(); ++place)
            fixed += fix(place->line, place->mark);
    }
    if (fixed < static_cast<int>(places.size())) editor_.prompts().beep();
    return fixed;
}

QMenu* TypographyChecker::MenuFor(int line, platform::LineRange range, QWidget* parent) {
    const std::optional<Mark> mark = markAt(line, range);
    if (!mark) return nullptr;
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("TypographyMenu1"));
    QAction* reason = menu->addAction(mark->reason);
    reason->setEnabled(false);
    QAction* one = menu->addAction(QStringLiteral("Исправить: %1").arg(mark->fix));
    one->setObjectName(QStringLiteral("TypographyFix1"));
    connect(one, &QAction::triggered, this, [this, line, m = *mark] {
        editor_.Guarded([&] {
            const platform::TRichEdit::EditBlock block(*editor_.RichEdit1);
            if (!fix(line, m)) editor_.prompts().beep();
        });
    });
    QAction* all = menu->addAction(QStringLiteral("Исправить все"));
    all->setObjectName(QStringLiteral("TypographyFixAll1"));
    connect(all, &QAction::triggered, this,
            [this, rule = mark->rule] { editor_.Guarded([&] { FixAll(rule); }); });
    spelling::addEditItems(*menu, *editor_.RichEdit1);
    return menu;
}

bool TypographyChecker::showMenu(int line, platform::LineRange mark, const QPoint& where) {
    const std::unique_ptr<QMenu> menu(MenuFor(line, mark, editor_.RichEdit1));
    if (!menu) return false;
    menu->exec(where);
    return true;
}

} // namespace typography
