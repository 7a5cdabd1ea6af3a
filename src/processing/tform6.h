#pragma once
// The LOG viewer: a window beside the main window that shows the compiler's LOG file with
// its Russian letters readable, and under it the list of the LOG's errors, warnings and bad
// boxes. It is loaded each time it opens and then keeps that text until it is closed. Enter
// or a double click on an entry shows its place in the editor; a click on a LOG line
// selects the entry it belongs to.
#include <QMainWindow>
#include <string>

class QAction;
class QTreeView;
namespace platform {
class TMemo;
}
namespace processing {
class LogEntryModel;
}
namespace state {
class Editor;
}

class TForm6 : public QMainWindow {
    Q_OBJECT

  public:
    // editor: where an entry's place is shown, and whose guard runs the loading.
    explicit TForm6(state::Editor& editor, QWidget* parent = nullptr);

    QAction* N1 = nullptr;            // "ЗАКРЫТЬ"
    platform::TMemo* Memo1 = nullptr; // the LOG text, read-only
    QTreeView* ErrorList1 = nullptr;  // the entries: errors first, then warnings
    processing::LogEntryModel* Entries = nullptr;

    // The file loaded when the window opens: its absolute path.
    QString LogFileName;
    // The window is open.
    bool LogShown = false;

    // Opens the window (loading LogFileName) or, when it is already open, brings it to the
    // front without reloading.
    void Open();

    // Loading, run every time the window goes from hidden to shown. May throw a runtime
    // error; the window stays open with the lines read before it.
    void FormShow();
    void FormClose();
    void N1Click();
    // The entry of a row of ErrorList1 shown in the editor.
    void ErrorList1Activate(int row);

  private:
    state::Editor& editor_;
    void Memo1CursorMoved();
    void LookUpPackages();
    void ErrorList1RowChanged(int row);
    bool followingSelection_ = false; // the memo and the list are being kept in step

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
