// The main window's components, start-up, layout and shutdown.
#include <QLabel>
#include <QMenuBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/tform1.h"

void TForm1::BuildComponents() {
    setWindowTitle(QStringLiteral("KolBAX (ver.0.3beta)"));
    MainMenu1 = menuBar();
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    auto* central = new QWidget(this);
    RichEdit1 = new platform::TRichEdit(central);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    Label1 = new QLabel(central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(central);
    Label2->setObjectName(QStringLiteral("Label2"));
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(RichEdit1);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    setCentralWidget(central);
}

void TForm1::FormCreate() {}
void TForm1::FormDestroy() {}
void TForm1::FormPaint() {}
void TForm1::FormResize() {}
void TForm1::ArrangeControls() {}
void TForm1::N9Click() { close(); }
void TForm1::help1Click() {}
void TForm1::ToolButton23Click() {}
void TForm1::RememberRecentFile() {}
