// Several documents at once: the tab bar's place in the main window, the actions that move
// between tabs and close them, opening a file in a tab of its own, and what follows the
// document shown (the layout indicator, the spell checker, the PDF pane, the file on disk).
#include <QAction>
#include <QLabel>
#include <QSplitter>
#include <QTimer>

#include "app/document_journal.h"
#include "app/document_tabs.h"
#include "app/main_window.h"
#include "app/tform1.h"
#include "document/file_commands.h"
#include "document/texts.h"
#include "keyboard/layout_indicator.h"
#include "keyboard/smart_keyboard.h"
#include "platform/codepage.h"
#include "platform/file_stamp.h"
#include "platform/prompts.h"
#include "spelling/spell_checker.h"
#include "state/document_files.h"
#include "tabs/document_tab_bar.h"
#include "typography/typography_checker.h"

namespace {

const char16_t kExitQuestion[] = u"Файл изменен. Сохранить?";
const char16_t kChangedOnDisk[] = u"Файл %1 изменён на диске другой программой.\n"
                                  u"Перечитать его? (Нет: оставить текст, как он в редакторе.)";
const char16_t kDeletedOnDisk[] = u"Файл %1 удалён с диска. Его текст остаётся в редакторе: "
                                  u"сохраните его, чтобы записать снова.";

QAction* addTabAction(TForm1& form, const char* name, const QList<QKeySequence>& keys,
                      void (TForm1::*handler)()) {
    auto* action = new QAction(&form);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, &form,
                     [&form, handler] { form.Guarded([&form, handler] { (form.*handler)(); }); });
    form.addAction(action);
    return action;
}

} // namespace

void TForm1::BuildTabActions() {
    addTabAction(*this, "CloseTab1", {QKeySequence(Qt::CTRL | Qt::Key_W)}, &TForm1::CloseTab1Click);
    addTabAction(*this, "NextTab1",
                 {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
                 &TForm1::NextTab1Click);
    addTabAction(*this, "PreviousTab1",
                 {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                  QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                  QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
                 &TForm1::PreviousTab1Click);
}

void TForm1::BuildDocumentTabs(QWidget& area) {
    Tabs = new app::DocumentTabs(*this, area, *RichEdit1);
    // The controls outlive no tab: what serves them all belongs to the window.
    SmartKeyboard1->setParent(this);
    LayoutIndicator1->setParent(this);
    SpellChecker1->setParent(this);
    TypographyChecker1->setParent(this);
    Tabs->OnControlAdded = [this](platform::TRichEdit& control) {
        LayoutIndicator1->Watch(control);
        Journal->Track(control);
        ProjectControlAdded(control);
        WatchProjectAssist(control);
    };
    Tabs->OnControlClosing = [this](platform::TRichEdit& control) {
        Journal->Forget(control);
        ProjectControlClosing(control);
        SessionChanged();
    };
    Tabs->OnShown = [this] { DocumentShown(); };
    // Whatever names, renames or loads the document sets the caption: its tab follows.
    connect(this, &QWidget::windowTitleChanged, Tabs, [this] { Tabs->RefreshCurrentTitle(); });
    sessionTimer_ = new QTimer(this);
    sessionTimer_->setSingleShot(true);
    sessionTimer_->setInterval(1000);
    connect(sessionTimer_, &QTimer::timeout, this, [this] {
        // Written quietly: the exit writes it again and reports a failure then.
        try {
            WriteSession();
        } catch (...) {
        }
    });
}

void TForm1::SessionChanged() {
    if (sessionRestored_ && !sessionTimer_->isActive()) sessionTimer_->start();
}

void TForm1::DocumentShown() {
    // The layout of the text at the caret is shown without the switch's beep.
    const bool beep = LayoutBeep;
    LayoutBeep = false;
    ShownCharset = -1;
    EndIndicatorNotice();
    RefreshLayoutIndicator();
    LayoutBeep = beep;
    SpellChecker1->FollowControl();
    TypographyChecker1->FollowControl();
    ProjectFollowDocument();
    PdfPaneFollowDocument();
    StructureFollowCaret();
    RichEdit1->setFocus();
    SessionChanged();
    CheckDocumentOnDisk();
}

void TForm1::CloseTab1Click() {
    Tabs->Close(Tabs->CurrentIndex());
}
void TForm1::NextTab1Click() {
    if (Tabs->Count() > 1) Tabs->Show((Tabs->CurrentIndex() + 1) % Tabs->Count());
}
void TForm1::PreviousTab1Click() {
    if (Tabs->Count() > 1) Tabs->Show((Tabs->CurrentIndex() + Tabs->Count() - 1) % Tabs->Count());
}

void TForm1::MakeRoomForDocument() {
    Tabs->MakeRoom();
}

bool TForm1::OpenAnotherDocument(const QString& path) {
    const int open = Tabs->IndexOfFile(path);
    if (open >= 0 && open == Tabs->CurrentIndex()) return true;
    // The document shown enters the recent files, as a document left always has.
    RememberRecentFile();
    if (open >= 0) {
        Tabs->Show(open);
        return true;
    }
    const bool added = Tabs->MakeRoom();
    try {
        OpenDocument(path);
    } catch (...) {
        // A file that cannot be opened leaves no empty tab behind.
        if (added) Tabs->DropCurrent();
        throw;
    }
    Tabs->RefreshCurrentTitle();
    PdfPaneFollowDocument();
    SessionChanged();
    return true;
}

std::optional<bool> TForm1::AskSaveQuestion(bool withCancel) {
    const std::string caption = "Warning";
    const std::string text = platform::toCp1251(QStringView(kExitQuestion));
    if (withCancel) return prompts().questionOrCancel(caption, text);
    return prompts().question(caption, text);
}

bool TForm1::SaveAnswered(bool save) {
    if (!save) return true;
    // A save that was cancelled or failed keeps the document.
    bool saved = false;
    Guarded([this, &saved] { saved = N6Click(); });
    return saved;
}

bool TForm1::AskToSaveCurrent(bool withCancel) {
    const std::optional<bool> answer = AskSaveQuestion(withCancel);
    return answer && SaveAnswered(*answer);
}

void TForm1::CheckDocumentOnDisk() {
    if (checkingDisk_ || DocName.isEmpty() || !DiskStamp.exists) return;
    const platform::FileStamp now = platform::fileStampOf(state::documentFilePath(*this));
    if (now == DiskStamp) return;
    checkingDisk_ = true;
    const QString name = DocName + DocExt;
    if (!now.exists) {
        // Saving writes it again; until then the text is the only copy.
        DiskStamp = {};
        RichEdit1->SetModified(true);
        prompts().unicodeInformation(QString::fromUtf16(kDeletedOnDisk).arg(name));
    } else if (prompts().unicodeQuestion(document::cp1251(document::kChangedOnDiskCaption),
                                         QString::fromUtf16(kChangedOnDisk).arg(name))) {
        Guarded([this] { document::reloadFromDisk(*this); });
    } else {
        // Kept: the text differs from the file, and a save writes it without asking again.
        DiskStamp = now;
        RichEdit1->SetModified(true);
    }
    checkingDisk_ = false;
}

void TForm1::ShowStartPrompt() {
    RichEdit1->setEnabled(false);
    setWindowTitle(app::mainCaption());
    Label1->setText(QStringLiteral("Открой файл или начни новый!"));
    Label1->setVisible(true);
    ShownCharset = -1;
}
