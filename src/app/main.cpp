// The entry routine: the command line, the application, the main window, the loop.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "app/document_journal.h"
#include "app/qt_translations.h"
#include "app/tform1.h"
#include "platform/errors.h"

namespace {

constexpr const char* kVersion = "KolBAX 0.3beta\n";
constexpr const char* kUsage = "Использование: kolbax [ФАЙЛ]\n"
                               "Редактор текстов TeX на русском языке.\n"
                               "\n"
                               "  ФАЙЛ         документ, который открыть при запуске (из "
                               "нескольких открывается первый)\n"
                               "  --help       показать эту справку и выйти\n"
                               "  --version    показать версию и выйти\n";

// --help and --version are answered before the application is made, so they work without
// a display. "--" ends the options: a file may then start with "-".
const char* immediateAnswer(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return kUsage;
        if (std::strcmp(argv[i], "--version") == 0) return kVersion;
    }
    return nullptr;
}

struct CommandLine {
    QString file;    // the first file named; empty when none
    QString unknown; // an option the editor does not know
};

// The arguments left once Qt has taken its own (-platform, -style ...).
CommandLine parseArguments(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            if (line.unknown.isEmpty()) line.unknown = argument;
        } else if (line.file.isEmpty()) {
            line.file = argument;
        }
    }
    return line;
}

// Opens the document named on the command line the way "Открыть" opens a chosen one. A
// name that does not exist is refused here: unlike a name typed into the open dialog, it
// is far more likely a mistake than a request for a new document.
void openCommandLineDocument(TForm1& form, const QString& file) {
    const QString path = QFileInfo(file).absoluteFilePath();
    form.Guarded([&form, &path] {
        if (!QFileInfo::exists(path)) throw platform::InOutError(ENOENT);
        form.OpenDocument(path);
    });
}

} // namespace

int main(int argc, char* argv[]) {
    if (const char* answer = immediateAnswer(argc, argv)) {
        std::fputs(answer, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    // A write past a file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication application(argc, argv);
    const CommandLine line = parseArguments(QApplication::arguments());
    if (!line.unknown.isEmpty()) {
        std::fprintf(stderr, "kolbax: неизвестный параметр «%s»\n%s", qPrintable(line.unknown),
                     kUsage);
        return 2;
    }
    app::installQtRussian();
    auto form1 = std::make_unique<TForm1>();
    QApplication::setWindowIcon(form1->windowIcon()); // the dialogs and the task bar
    form1->CreateDialogs();
    form1->show();
    // Unsaved text left by an abrupt end is offered first; a restored document is not
    // replaced by the command line's, which would save it unasked.
    QTimer::singleShot(0, form1.get(), [&form1, &line] {
        const bool restored = form1->Journal->offerOrphans();
        if (!restored && !line.file.isEmpty()) openCommandLineDocument(*form1, line.file);
    });
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
