#pragma once
// The completion popup over the editing control. It opens as the user types where a list
// fits (after "\", in "\begin{", in the arguments of \ref, \cite, \input and the like),
// narrows as they type on, and takes its entry on Enter or Tab; Esc closes it. The keys it
// takes never reach the control nor its key filter (the Smart Keyboard), and taking an
// entry leaves the layout as it was: the entry's Cyrillic letters are shown as Cyrillic,
// but the layout the user types in next is the one the typing rules had at that place.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "project/completion_lists.h"
#include "project/source_context.h"

class QListView;
class QKeyEvent;

namespace platform {
class TRichEdit;
}
namespace state {
class Editor;
}

namespace project {

class CandidateModel;

class CompletionPopup final : public QObject {
    Q_OBJECT

  public:
    // lists: the lists of the project shown. The popup keeps the lists it shows while it
    // is up, whatever newer ones come meanwhile.
    using ListsSource = std::function<std::shared_ptr<CompletionLists>()>;
    CompletionPopup(state::Editor& editor, ListsSource lists, QObject* parent = nullptr);
    ~CompletionPopup() override;

    // Watches the keys of a control; the popup works on whichever is editor.RichEdit1.
    void Watch(platform::TRichEdit& control);

    // Looks at the caret again: opens, narrows or closes the popup. opening: the user typed
    // something (or asked for the list), so a closed popup may open.
    void Refresh(bool opening);
    // Takes the entry chosen; closes the popup.
    void Accept();
    void Close();

    bool IsShown() const;
    QListView* View() const { return view_; }
    // The entries shown, in their order.
    QStringList ShownTexts() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool takesKey(const QKeyEvent* key) const;
    // The entry chosen is what the text holds already.
    bool chosenIsWritten() const;
    void handleKey(const QKeyEvent* key);

    state::Editor& editor_;
    ListsSource lists_;
    QListView* view_;
    CandidateModel* model_;
    CompletionContext context_;
    int contextLine_ = -1;
    // Where Esc closed the popup: it stays closed while the caret is in that same context.
    int dismissedLine_ = -1;
    int dismissedStart_ = -1;
    bool refreshQueued_ = false;
    bool openingQueued_ = false;
    int swallowRelease_ = 0; // the key whose press the popup took
};

} // namespace project
