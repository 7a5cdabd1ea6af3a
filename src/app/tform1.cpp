#include "app/tform1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/tform9.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "editing/find_dialogs.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "insertion/tform7.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "processing/tform6.h"
#include "processing/tform8.h"

TForm1::TForm1(const std::string& appDir, std::unique_ptr<platform::Prompts> prompts)
    : prompts_(prompts ? std::move(prompts) : std::make_unique<platform::QtPrompts>()) {
    prompts_->setParentWindow(this);
    AppDir = appDir.empty() ? platform::programFolder() : appDir;
    BuildComponents();
    ConnectEditorEvents();
    CreateFindDialogs();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() {
    if (!destroyed_) {
        destroyed_ = true;
        Guarded([this] { FormDestroy(); });
    }
}

void TForm1::CreateDialogs() {
    Form2 = new TForm2(this);
    Form3 = new TForm3(this);
    Form4 = new TForm4(this);
    Form5 = new TForm5(this);
    Form6 = new TForm6(this);
    Form7 = new TForm7(this);
    Form8 = new TForm8(this);
    Form9 = new TForm9(this);
}

void TForm1::Guarded(const std::function<void()>& handler) { platform::runGuarded(*prompts_, handler); }

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
}

void TForm1::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    Guarded([this] { FormPaint(); });
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Guarded([this] { FormResize(); });
}
