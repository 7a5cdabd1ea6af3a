// The entry routine: the command line, the application, the main window, the loop.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/document_journal.h"
#include "app/qt_translations.h"
#include "app/tform1.h"
#include "pdf/instance_channel.h"
#include "pdf/instance_server.h"
#include "platform/errors.h"

namespace {

constexpr const char* kVersion = "KolBAX 0.3beta\n";
constexpr const char* kUsage = "Использование: kolbax [--line N] [ФАЙЛ]\n"
                               "Редактор текстов TeX на русском языке.\n"
                               "\n"
                               "  ФАЙЛ         документ, который открыть при запуске (из "
                               "нескольких открывается первый)\n"
                               "  --line N     открыть ФАЙЛ на строке N; уже открытое окно "
                               "KolBAX\n"
                               "               получает файл и строку само\n"
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
    bool lineGiven = false;
    std::optional<int32_t> line; // --line N, when N is a line number
    QString lineText;            // N as given
};

// The arguments left once Qt has taken its own (-platform, -style ...).
CommandLine parseArguments(const QStringList& arguments) {
    CommandLine line;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && (argument == QLatin1String("--line") ||
                                     argument.startsWith(QLatin1String("--line=")))) {
            line.lineGiven = true;
            if (argument.contains(QLatin1Char('=')))
                line.lineText = argument.mid(7);
            else if (i + 1 < arguments.size())
                line.lineText = arguments[++i];
            line.line = pdf::parseLineNumber(line.lineText);
        } else if (!optionsEnded && argument.size() > 1 && argument.startsWith(QLatin1Char('-'))) {
            if (line.unknown.isEmpty()) line.unknown = argument;
        } else if (line.file.isEmpty()) {
            line.file = argument;
        }
    }
    return line;
}

// Opens the document named on the command line the way "Открыть" opens a chosen one (in a
// tab of its own, or the tab that has it already). A
// name that does not exist is refused here: unlike a name typed into the open dialog, it
// is far more likely a mistake than a request for a new document.
void openCommandLineDocument(TForm1& form, const QString& file, std::optional<int32_t> line) {
    const QString path = QFileInfo(file).absoluteFilePath();
    form.Guarded([&form, &path, line] {
        if (!QFileInfo::exists(path)) throw platform::InOutError(ENOENT);
        form.OpenAnotherDocument(path);
        if (line) form.CaretToLine(*line);
    });
}

// "--line N FILE" goes to the editor already running when there is one: true when it took
// them. Asked before the application is made, so it needs no display of its own.
bool handedOver(int argc, char* argv[], int& exitCode) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = parseArguments(arguments);
    if (!line.lineGiven) return false;
    if (!line.line) {
        std::fprintf(stderr, "kolbax: %s\n%s", qPrintable(pdf::lineNumberProblem(line.lineText)),
                     kUsage);
        exitCode = 2;
        return true;
    }
    if (line.file.isEmpty() || !line.unknown.isEmpty()) return false;
    QString note;
    const pdf::LineRequest request{QFileInfo(line.file).absoluteFilePath(), *line.line};
    switch (pdf::handOver(pdf::channelPlace(), request, note)) {
    case pdf::HandOver::Delivered:
        exitCode = 0;
        return true;
    case pdf::HandOver::Refused:
        std::fprintf(stderr, "kolbax: %s; файл открывается в новом окне\n", qPrintable(note));
        return false;
    case pdf::HandOver::NoneRunning:
        return false;
    }
    return false;
}

// This window takes the files and lines "kolbax --line" hands over, unless another one
// does already.
void serveLineRequests(pdf::InstanceServer& server, TForm1& form) {
    server.onRequest = [&form](const pdf::LineRequest& request) {
        form.Guarded([&] { form.OpenAtLine(request); });
    };
    const pdf::ChannelPlace place = pdf::channelPlace();
    if (place.socketPath.isEmpty()) {
        std::fprintf(stderr, "kolbax: %s: kolbax --line будет открывать новые окна\n",
                     qPrintable(place.problem));
        return;
    }
    // Another editor serving this display is no trouble; a socket not ours is reported.
    if (!server.listen(place) && !pdf::socketProblem(place.socketPath).isEmpty())
        std::fprintf(stderr, "kolbax: %s\n", qPrintable(server.problem()));
}

} // namespace

int main(int argc, char* argv[]) {
    if (const char* answer = immediateAnswer(argc, argv)) {
        std::fputs(answer, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (int code = 0; handedOver(argc, argv, code)) return code;
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
    // Unsaved text left by an abrupt end is offered first, then the documents of the last
    // session come back, and the command line's document opens beside them all.
    pdf::InstanceServer lineRequests;
    serveLineRequests(lineRequests, *form1);
    QTimer::singleShot(0, form1.get(), [&form1, &line] {
        form1->Journal->offerOrphans();
        form1->RestoreSession();
        if (!line.file.isEmpty()) openCommandLineDocument(*form1, line.file, line.line);
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
