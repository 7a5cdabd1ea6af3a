// TForm1's life: building the window and the editor state, creating the dialogs, the guard
// around every handler, and the window events the design gives handlers to.
#include "app/tform1.h"

#include <QCloseEvent>

#include "app/accessible_names.h"
#include "app/document_journal.h"
#include "app/document_tabs.h"
#include "app/tform9.h"
#include "document/encoding_dialog.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "editing/find_dialogs.h"
#include "insertion/tform4.h"
#include "insertion/tform5.h"
#include "insertion/tform7.h"
#include "pdf/synctex_index.h"
#include "platform/guard.h"
#include "processing/tform6.h"
#include "processing/tform8.h"
#include "project/completion_lists.h"

TForm1::TForm1(const std::string& appDir, std::unique_ptr<platform::Prompts> prompts)
    : prompts_(prompts ? std::move(prompts) : std::make_unique<platform::QtPrompts>()) {
    prompts_->setParentWindow(this);
    // FormCreate takes the program's own folder unless a folder was given here.
    AppDir = appDir;
    BuildComponents();
    ConnectEditorEvents();
    ConnectSpellChecker();
    ConnectTypographyChecker();
    CreateFindDialogs();
    Journal = std::make_unique<app::DocumentJournal>(*this);
    BuildDocumentTabs(*RichEdit1->parentWidget());
    ConnectProjectIndex();
    ConnectProjectAssist();
    Guarded([this] { FormCreate(); });
    Guarded([this] { RestoreStructurePane(); });
}

// The shutdown runs from closeEvent, never from here: a window that was never closed
// (a test's editor) writes nothing at all.
TForm1::~TForm1() = default;

void TForm1::CreateDialogs() {
    Form2 = new TForm2(*this, prompts(), this);
    Form3 = new TForm3(*this, prompts(), this);
    Form4 = new TForm4(this);
    Form5 = new TForm5(this);
    Form6 = new TForm6(*this, this);
    Form7 = new TForm7(this);
    Form8 = new TForm8(this);
    Form9 = new TForm9(this);
    EncodingDialog1 = new TEncodingDialog(this);
    app::nameNamelessControls(*this);
}

void TForm1::Guarded(const std::function<void()>& handler) {
    platform::runGuarded(*prompts_, handler);
}

// Closing by the title bar and "Выход" both come here. The shutdown runs while the
// window still stands, so the save question has its parent; when it refuses (the user
// wanted the document saved and it was not), the window stays open and the next close
// runs the whole shutdown again.
void TForm1::closeEvent(QCloseEvent* event) {
    if (!shutDown_) shutDown_ = FormDestroy();
    if (shutDown_) {
        Journal->endSession(); // what was not saved was declined
        event->accept();
    } else {
        event->ignore();
    }
}

void TForm1::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    Guarded([this] { FormPaint(); });
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Guarded([this] { FormResize(); });
}
