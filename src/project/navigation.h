#pragma once
// The jumps through a project: "Перейти к определению" (F12, or Ctrl+click on the text)
// from a \ref to its \label, a \cite key to its .bib entry, an \input to its file and a
// command to its \newcommand, each in a tab of its own; "Назад" (Alt+Left) back to where
// the jump started, across files; "Найти ссылки", the uses of the label or key at the caret
// in a list whose entries open where they stand.
#include <QObject>
#include <functional>
#include <vector>

#include "project/definitions.h"
#include "project/project_model.h"

class QTreeWidget;
class QDialog;

namespace platform {
class TRichEdit;
}
namespace state {
class Editor;
}

namespace project {

class ProjectNavigation final : public QObject {
    Q_OBJECT

  public:
    ProjectNavigation(state::Editor& editor, std::function<SnapshotPtr()> snapshot,
                      QWidget* window);

    // Ctrl+click on the control's text goes to the definition of what was clicked. The
    // click itself is left to the control and its handlers: the jump follows its release.
    void Watch(platform::TRichEdit& control);

    void GoToDefinition();
    void GoBack();
    void FindReferences();
    // Opens a file at a line and column (from 0), selecting length characters.
    void Open(const Destination& destination);

    bool CanGoBack() const { return !back_.empty(); }
    // The window of "Найти ссылки" (created at first use).
    QDialog* ReferencesWindow() const { return references_; }
    QTreeWidget* ReferencesList() const { return referenceList_; }

    // The text of a line of a file (from 0): the open document's when it is open, else the
    // file's; by default the file's on disk.
    std::function<QString(const QString& path, int line)> LineText;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Spot {
        QString path;
        int position = 0;
    };
    void makeReferencesWindow();

    state::Editor& editor_;
    std::function<SnapshotPtr()> snapshot_;
    QWidget* window_;
    std::vector<Spot> back_;
    QDialog* references_ = nullptr;
    QTreeWidget* referenceList_ = nullptr;
};

// The text of a line (from 0) of a file on disk, read in its own encoding; empty when it
// cannot be read.
QString lineOfFile(const QString& path, int line);

} // namespace project
