#include "app/document_tabs.h"

#include <QDir>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "app/tform1.h"
#include "document/file_commands.h"
#include "keyboard/smart_keyboard.h"
#include "platform/file_stamp.h"
#include "platform/richedit.h"
#include "state/document_files.h"
#include "tabs/document_tab_bar.h"

namespace app {

DocumentTabs::DocumentTabs(TForm1& form, QWidget& area, platform::TRichEdit& first)
    : QObject(&form), form_(form), stack_(new QStackedWidget(&area)),
      bar_(new tabs::DocumentTabBar(&area)), palette_(first.palette()),
      onMouseDown_(first.OnMouseDown), onMouseUp_(first.OnMouseUp), onPasted_(first.OnPasted),
      onBeep_(first.OnBeep), onPaste_(first.OnPaste) {
    stack_->setObjectName(QStringLiteral("Documents1"));
    auto* column = new QVBoxLayout(&area);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar_);
    column->addWidget(stack_, 1);
    stack_->addWidget(&first);
    tabs_.push_back({&first, {}});
    bar_->addTab(tabs::DocumentTabBar::captionFor({}, false));
    bar_->hide();
    followModified(first);

    connect(bar_, &QTabBar::currentChanged, this,
            [this](int index) { form_.Guarded([&] { Show(index); }); });
    connect(bar_, &QTabBar::tabCloseRequested, this,
            [this](int index) { form_.Guarded([&] { Close(index); }); });
    connect(bar_, &QTabBar::tabMoved, this, [this](int from, int to) {
        const Tab moved = tabs_[from];
        tabs_.erase(tabs_.begin() + from);
        tabs_.insert(tabs_.begin() + to, moved);
        current_ = bar_->currentIndex();
        form_.SessionChanged();
    });
}

const state::DocumentState& DocumentTabs::DocumentAt(int index) const {
    if (index == current_) return form_;
    return tabs_.at(index).document;
}

const state::DocumentState& DocumentTabs::DocumentOf(const platform::TRichEdit& control) const {
    return DocumentAt(indexOf(control));
}

int DocumentTabs::indexOf(const platform::TRichEdit& control) const {
    for (int i = 0; i < Count(); ++i)
        if (tabs_[i].control == &control) return i;
    return current_;
}

int DocumentTabs::IndexOfFile(const QString& path) const {
    for (int i = 0; i < Count(); ++i) {
        const state::DocumentState& document = DocumentAt(i);
        if (!document.DocName.isEmpty() &&
            platform::sameFile(path, state::documentFilePath(document)))
            return i;
    }
    return -1;
}

// Untitled, unmodified and empty: nothing of the user's would be lost by loading over it.
bool DocumentTabs::holdsBlank(int index) const {
    const platform::TRichEdit& control = ControlAt(index);
    return DocumentAt(index).DocName.isEmpty() && !control.Modified() && control.TextLength() == 0;
}

void DocumentTabs::Show(int index) {
    if (index == current_ || index < 0 || index >= Count()) return;
    tabs_[current_].document = form_;
    current_ = index;
    static_cast<state::DocumentState&>(form_) = tabs_[index].document;
    form_.RichEdit1 = tabs_[index].control;
    stack_->setCurrentWidget(form_.RichEdit1);
    {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(index);
    }
    // The current folder follows the document shown, as it does when one is opened.
    if (!form_.DocDir.isEmpty()) QDir::setCurrent(form_.DocDir);
    if (form_.RichEdit1->isEnabled())
        document::setCaption(form_, form_.DocName.isEmpty());
    else
        form_.setWindowTitle(mainCaption()); // no document yet, as at start-up
    if (OnShown) OnShown();
}

void DocumentTabs::followModified(platform::TRichEdit& control) {
    connect(&control, &QPlainTextEdit::modificationChanged, this,
            [this, &control] { RefreshTitle(indexOf(control)); });
}

