#pragma once
// The documents open in the main window, a tab each. Every document has its own editing
// control (its text, undo history, caret, scroll position and spelling marks live there)
// and its own state::DocumentState (names, project link, place mark, encoding, file layout,
// the file as last seen on disk). The editor state holds the current document's: showing
// another tab puts the current one's state aside and takes the other's, and makes its
// control the editor's RichEdit1, so the subsystems keep working on "the document" and
// never learn that there are several.
//
// Showing a tab never reads, decodes or saves anything. The tab bar is shown once a second
// document is open.
#include <QObject>
#include <QPalette>
#include <functional>
#include <vector>

#include "state/document_state.h"

class QStackedWidget;
class QWidget;
class TForm1;
namespace platform {
class TRichEdit;
}
namespace tabs {
class DocumentTabBar;
}

namespace app {

class DocumentTabs final : public QObject {
    Q_OBJECT

  public:
    // The window's first control becomes the first tab's; area takes the bar and the stack
    // of controls.
    DocumentTabs(TForm1& form, QWidget& area, platform::TRichEdit& first);

    int Count() const { return static_cast<int>(tabs_.size()); }
    int CurrentIndex() const { return current_; }
    platform::TRichEdit& ControlAt(int index) const { return *tabs_.at(index).control; }
    // A document's state: the editor's own for the current document.
    const state::DocumentState& DocumentAt(int index) const;
    const state::DocumentState& DocumentOf(const platform::TRichEdit& control) const;
    // The tab of the document whose file is path (any path or link to it); -1 when none.
    int IndexOfFile(const QString& path) const;
    tabs::DocumentTabBar& Bar() const { return *bar_; }

    // Makes the tab at index current.
    void Show(int index);
    // A place for a document about to be opened or made: the current tab when it holds an
    // untitled, unmodified, empty document (or none yet), else a new tab, shown. True when
    // a tab was added.
    bool MakeRoom();
    // Removes the current tab without a question (a document that could not be opened in
    // the place MakeRoom made for it, next to the tab it was made from, which comes back).
    void DropCurrent();
    // Closes the tab at index: a modified document is shown and the exit's question asked,
    // with Cancel keeping the tab. The last tab leaves an empty editor as at start-up.
    // False when the tab stays.
    bool Close(int index);
    // The tab's caption and tooltip follow its document's name and modified state.
    void RefreshTitle(int index);
    void RefreshCurrentTitle() { RefreshTitle(current_); }

    // Wires a control made for a new tab as the first one is (journal, indicator).
    std::function<void(platform::TRichEdit&)> OnControlAdded;
    // The control of a tab about to be closed, its document given up or saved.
    std::function<void(platform::TRichEdit&)> OnControlClosing;
    // Another document became current.
    std::function<void()> OnShown;

  private:
    struct Tab {
        platform::TRichEdit* control;
        state::DocumentState document; // stale for the current tab: the editor holds it
    };

    platform::TRichEdit& newControl();
    void followModified(platform::TRichEdit& control);
    int indexOf(const platform::TRichEdit& control) const;
    bool holdsBlank(int index) const;
    void removeTab(int index);
    void updateBarVisibility();

    TForm1& form_;
    QStackedWidget* stack_;
    tabs::DocumentTabBar* bar_;
    std::vector<Tab> tabs_;
    int current_ = 0;
    // The first control's palette and hooks, given to every control.
    QPalette palette_;
    std::function<void()> onMouseDown_, onMouseUp_, onPasted_, onBeep_;
    std::function<QString(const QString&)> onPaste_;
};

} // namespace app
