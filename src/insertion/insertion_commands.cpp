// The service menu's insertion aids: letter and symbol pictures, environments and
// commands chosen from lists.
#include <QCheckBox>

#include "app/tform1.h"
#include "insertion/grid_lookup.h"
#include "insertion/insertion_blocks.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "insertion/tform7.h"

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
void insertFromPicture(TForm1& form, PictureWindow& window, const platform::StringList& grid) {
    window.ClickX = -1;
    window.ClickY = -1;
    form.prompts().showModal(window);
    form.update();
    if (window.ClickX < 0 || window.ClickY < 0 || !form.RichEdit1->isEnabled()) return;
    const std::string text = form.LookupGridText(grid, window.ClickX, window.ClickY);
    if (text.empty()) return;
    RichEditTarget target(*form.RichEdit1);
    int shown = form.ShownCharset;
    if (!insertion::insertPictureText(target, text, shown)) {
        form.prompts().beep();
        return;
    }
    form.ShownCharset = shown;
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

void openEnvironmentChooser(TForm1& form, int kind, const platform::StringList& list) {
    TForm7& chooser = *form.Form7;
    const ChooserSetup setup = environmentChooser(kind);
    chooser.setWindowTitle(QString::fromUtf8(setup.caption));
    chooser.SetItems(list);
    form.EnvironmentKind = kind;
    chooser.CheckBox1->setChecked(setup.star);
    chooser.CheckBox2->setChecked(setup.label);
    chooser.CheckBox1->setVisible(true);
    chooser.CheckBox2->setVisible(true);
    form.prompts().showModal(chooser);
    if (chooser.Accepted) form.InsertEnvironment();
}

} // namespace

std::string TForm1::LookupGridText(const platform::StringList& grid, int x, int y) {
    return insertion::lookupGridText(grid, x, y);
}

void TForm1::N23Click() {
    insertFromPicture(*this, *Form4, LettersGrid);
}
void TForm1::N24Click() {
    insertFromPicture(*this, *Form5, SymbolsGrid);
}
void TForm1::N32Click() {
    N24Click();
}

void TForm1::N27Click() {
    openEnvironmentChooser(*this, insertion::kFormulas, FormulaEnvironments);
}
void TForm1::N28Click() {
    openEnvironmentChooser(*this, insertion::kStatements, StatementEnvironmentNames);
}
void TForm1::N30Click() {
    openEnvironmentChooser(*this, insertion::kOthers, OtherEnvironments);
}
void TForm1::N34Click() {
    N27Click();
}

void TForm1::N26Click() {
    TForm7& chooser = *Form7;
    chooser.setWindowTitle(QString::fromUtf8("Выбери команду из списка"));
    chooser.SetItems(CommandList);
    chooser.CheckBox1->setVisible(false);
    chooser.CheckBox2->setVisible(false);
    prompts().showModal(chooser);
    if (chooser.Accepted) InsertCommand();
}

// The whole block goes in at once: no window events are processed in the middle, so a
// key press already queued lands after the block, never inside it. Accepting the chooser
// with nothing selected inserts nothing.
void TForm1::InsertEnvironment() {
    if (!RichEdit1->isEnabled()) return;
    const std::optional<std::string> entry = Form7->SelectedEntry();
    if (!entry) return;
    RichEditTarget target(*RichEdit1);
    if (!insertion::insertEnvironmentBlock(
            target,
            {EnvironmentKind, *entry, Form7->CheckBox1->isChecked(), Form7->CheckBox2->isChecked()},
            StatementEnvironments, SmartKeyboardOn, ShownCharset))
        prompts().beep();
    RichEdit1->setFocus();
    RefreshLayoutIndicator();
}

void TForm1::InsertCommand() {
    if (!RichEdit1->isEnabled()) return;
    const std::optional<std::string> entry = Form7->SelectedEntry();
    if (!entry) return;
    RichEditTarget target(*RichEdit1);
    if (!insertion::insertCommandText(target, *entry, SmartKeyboardOn, ShownCharset))
        prompts().beep();
    RichEdit1->setFocus();
    RefreshLayoutIndicator();
}
