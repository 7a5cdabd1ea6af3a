// The service menu's insertion aids: letter and symbol pictures, environments and
// commands chosen from lists.
#include <QCheckBox>
#include <QWidget>

#include "insertion/insertion_commands.h"

#include "insertion/grid_lookup.h"
#include "insertion/insertion_blocks.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "insertion/tform7.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/window_title.h"
#include "state/editor.h"

namespace {

// The editing control as the insertion routines see it.
class RichEditTarget : public insertion::InsertionTarget {
  public:
    explicit RichEditTarget(platform::TRichEdit& edit) : edit_(edit) {}

    void insertText(std::string_view text) override { edit_.SetSelText(text); }
    int insertCharset() const override { return edit_.InsertCharset(); }
    void setInsertCharset(int charset) override { edit_.SetInsertCharset(charset); }
    int selStart() const override { return edit_.SelStart(); }
    void placeCaret(int position) override { edit_.SetSel(position, 0); }
    bool hasRoomFor(int length) const override { return edit_.HasRoomFor(length); }

  private:
    platform::TRichEdit& edit_;
};

// Shows a picture window and inserts the text of the cell clicked on, in Latin; the
// set in force before is kept in ShownCharset and restored. Neither the focus nor the
// layout indicator changes. Without a document (the control disabled) nothing goes in.
template <typename PictureWindow>
void insertFromPicture(state::Editor& editor, PictureWindow& window,
                       const platform::StringList& grid) {
    window.ClickX = -1;
    window.ClickY = -1;
    editor.prompts().showModal(window);
    editor.RichEdit1->window()->update(); // repaints the main window under the picture
    if (window.ClickX < 0 || window.ClickY < 0 || !editor.RichEdit1->isEnabled()) return;
    const std::string text = insertion::lookupGridText(grid, window.ClickX, window.ClickY);
    if (text.empty()) return;
    RichEditTarget target(*editor.RichEdit1);
    int shown = editor.ShownCharset;
    if (!insertion::insertPictureText(target, text, shown)) {
        editor.prompts().beep();
        return;
    }
    editor.ShownCharset = shown;
}

struct ChooserSetup {
    const char* caption;
    bool star;
    bool label;
};

ChooserSetup environmentChooser(int kind) {
    switch (kind) {
    case insertion::kFormulas:
        return {"Выбери окружение для формулы", false, true};
    case insertion::kStatements:
        return {"Выбери окружение для утверждения", true, false};
    default:
        return {"Выбери окружение из списка", false, false};
    }
}

void openEnvironmentChooser(state::Editor& editor, TForm7& chooser, int kind,
                            const platform::StringList& list) {
    const ChooserSetup setup = environmentChooser(kind);
    platform::setWholeTitle(chooser, QString::fromUtf8(setup.caption));
    chooser.SetItems(list);
    editor.EnvironmentKind = kind;
    chooser.CheckBox1->setChecked(setup.star);
    chooser.CheckBox2->setChecked(setup.label);
    chooser.CheckBox1->setVisible(true);
    chooser.CheckBox2->setVisible(true);
    editor.prompts().showModal(chooser);
    if (chooser.Accepted) insertion::insertEnvironment(editor, chooser);
}

} // namespace

namespace insertion {

void insertLetter(state::Editor& editor, TForm4& letters) {
    insertFromPicture(editor, letters, editor.LettersGrid);
}
void insertSymbol(state::Editor& editor, TForm5& symbols) {
    insertFromPicture(editor, symbols, editor.SymbolsGrid);
}

void chooseFormulaEnvironment(state::Editor& editor, TForm7& chooser) {
    openEnvironmentChooser(editor, chooser, kFormulas, editor.FormulaEnvironments);
}
void chooseStatementEnvironment(state::Editor& editor, TForm7& chooser) {
    openEnvironmentChooser(editor, chooser, kStatements, editor.StatementEnvironmentNames);
}
void chooseOtherEnvironment(state::Editor& editor, TForm7& chooser) {
    openEnvironmentChooser(editor, chooser, kOthers, editor.OtherEnvironments);
}

void chooseCommand(state::Editor& editor, TForm7& chooser) {
    platform::setWholeTitle(chooser, QString::fromUtf8("Выбери команду из списка"));
    chooser.SetItems(editor.CommandList);
    chooser.CheckBox1->setVisible(false);
    chooser.CheckBox2->setVisible(false);
    editor.prompts().showModal(chooser);
    if (chooser.Accepted) insertCommand(editor, chooser);
}

// The whole block goes in at once: no window events are processed in the middle, so a
// key press already queued lands after the block, never inside it. Accepting the chooser
// with nothing selected inserts nothing.
void insertEnvironment(state::Editor& editor, const TForm7& chooser) {
    platform::TRichEdit& edit = *editor.RichEdit1;
    if (!edit.isEnabled()) return;
    const std::optional<std::string> entry = chooser.SelectedEntry();
    if (!entry) return;
    RichEditTarget target(edit);
    if (!insertEnvironmentBlock(target,
                                {editor.EnvironmentKind, *entry, chooser.CheckBox1->isChecked(),
                                 chooser.CheckBox2->isChecked()},
                                editor.StatementEnvironments, editor.SmartKeyboardOn,
                                editor.ShownCharset))
        editor.prompts().beep();
    edit.setFocus();
    editor.RefreshLayoutIndicator();
}

void insertCommand(state::Editor& editor, const TForm7& chooser) {
    platform::TRichEdit& edit = *editor.RichEdit1;
    if (!edit.isEnabled()) return;
    const std::optional<std::string> entry = chooser.SelectedEntry();
    if (!entry) return;
    RichEditTarget target(edit);
    if (!insertCommandText(target, *entry, editor.SmartKeyboardOn, editor.ShownCharset))
        editor.prompts().beep();
    edit.setFocus();
    editor.RefreshLayoutIndicator();
}

} // namespace insertion
