#pragma once
// A compile to PDF runs beside the editor: the window stays alive, its caption shows how
// long the compile has run, and "Остановить компиляцию" (Esc) ends it with every program it
// started. When it ends, the LOG's counts show as after any compile, and onFinished tells
// whoever shows the PDF whether there is a new one.
//
// A second compile replaces the first: the running one is stopped, and the new one starts
// once it has ended, so two engines never write the same files at once.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <sys/types.h>

class QTimer;
namespace state {
class Editor;
}

namespace processing {

class ErrorSteps;

struct PdfCompileResult {
    bool succeeded = false; // the engine ended with 0 and the PDF is there
    bool stopped = false; // ended by "Остановить компиляцию" or a later compile
    QString pdfPath;
    QString failure; // why there is no new PDF (compile_outcome.h); empty when there is
};

// The caption of a window while a compile has run for seconds (a negative count: the
// caption without the running time), whatever running time it showed before.
QString captionWithRunTime(const QString& caption, int seconds);

class PdfCompile : public QObject {
    Q_OBJECT

  public:
    explicit PdfCompile(QObject* parent = nullptr);
    ~PdfCompile() override;

    bool running() const { return pid_ != 0; }

    // Watches the compile pid, started on the document's main file whose PDF is pdfPath.
    // When it ends without a new PDF, the indicator says why, after the LOG's counts.
    void begin(state::Editor& editor, ErrorSteps& steps, pid_t pid, const QString& pdfPath);
    // Ends the running compile (nothing when none runs).
    void stop();
    // Runs next once the running compile has ended and been reported.
    void whenEnded(std::function<void()> next);

    std::function<void(const PdfCompileResult&)> onFinished;
    // Told when a compile starts and when it ends (the stop command is offered meanwhile).
    std::function<void(bool running)> onRunningChanged;

  private:
    void tick();
    void ended(int status, bool logWritten);

    state::Editor* editor_ = nullptr;
    pid_t pid_ = 0;
    bool stopAsked_ = false;
    QString pdfPath_;
    QString logPath_;
    QString program_; // the program of the compile command, and behind latexmk its engine
    std::string engine_;
    QElapsedTimer clock_;
    QTimer* ticker_ = nullptr;
    std::function<void()> next_;
};

} // namespace processing
