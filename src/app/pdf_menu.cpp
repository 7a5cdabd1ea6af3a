// The PDF pane's place in the main window and the handlers of the PDF commands: each
// forwards to its command in src/pdf or src/processing. The compile's end reaches the pane
// from here, as the subsystems do not know one another.
#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QToolButton>

#include "app/event_hook.h"
#include "app/main_window.h"
#include "app/tform1.h"
#include "pdf/line_request.h"
#include "pdf/pdf_commands.h"
#include "pdf/pdf_pane.h"
#include "pdf/synctex_index.h"
#include "processing/command_line.h"
#include "processing/pdf_compile.h"
#include "processing/processing_commands.h"

namespace {

// How wide the window grows when the pane first comes up beside a narrow text.
constexpr int kPaneWidth = 560;

} // namespace

void TForm1::BuildPdfPane() {
    SyncTex1 = std::make_unique<pdf::SyncTexIndex>();
    PdfPane1 = new pdf::PdfPane(Splitter1);
    Splitter1->addWidget(PdfPane1);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 1);
    PdfPane1->hide();
    PdfPane1->onPlaceClicked = [this](int page, QPointF point) {
        Guarded([&] { PdfPane1PlaceClicked(page, point); });
    };
    // The layout follows the pane; the menu item's check shows whether it is up.
    new app::EventHook(PdfPane1, [this](QEvent* event) {
        if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
            if (auto* item = findChild<QAction*>(QStringLiteral("PDF1")))
                item->setChecked(event->type() == QEvent::Show);
            if (event->type() == QEvent::Show) MakeRoomForPdfPane();
            ArrangeControls();
        }
        return false;
    });

    PdfCompile1 = new processing::PdfCompile(this);
    PdfCompile1->onRunningChanged = [this](bool running) {
        if (auto* item = findChild<QAction*>(QStringLiteral("StopCompile1")))
            item->setEnabled(running);
    };
    PdfCompile1->onFinished = [this](const processing::PdfCompileResult& result) {
        pdf::showCompiled(*PdfPane1, result.pdfPath, result.succeeded, result.stopped,
                          result.failure);
        if (result.succeeded) SyncTex1->prepare(result.pdfPath);
    };
}

void TForm1::MakeRoomForPdfPane() {
    const QScreen* screen = this->screen();
    if (screen == nullptr || isMaximized() || isFullScreen()) return;
    const int wanted = app::kClientWidth + kPaneWidth;
    const int room = screen->availableGeometry().width() - (frameGeometry().width() - width());
    if (width() < wanted) resize(std::min(wanted, room), height());
}

QString TForm1::PdfPath() const {
    return processing::targetOf(DocDir, DocName, MainFile).file(QStringLiteral(".pdf"));
}

void TForm1::RefreshOutputCaptions() {
    const bool pdf = Pdf.kind == state::OutputKind::Pdf;
    const auto set = [this](const char* item, const char* button, const QString& caption,
                            const QString& hint) {
        if (auto* action = findChild<QAction*>(QLatin1String(item))) action->setText(caption);
        if (auto* tool = findChild<QToolButton*>(QLatin1String(button))) {
            tool->setToolTip(hint);
            tool->setAccessibleName(hint);
        }
    };
    set("TEXDVI1", "ToolButton21",
        pdf ? QStringLiteral("Компиляция  (TEX -> PDF)    ")
            : QStringLiteral("Компиляция  (TEX -> DVI)    "),
        QStringLiteral("Компилировать"));
    set("DVI1", "ToolButton20",
        pdf ? QStringLiteral("Просмотр файла PDF   ") : QStringLiteral("Просмотр файла DVI   "),
        pdf ? QStringLiteral("Смотреть PDF-файл") : QStringLiteral("Смотреть DVI-файл"));
    set("N22", "ToolButton18", QStringLiteral("Печать "),
        pdf ? QStringLiteral("Печатать PDF-файл") : QStringLiteral("Печатать DVI-файл"));
}

void TForm1::StopCompile1Click() {
    processing::stopCompile(*PdfCompile1);
}
// The pane shows the PDF of the current document's main file: kept for a chapter of the same
// project, another project's loaded, and put away (to come back with its document) while
// the document shown has none. A pane the user hid stays hidden.
void TForm1::PdfPaneFollowDocument() {
    // An untitled document changes nothing.
    if ((PdfPane1->isHidden() && !pdfPaneHiddenByTab_) || DocName.isEmpty()) return;
    const QString path = PdfPath();
    const bool shows = (PdfPane1->hasDocument() && PdfPane1->fileName() == path) ||
                       (QFileInfo(path).isFile() && PdfPane1->load(path));
    pdfPaneHiddenByTab_ = !shows;
    PdfPane1->setVisible(shows);
}

void TForm1::PDF1Click() {
    pdfPaneHiddenByTab_ = false;
    pdf::togglePane(*this, *PdfPane1, PdfPath());
    if (auto* item = findChild<QAction*>(QStringLiteral("PDF1")))
        item->setChecked(!PdfPane1->isHidden());
}
void TForm1::FindInPdf1Click() {
    pdf::findInPdf(*this, *PdfPane1, *SyncTex1, PdfPath());
}
void TForm1::PdfPane1PlaceClicked(int page, QPointF point) {
    pdf::goToSource(*this, *SyncTex1, PdfPath(), page, point);
}
void TForm1::OpenAtLine(const pdf::LineRequest& request) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    pdf::openAtLine(*this, request);
}
