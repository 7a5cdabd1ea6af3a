#pragma once
// The LOG viewer: a window beside the main window that shows the compiler's LOG file with
// its Russian letters readable. It is loaded each time it opens and then keeps that text
// until it is closed.
#include <QMainWindow>
#include <string>

class QAction;
class QPlainTextEdit;

class TForm6 : public QMainWindow {
    Q_OBJECT

  public:
    explicit TForm6(QWidget* parent = nullptr);

    QAction* N1 = nullptr;           // "ЗАКРЫТЬ"
    QPlainTextEdit* Memo1 = nullptr; // the LOG text, read-only

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

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};
