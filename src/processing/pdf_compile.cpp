#include "processing/pdf_compile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>
#include <sys/wait.h>

#include "platform/codepage.h"
#include "platform/richedit.h"
#include "platform/textfile.h"
#include "processing/command_line.h"
#include "processing/compile_outcome.h"
#include "processing/log_commands.h"
#include "processing/log_parser.h"
#include "processing/process_start.h"
#include "state/editor.h"

namespace processing {
namespace {

const QString kRunTimeMark = QStringLiteral(" — компиляция PDF: ");

} // namespace

QString captionWithRunTime(const QString& caption, int seconds) {
    const qsizetype mark = caption.indexOf(kRunTimeMark);
    QString base = mark < 0 ? caption : caption.left(mark);
    if (seconds < 0) return base;
    return base + kRunTimeMark + QStringLiteral("%1 с (Esc — остановить)").arg(seconds);
}

PdfCompile::PdfCompile(QObject* parent) : QObject(parent), ticker_(new QTimer(this)) {
    ticker_->setInterval(1000);
    connect(ticker_, &QTimer::timeout, this, [this] { tick(); });
}

PdfCompile::~PdfCompile() = default;

void PdfCompile::begin(state::Editor& editor, ErrorSteps& steps, pid_t pid,
                       const QString& pdfPath) {
    editor_ = &editor;
    pid_ = pid;
    stopAsked_ = false;
    pdfPath_ = pdfPath;
    logPath_ = documentLogPath(editor);
    const std::vector<std::string> words = splitCommandLine(editor.Pdf.compileCommand);
    program_ =
        words.empty() ? QString() : QFileInfo(platform::fromCp1251(words.front())).fileName();
    engine_ = program_ == QLatin1String("latexmk") ? latexmkEngine(words) : std::string();
    clock_.start();
    tick();
    ticker_->start();
    if (onRunningChanged) onRunningChanged(true);
    QPointer<PdfCompile> self(this);
    watchCompile(editor, steps, pid, [self, pid](int status, bool logWritten) {
        if (self && self->pid_ == pid) self->ended(status, logWritten);
    });
}

void PdfCompile::stop() {
    if (pid_ == 0) return;
    stopAsked_ = true;
    ChildProcesses::instance().stop(pid_);
}

void PdfCompile::whenEnded(std::function<void()> next) {
    if (pid_ == 0) {
        if (next) next();
        return;
    }
    next_ = std::move(next);
}

void PdfCompile::tick() {
    if (editor_ == nullptr || editor_->RichEdit1 == nullptr) return;
    QWidget* window = editor_->RichEdit1->window();
    const int seconds = pid_ == 0 ? -1 : int(clock_.elapsed() / 1000);
    window->setWindowTitle(captionWithRunTime(window->windowTitle(), seconds));
}

void PdfCompile::ended(int status, bool logWritten) {
    PdfCompileResult result;
    result.stopped = stopAsked_;
    result.pdfPath = pdfPath_;
    CompileEnd end;
    end.program = program_;
    end.status = status;
    end.stopped = stopAsked_;
    // latexmk ends well without writing when the PDF is up to date: that PDF is good too.
    end.pdfExists = QFileInfo::exists(pdfPath_);
    QString counts;
    if (logWritten) {
        editor_->Guarded([&] {
            end.log = platform::readFileBytes(logPath_);
            counts = countsText(countLogEntries(parseLog(*end.log))) + QStringLiteral(". ");
        });
    }
    const bool exitedWell = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto native = [](const std::string& cp1251) {
        return QFile::encodeName(platform::fsPath(cp1251)).toStdString();
    };
    if (!exitedWell && !engine_.empty() &&
        findProgram(native(engine_), native(editor_->AppDir)).error != 0)
        end.missingEngine = platform::fromCp1251(engine_);
    const std::optional<QString> failure = compileFailure(end);
    result.succeeded = !failure;
    if (failure) result.failure = *failure;
    pid_ = 0;
    ticker_->stop();
    tick();
    if (onRunningChanged) onRunningChanged(false);
    // Said where the user looks, whether the PDF pane is shown or not.
    if (failure) editor_->ShowIndicatorNotice(counts + *failure);
    if (onFinished) editor_->Guarded([&] { onFinished(result); });
    if (std::function<void()> next = std::move(next_)) {
        next_ = nullptr;
        next();
    }
}

} // namespace processing