platform::TRichEdit& DocumentTabs::newControl() {
    auto* control = new platform::TRichEdit(stack_);
    control->setObjectName(QStringLiteral("RichEdit1"));
    control->setPalette(palette_);
    control->SetWindowShortcuts(form_.WindowShortcuts);
    control->SetKeyFilter(form_.SmartKeyboard1);
    control->OnMouseDown = onMouseDown_;
    control->OnMouseUp = onMouseUp_;
    control->OnPaste = onPaste_;
    control->OnPasted = onPasted_;
    control->OnBeep = onBeep_;
    control->SetInsertCharset(platform::kLatinCharset);
    control->setEnabled(false); // until a document is loaded into it
    stack_->addWidget(control);
    followModified(*control);
    if (OnControlAdded) OnControlAdded(*control);
    return *control;
}

bool DocumentTabs::MakeRoom() {
    if (holdsBlank(current_)) return false;
    platform::TRichEdit& control = newControl();
    // Next to the current tab, as a user opening from it expects.
    const int index = current_ + 1;
    // A new document starts in the folder, and as the kind of file, of the one it was made
    // from (as "Создать" always has).
    state::DocumentState fresh;
    fresh.DocDir = form_.DocDir;
    fresh.DocExt = form_.DocExt;
    tabs_.insert(tabs_.begin() + index, {&control, fresh});
    {
        const QSignalBlocker quiet(bar_);
        bar_->insertTab(index, tabs::DocumentTabBar::captionFor({}, false));
    }
    updateBarVisibility();
    Show(index);
    return true;
}

void DocumentTabs::DropCurrent() {
    if (Count() < 2) return;
    const int dropped = current_;
    Show(dropped > 0 ? dropped - 1 : 1);
    if (OnControlClosing) OnControlClosing(ControlAt(dropped));
    removeTab(dropped);
}

bool DocumentTabs::Close(int index) {
    if (index < 0 || index >= Count()) return false;
    if (ControlAt(index).Modified()) {
        Show(index);
        if (!form_.AskToSaveCurrent(true)) return false;
    }
    form_.RememberRecentFileOf(DocumentAt(index));
    if (OnControlClosing) OnControlClosing(ControlAt(index));
    if (Count() == 1) {
        // The last tab: a fresh place, as at start-up, takes its place.
        platform::TRichEdit& fresh = newControl();
        tabs_.push_back({&fresh, {}});
        {
            const QSignalBlocker quiet(bar_);
            bar_->addTab(tabs::DocumentTabBar::captionFor({}, false));
        }
        Show(1);
        removeTab(0);
        form_.ShowStartPrompt();
        return true;
    }
    if (index == current_) Show(index + 1 < Count() ? index + 1 : index - 1);
    removeTab(index);
    return true;
}

void DocumentTabs::removeTab(int index) {
    platform::TRichEdit* control = tabs_[index].control;
    tabs_.erase(tabs_.begin() + index);
    {
        const QSignalBlocker quiet(bar_);
        bar_->removeTab(index);
    }
    if (current_ > index) --current_;
    stack_->removeWidget(control);
    control->hide();
    control->deleteLater();
    {
        const QSignalBlocker quiet(bar_);
        bar_->setCurrentIndex(current_);
    }
    updateBarVisibility();
}

// Runs after every command and key: the bar is touched only when a caption or tooltip
// really changed, as each change lays out every tab again.
void DocumentTabs::RefreshTitle(int index) {
    if (index < 0 || index >= Count()) return;
    const state::DocumentState& document = DocumentAt(index);
    const bool named = !document.DocName.isEmpty();
    const QString fileName = named ? document.DocName + document.DocExt : QString();
    const QString caption = tabs::DocumentTabBar::captionFor(fileName, ControlAt(index).Modified());
    if (bar_->tabText(index) != caption) bar_->setTabText(index, caption);
    const QString tip = named ? state::documentFilePath(document) : QString();
    if (bar_->tabToolTip(index) != tip) bar_->setTabToolTip(index, tip);
}

void DocumentTabs::updateBarVisibility() {
    bar_->setVisible(Count() > 1);
}

} // namespace app
