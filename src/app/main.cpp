// The entry routine: the application, the main window, the eight dialog windows, the loop.
#include <QApplication>
#include <QTimer>
#include <csignal>

#include "app/tform1.h"

int main(int argc, char* argv[]) {
    // A write past a file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    auto form1 = std::make_unique<TForm1>();
    QApplication::setWindowIcon(form1->windowIcon()); // the dialogs and the task bar
    form1->CreateDialogs();
    form1->show();
    int code = application.exec();
    // The loop can also end without the window having been closed (QCoreApplication::exit).
    // The shutdown then runs in a loop of its own, as no prompt can be shown once the loop
    // was told to end; when it is refused (the save was cancelled) the editor goes on.
    while (!form1->HasShutDown()) {
        QTimer::singleShot(0, form1.get(), [&form1] {
            form1->close();
            if (form1->HasShutDown()) QCoreApplication::quit();
        });
        code = application.exec();
    }
    form1.reset();
    return code;
}
