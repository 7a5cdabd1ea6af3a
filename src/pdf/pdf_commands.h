#pragma once
// The PDF commands over the editor: showing the pane, the jumps between a line and its
// place in the PDF (through SyncTeX), and a file and line handed over by "kolbax --line".
// The main window's handlers forward to these, with the PDF of the document's main file.
#include <QPointF>
#include <QString>

namespace state {
class Editor;
}

namespace pdf {

class PdfPane;
class SyncTexIndex;
struct LineRequest;

// "Просмотр PDF": shows the pane with the PDF, or hides it when it is shown.
void togglePane(state::Editor& editor, PdfPane& pane, const QString& pdfPath);

// A PDF compile has ended: a good PDF is shown (the pane comes up unless the user hid it);
// after a failed or stopped one the last good PDF stays, and the note says why (failure).
void showCompiled(PdfPane& pane, const QString& pdfPath, bool succeeded, bool stopped,
                  const QString& failure = {});

// "Найти в PDF": the place of the caret's line in the PDF, scrolled into view and marked.
void findInPdf(state::Editor& editor, PdfPane& pane, SyncTexIndex& index, const QString& pdfPath);

// Ctrl+click on a page: the source line of that place, its file opened as "Открыть" opens
// one (the document is saved first when it was changed).
void goToSource(state::Editor& editor, SyncTexIndex& index, const QString& pdfPath, int page,
                QPointF point);

// "kolbax --line N FILE": the file opened as "Открыть" opens one, the caret on the line.
void openAtLine(state::Editor& editor, const LineRequest& request);

} // namespace pdf
