#pragma once
// The typography checks over the editing control. Their marks are the blue wave of the
// Typography layer (platform::TextMarks, never part of the text); the mouse resting on one
// shows its reason. The lines in view are checked at once, the rest while the user pauses,
// in the spell checker's slices, so that no key waits. A right click on a mark, or the Menu
// key in one, offers its fix and "Исправить все" (every mark of that rule in the document),
// each one undo step, then the control's Cut, Copy and Paste.
//
// The rules checked and the forms of the fixes are chosen in "Типографика..." and kept in
// the settings folder. A fix takes the form the document can hold: « » only in UTF-8
// documents, babel's "--- where the document already uses it.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>
#include <vector>

#include "platform/text_line.h"
#include "platform/text_marks.h"
#include "typography/typography_rules.h"
#include "typography/typography_settings.h"

class QMenu;
class QWidget;

namespace state {
class Editor;
}

namespace typography {

class TypographyChecker final : public QObject {
    Q_OBJECT

  public:
    // Lives as the editing control's child; reads its settings from the settings folder.
    explicit TypographyChecker(state::Editor& editor);

    // Some rule is checked: "Следующая типографская ошибка" may be used.
    bool Checking() const;
    const Settings& CurrentSettings() const { return settings_; }
    // Reads the settings the user chose before (at start-up, once the folder is known).
    void ReadSettings(const QString& path);
    // Takes new settings, remembers them and checks the document again.
    void SetSettings(const Settings& settings);
    // "Типографика...": the dialog of the rules and the forms of the fixes.
    void Configure();
    // "Следующая типографская ошибка": selects the next mark after the caret, going round
    // from the top; a beep when there is none.
    void NextMark();

    // The menu of a mark: "TypographyFix1" (its fix), "TypographyFixAll1", then Cut, Copy
    // and Paste; null when the range is no mark.
    QMenu* MenuFor(int line, platform::LineRange mark, QWidget* parent);
    // The mark's reason; empty when the range is no mark.
    QString ReasonFor(int line, platform::LineRange mark);
    // Fixes every mark of a rule in the document, in one undo step; how many it fixed.
    int FixAll(Rule rule);

    // Goes on with the control that is now editor.RichEdit1 (another document was shown).
    void FollowControl();
    // Checks every line now, as the pauses would.
    void CheckAll();

  signals:
    // The settings changed: the menu items follow.
    void stateChanged();

  private:
    void attach(platform::TRichEdit& control);
    void refreshOptions(bool documentChanged);
    void startChecking();
    LineState stateBefore(int line);
    void checkLine(int line);
    void checkSoon();
    void checkInPause();
    void textReplaced();
    std::optional<Mark> markAt(int line, platform::LineRange range);
    bool fix(int line, const Mark& mark);
    bool showMenu(int line, platform::LineRange mark, const QPoint& where);

    state::Editor& editor_;
    platform::TextMarks* marks_ = nullptr;
    Settings settings_;
    Options options_;
    bool babelDashes_ = false;

    QTimer soon_;
    QTimer pause_;
    QElapsedTimer sinceEdit_;
    int editedFirst_ = -1;
    int editedLast_ = -1;
    bool shownPending_ = false;
    int pauseFrom_ = 0;
};

} // namespace typography
