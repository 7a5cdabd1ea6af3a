// The entry routine: the application, the main window, the eight dialog windows, the loop.
#include <QApplication>
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
    // The loop can also end without the window being closed (the session ending): the
    // shutdown runs then; after a normal close it has run already and this does nothing.
    form1->close();
    form1.reset();
    return code;
}
