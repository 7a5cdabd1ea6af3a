// The shutdown and the exit command.
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include "app/document_tabs.h"
#include "app/locations.h"
#include "app/settings_files.h"
#include "app/tform1.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/paths.h"

namespace {

// The widget a close event is for: the widget itself, or the top-level widget of the
// window the window system closes.
QWidget* widgetOf(QObject* target) {
    if (auto* widget = qobject_cast<QWidget*>(target)) return widget;
    if (auto* window = qobject_cast<QWindow*>(target))
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->windowHandle() == window) return widget;
    return nullptr;
}

// A message box closes itself once one of its buttons (or Esc) answered it.
bool isAnsweredMessageBox(QObject* target) {
    auto* box = qobject_cast<QMessageBox*>(widgetOf(target));
    return box && box->clickedButton();
}

// While the shutdown's prompts are up nothing may end the program under them: a close of
// the main window (its title bar, the window manager, a second exit, the session closing
// every window) and the application's quit are refused, and while the save question is up
// nothing but an answer closes it: it stays until it is answered. Without this a close
// under the question takes the window down and ends the program as if the answer had been
// No.
class ShutdownPromptGuard : public QObject {
  public:
    explicit ShutdownPromptGuard(QWidget& window) : window_(window) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~ShutdownPromptGuard() override { QCoreApplication::instance()->removeEventFilter(this); }
    ShutdownPromptGuard(const ShutdownPromptGuard&) = delete;
    ShutdownPromptGuard& operator=(const ShutdownPromptGuard&) = delete;

    void setQuestionUp(bool up) { questionUp_ = up; }

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        const bool refused = event->type() == QEvent::Quit ||
                             (event->type() == QEvent::Close &&
                              (target == &window_ || target == window_.windowHandle() ||
                               (questionUp_ && !isAnsweredMessageBox(target))));
        if (refused) event->ignore();
        return refused;
    }

  private:
    QWidget& window_;
    bool questionUp_ = false;
};

} // namespace

void TForm1::WriteSettingsFile(const char* name, std::string_view bytes) {
    app::makeFolder(SettingsDir);
    platform::writeFileAtomically(platform::joinPath(SettingsDir, QLatin1String(name)), bytes);
}

void TForm1::N9Click() {
    close();
}

bool TForm1::FormDestroy() {
    ShutdownPromptGuard guard(*this);
    // A filelist.ini that cannot be written is reported; the save question still comes.
    // A list that start-up could not read is not written back: it would replace the
    // user's list with the entries of this run. Every open document enters it, the one
    // shown last, so that it comes on top.
    Guarded([this] {
        for (int i = 0; i < Tabs->Count(); ++i)
            if (i != Tabs->CurrentIndex()) RememberRecentFileOf(Tabs->DocumentAt(i));
        RememberRecentFile();
        if (recentFilesRead_) WriteSettingsFile("filelist.ini", app::fileListBytes(RecentFiles));
    });
    // One question per modified document, shown in its tab; with several, Cancel keeps
    // them all open.
    const bool several = Tabs->Count() > 1;
    for (int i = 0; i < Tabs->Count(); ++i) {
        if (!Tabs->ControlAt(i).Modified()) continue;
        Tabs->Show(i);
        guard.setQuestionUp(true);
        const std::optional<bool> answer = AskSaveQuestion(several);
        guard.setQuestionUp(false);
        if (!answer || !SaveAnswered(*answer)) return false;
    }
    sessionTimer_->stop();
    // A settings folder that cannot be written was reported with filelist.ini above.
    try {
        WriteSession();
    } catch (...) {
    }
    return true;
}
