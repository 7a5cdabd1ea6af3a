#include "pdf/pdf_commands.h"

#include <QFileInfo>

#include "pdf/line_request.h"
#include "pdf/pdf_pane.h"
#include "pdf/synctex_index.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "state/editor.h"

namespace pdf {
namespace {

QString documentPath(const state::Editor& editor) {
    return platform::joinPath(editor.DocDir, editor.DocName + editor.DocExt);
}

bool samePath(const QString& a, const QString& b) {
    const QFileInfo first(a), second(b);
    return first.canonicalFilePath().isEmpty()
               ? first.absoluteFilePath() == second.absoluteFilePath()
               : first.canonicalFilePath() == second.canonicalFilePath();
}

// Shows path as the document, the caret on line: the document itself, or another file
// opened as "Открыть" opens one. False when the user kept the document.
bool showLine(state::Editor& editor, const QString& path, int line) {
    if (editor.DocName.isEmpty() || !samePath(path, documentPath(editor))) {
        if (!editor.OpenAnotherDocument(path)) return false;
    }
    editor.CaretToLine(line);
    editor.RichEdit1->setFocus();
    return true;
}

bool untitled(state::Editor& editor) {
    if (!editor.DocName.isEmpty()) return false;
    editor.prompts().information(
        platform::toCp1251(QStringLiteral("Не могу обрабатывать безымянный файл!")));
    return true;
}

// The pane shows the PDF at pdfPath, loading it when another or none is shown.
bool paneShows(PdfPane& pane, const QString& pdfPath) {
    if (pane.hasDocument() && pane.fileName() == pdfPath) return true;
    return pane.load(pdfPath);
}

} // namespace

void togglePane(state::Editor& editor, PdfPane& pane, const QString& pdfPath) {
    if (pane.isVisible()) {
        pane.hide();
        pane.HiddenByUser = true;
        return;
    }
    if (untitled(editor)) return;
    pane.HiddenByUser = false;
    if (!QFileInfo(pdfPath).isFile() && !pane.hasDocument()) {
        editor.ShowIndicatorNotice(problemNote(SyncProblem::NoPdf));
        return;
    }
    pane.show();
    if (QFileInfo(pdfPath).isFile()) pane.load(pdfPath);
}

void showCompiled(PdfPane& pane, const QString& pdfPath, bool succeeded, bool stopped,
                  const QString& failure) {
    if (!succeeded) {
        const QString kept =
            pane.hasDocument() ? QStringLiteral(" На экране прежний PDF.") : QString();
        const QString why = stopped ? QStringLiteral("Компиляция остановлена.")
                            : failure.isEmpty() ? QStringLiteral("Компиляция не удалась.")
                                                : failure + QStringLiteral(".");
        pane.setNote(why + (stopped ? QString() : QStringLiteral(" Смотрите LOG (Alt+F9).")) +
                     kept);
        return;
    }
    if (!pane.load(pdfPath)) return;
    if (!pane.HiddenByUser) pane.show();
}

void findInPdf(state::Editor& editor, PdfPane& pane, SyncTexIndex& index, const QString& pdfPath) {
    if (untitled(editor)) return;
    // Text typed since the compile has no place in the PDF yet.
    if (editor.RichEdit1->Modified()) {
        editor.ShowIndicatorNotice(problemNote(SyncProblem::OlderThanText));
        return;
    }
    const int line = editor.RichEdit1->CaretLine() + 1;
    const SyncResult<PagePlace> found = index.forward(pdfPath, documentPath(editor), line);
    if (const auto* problem = std::get_if<SyncProblem>(&found)) {
        editor.ShowIndicatorNotice(problemNote(*problem));
        return;
    }
    if (!paneShows(pane, pdfPath)) {
        pane.show();
        return;
    }
    pane.HiddenByUser = false;
    pane.show();
    pane.showPlace(std::get<PagePlace>(found));
}

void goToSource(state::Editor& editor, SyncTexIndex& index, const QString& pdfPath, int page,
                QPointF point) {
    const SyncResult<SourcePlace> found = index.inverse(pdfPath, page, point);
    if (const auto* problem = std::get_if<SyncProblem>(&found)) {
        // A file outside the project is named in full: where the jump would have led.
        const QString about = index.lastMissingSource();
        editor.ShowIndicatorNotice(problemNote(
            *problem, *problem == SyncProblem::NotOfProject ? about : QFileInfo(about).fileName()));
        return;
    }
    const SourcePlace& place = std::get<SourcePlace>(found);
    // The document's own text changed since the compile: its lines have moved.
    if (editor.RichEdit1->Modified() && !editor.DocName.isEmpty() &&
        samePath(place.path, documentPath(editor))) {
        editor.ShowIndicatorNotice(problemNote(SyncProblem::OlderThanText));
        return;
    }
    showLine(editor, place.path, place.line);
}

void openAtLine(state::Editor& editor, const LineRequest& request) {
    // The same refusal as for a file named on the command line: a missing file is a mistake.
    if (!QFileInfo(request.path).isFile()) throw platform::InOutError(ENOENT);
    showLine(editor, request.path, request.line);
}

} // namespace pdf
