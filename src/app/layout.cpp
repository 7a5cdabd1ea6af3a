// The layout rule: the client area's controls sit at fixed places, the labels keep their
// distances to the bottom (Label2 also to the right) edge, the editing control fills the
// width under the toolbar and ends four pixels above Label1. The PDF pane, when shown,
// shares that place with it (Splitter1); the editing control's least width then gives way.
#include <QLabel>
#include <QSplitter>
#include <QToolBar>

#include "app/main_window.h"
#include "app/tform1.h"
#include "pdf/pdf_pane.h"
#include "project/structure_pane.h"

void TForm1::FormPaint() {
    ArrangeControls();
}

void TForm1::FormResize() {
    ArrangeControls();
}

void TForm1::ArrangeControls() {
    using namespace app;
    const int width = ClientArea->width();
    const int height = ClientArea->height();
    ToolBar1->setGeometry(0, 0, width, kToolBarHeight);
    Label1->move(0, height - (kClientHeight - kLabel1Top));
    Label2->move(width - (kClientWidth - kLabel2Left), height - (kClientHeight - kLabel2Top));
    const int editorHeight = Label1->y() - ToolBar1->height() - 2 * kEditorBorderWidth;
    const bool paneShown = (PdfPane1 != nullptr && !PdfPane1->isHidden()) ||
                           (StructurePane1 != nullptr && !StructurePane1->isHidden());
    Splitter1->setGeometry(0, ToolBar1->height(),
                           paneShown ? width : std::max(width, kEditorMinimumWidth),
                           std::max(editorHeight, 0));
    // The designed height, or the text's own where the font needs more; the whole row while
    // Label2 gives way to a wide notice.
    Label1->resize(std::max(width - (Label2->isHidden() ? 0 : Label2->width()), 0),
                   std::max(kLabel1Height, Label1->sizeHint().height()));
}
