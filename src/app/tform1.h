#pragma once
// TForm1: the main window. It holds the editor's state (state::Editor) and the dialogs,
// and each handler is a one-line forward to the command of the subsystem that holds it:
// TForm1::N8Click in src/app/file_menu.cpp calls document::newDocument, and so on
// (file_menu, edit_menu, insert_menu, processing_menu, keyboard_events). Each section
// below names the folder whose commands it forwards to.
#include <QIcon>
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPointF>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/string_list.h"
#include "platform/text_encoding.h"
#include "state/editor.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;

class TEncodingDialog;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TFindDialog;
class TReplaceDialog;
namespace processing {
class ErrorSteps;
class PdfCompile;
} // namespace processing
namespace pdf {
class PdfPane;
class SyncTexIndex;
struct LineRequest;
} // namespace pdf
namespace app {
class DocumentJournal;
class DocumentTabs;
} // namespace app
namespace keyboard {
class SmartKeyboard;
class LayoutIndicator;
} // namespace keyboard
namespace spelling {
class SpellChecker;
}
namespace typography {
class TypographyChecker;
}
namespace project {
class CompletionLists;
class CompletionPopup;
class PackageCatalog;
class ProjectIndex;
class ProjectNavigation;
class StructurePane;
struct Snapshot;
using SnapshotPtr = std::shared_ptr<const Snapshot>;
} // namespace project

class TForm1 : public QMainWindow, public state::Editor {
    Q_OBJECT

  public:
    // appDir: the folder holding the data files and the settings; empty = where the
    // running program finds them (app::programLocations).
    // prompts: the modal seam; null = real Qt dialogs.
    explicit TForm1(const std::string& appDir = {},
                    std::unique_ptr<platform::Prompts> prompts = nullptr);
    ~TForm1() override;

    // Creates TForm2 ... TForm9, hidden, in that order (the entry routine calls it right
    // after constructing the main window).
    void CreateDialogs();

    platform::Prompts& prompts() override { return *prompts_; }
    void Guarded(const std::function<void()>& handler) override;

    // ===== Components (src/app) =====
    QToolBar* ToolBar1 = nullptr;
    // RichEdit1 and Label1 are state::Editor's.
    QLabel* Label2 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    // The 27 pictures of the menu items and toolbar buttons, 16 x 16, in list order.
    std::vector<QIcon> ImageList1;
    // The client area below the menu bar: the toolbar, the editing control and the labels
    // sit on it at fixed positions (ArrangeControls keeps them in place).
    QWidget* ClientArea = nullptr;
    // The components the window's own code changes after start-up; every other menu item
    // and toolbar button is found by its objectName.
    QAction* N10 = nullptr; // separator above the recent files
    QAction* File11 = nullptr;
    QAction* File21 = nullptr;
    QAction* File31 = nullptr;
    QAction* File41 = nullptr;
    QToolButton* ToolButton23 = nullptr; // service button with PopupMenu1
    QToolButton* ToolButton24 = nullptr; // Smart Keyboard switch (pressed = asleep)

    // ===== Dialog windows, created by CreateDialogs =====
    TForm2* Form2 = nullptr;                    // src/document
    TForm3* Form3 = nullptr;                    // src/document
    TForm4* Form4 = nullptr;                    // src/insertion
    TForm5* Form5 = nullptr;                    // src/insertion
    TForm6* Form6 = nullptr;                    // src/processing
    TForm7* Form7 = nullptr;                    // src/insertion
    TForm8* Form8 = nullptr;                    // src/processing
    TForm9* Form9 = nullptr;                    // src/app
    TEncodingDialog* EncodingDialog1 = nullptr; // src/document
    TFindDialog* FindDialog1 = nullptr;         // src/editing
    TReplaceDialog* ReplaceDialog1 = nullptr;   // src/editing

    // ===== src/app: start-up, layout, shutdown, help, recent files =====
    void FormCreate();
    // Fills AppDir (unless given) and SettingsDir.
    void FindLocations();
    // A settings file in SettingsDir, or the shipped one in AppDir when the user has none.
    QString SettingsFileToRead(const char* name) const;
    // The shutdown: enters the document into the recent files, writes filelist.ini and,
    // when the document is modified, asks whether to save it. Runs from closeEvent while
    // the window still stands (the title bar, "Выход", the end of the event loop), not
    // from the destructor. Returns false when the user asked for the save and the
    // document is still not saved (save dialog cancelled, or the save failed): the close
    // is refused and the editor stays open with the document. Nothing ends the program
    // while its prompts are up: closes and quits arriving meanwhile are refused.
    bool FormDestroy();
    // True once the shutdown has run and the window may go.
    // Writes filelist.ini or commands.set into SettingsDir, making the folder first.
    void WriteSettingsFile(const char* name, std::string_view bytes) override;
    bool HasShutDown() const { return shutDown_; }
    void FormPaint();
    void FormResize();
    void ArrangeControls();
    void N9Click();
    void help1Click();
    void ToolButton23Click();
    void RememberRecentFile() override;
    // Enters a document (the current one, or one about to be closed) into the recent files.
    void RememberRecentFileOf(const state::DocumentState& document);
    // The recovery journal of the document's unsaved text (app/document_journal.h).
    std::unique_ptr<app::DocumentJournal> Journal;

    // ===== src/keyboard: layout indicator, Smart Keyboard switch and typing rules =====
    // The handlers are defined in src/app/keyboard_events.cpp, each a forward to these two.
    keyboard::SmartKeyboard* SmartKeyboard1 = nullptr;     // RichEdit1's key filter
    keyboard::LayoutIndicator* LayoutIndicator1 = nullptr; // Label1, Label2 and ToolButton24
    void RefreshLayoutIndicator() override;
    // Shows a notice in the indicator's place until the next key press, click or caret
    // move, or a change of layout; then the indicator shows the layout again.
    void ShowIndicatorNotice(const QString& text) override;
    void EndIndicatorNotice() override;
    void RefreshSmartKeyboardControls() override;
    void ToolButton24Click();
    void RichEdit1MouseDown();
    void RichEdit1MouseUp();
    // A click on the layout indicator switches the layout by hand.
    void Label1Click();
    // Ctrl+Shift or Alt+Shift in one of the program's text fields.
    void SwitchLayoutInField();
    void RichEdit1KeyDown(int virtualKey, Qt::KeyboardModifiers shift);
    void RichEdit1KeyPress(char& key);
    void RichEdit1KeyUp(int virtualKey, Qt::KeyboardModifiers shift);

    // ===== src/document: TeX files, status file, file commands (app/file_menu.cpp) =====
    void LoadTexFile(const QString& path);
    void SaveTexFile(const QString& path);
    void ReadStatusFile();
    void WriteStatusFile();
    // False when the user cancelled the save dialog (nothing was saved, nothing changed);
    // a failed write throws and leaves the old files and the document's name as they were.
    bool SaveDocument() override;
    // Refuses (with a runtime error, the current document kept) a path whose folder cannot
    // be entered or whose name the editor cannot keep exactly.
    void OpenDocument(const QString& path) override;
    // Shows the open document of path, or opens path in a tab of its own (app/tabs_menu.cpp).
    bool OpenAnotherDocument(const QString& path) override;
    void N8Click();
    void N5Click();
    // True when the document was saved (the modified flag is then cleared).
    bool N6Click();
    bool N7Click();
    void OpenInEncoding1Click();
    bool SaveInEncoding1Click();
    void File11Click();
    void File21Click();
    void File31Click();
    void File41Click();

    // ===== src/editing: find and replace, place mark, go to line, clipboard =====
    // (forwards in src/app/edit_menu.cpp to src/editing/editing_commands.h)
    int FindInEditor(const std::string& text, int start, int length, bool wholeWord,
                     bool matchCase);
    void N15Click();
    void N17Click();
    void N16Click();
    void FindDialog1Find();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    void N21Click();
    void N18Click();
    void N20Click();
    // Puts the caret at the start of a line (from 1) as "Перейти к строке..." does.
    void CaretToLine(int32_t lineNumber) override;
    void N11Click();
    void N12Click();
    void N13Click();

    // ===== src/processing: compile, view, print, settings, LOG viewer =====
    void TEXDVI1Click();
    void DVI1Click();
    void N22Click();
    void N39Click();
    void LOG1Click();
    // The errors of the last compile's LOG, stepped through from the menu.
    void NextError1Click();
    void PreviousError1Click();
    std::shared_ptr<processing::ErrorSteps> LogErrorSteps; // created at first use
    // The compile to PDF that runs beside the editor; "Остановить компиляцию" ends it.
    processing::PdfCompile* PdfCompile1 = nullptr;
    void StopCompile1Click();
    // The captions of compile, view and print name the output: DVI or PDF.
    void RefreshOutputCaptions();

    // ===== src/tabs: several documents open at once (app/tabs_menu.cpp) =====
    // One tab per open document; the editor state and RichEdit1 are the current one's.
    app::DocumentTabs* Tabs = nullptr;
    // The key sequences of the window's commands, which every editing control yields.
    QList<QKeySequence> WindowShortcuts;
    // Ctrl+W; Ctrl+Tab or Ctrl+PgDown; Ctrl+Shift+Tab or Ctrl+PgUp.
    void CloseTab1Click();
    void NextTab1Click();
    void PreviousTab1Click();
    // A place for another document: the current tab when it holds nothing of the user's,
    // else a new tab.
    void MakeRoomForDocument();
    // Asks the exit's question about the current, modified document and saves it on Yes;
    // withCancel adds the third answer. False when the document is to stay (Cancel, or the
    // save was cancelled or failed).
    bool AskToSaveCurrent(bool withCancel);
    // Its two steps: the question (Yes, No, or nullopt for Cancel), and the save it asked for.
    std::optional<bool> AskSaveQuestion(bool withCancel);
    bool SaveAnswered(bool save);
    // The current document's file was changed, replaced or deleted behind the editor's
    // back: the user keeps the text, reads the file again, or (deleted) saves it again.
    void CheckDocumentOnDisk();
    // The editor as at start-up, before any document: the control disabled, the prompt shown.
    void ShowStartPrompt();
    // The documents open at the last exit, opened again (app/session.cpp).
    void RestoreSession();
    void WriteSession();
    // The set of open documents or the one shown changed: the session file follows a second
    // later, so that a killed editor's documents come back too.
    void SessionChanged();

    // ===== src/pdf: the PDF pane, SyncTeX jumps, kolbax --line (app/pdf_menu.cpp) =====
    // The text and the PDF pane side by side; the pane is hidden until there is a PDF.
    QSplitter* Splitter1 = nullptr;
    pdf::PdfPane* PdfPane1 = nullptr;
    std::unique_ptr<pdf::SyncTexIndex> SyncTex1;
    // The main file's PDF.
    QString PdfPath() const;
    void PDF1Click();
    void FindInPdf1Click();
    void PdfPane1PlaceClicked(int page, QPointF point);
    // A file and line handed over by "kolbax --line N FILE".
    void OpenAtLine(const pdf::LineRequest& request);

    // ===== src/insertion: pictures, list chooser, environments, commands =====
    // (forwards in src/app/insert_menu.cpp to src/insertion/insertion_commands.h)
    std::string LookupGridText(const platform::StringList& grid, int x, int y);
    void N23Click();
    void N24Click();
    void N32Click();
    void N27Click();
    void N28Click();
    void N30Click();
    void N34Click();
    void N26Click();
    void InsertEnvironment();
    void InsertCommand();

    // ===== src/spelling: the Russian spell checker (app/spelling_menu.cpp) =====
    spelling::SpellChecker* SpellChecker1 = nullptr; // RichEdit1's checker
    void SpellCheck1Click();
    void NextMisspelling1Click();
    // The typography checks (src/typography) and "Исправить раскладку".
    typography::TypographyChecker* TypographyChecker1 = nullptr; // RichEdit1's checks
    void Typography1Click();
    void NextTypography1Click();
    void FixLayout1Click();

    // ===== src/project: the project index and its reference checks (app/project_menu.cpp) =====
    // The tree of files of the current document's project, indexed in the background.
    project::ProjectIndex* ProjectIndex1 = nullptr;
    // "Следующая ошибка ссылки": the next reference problem marked in the document.
    void NextReferenceProblem1Click();
    // "Переименовать метку...": the label or citation key at the caret, in every file.
    void RenameLabel1Click();
    // Hands the index the text of every document edited since, at once (the pause's work).
    void FeedProjectIndex();

    // ===== src/project: the structure pane, go to definition, completion
    // (app/project_assist_menu.cpp) "Структура": the project's files, sections, labels and floats,
    // beside the text.
    project::StructurePane* StructurePane1 = nullptr;
    // The completion popup over the editing control.
    project::CompletionPopup* Completion1 = nullptr;
    // Go to definition, back, find references.
    project::ProjectNavigation* Navigation1 = nullptr;
    // The commands and environments of the packages the project loads.
    project::PackageCatalog* Packages1 = nullptr;
    // The latest snapshot of the project shown (never null).
    project::SnapshotPtr ProjectSnapshot() const { return projectSnapshot_; }
    // A newer snapshot: the structure pane and the completion's lists follow it.
    void ProjectSnapshotChanged(project::SnapshotPtr snapshot);
    void Structure1Click();
    void GoToDefinition1Click();
    void GoBack1Click();
    void FindReferences1Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    // src/app: builds the menus, toolbar, labels and the editing control.
    void BuildComponents();
    // src/app/keyboard_events.cpp: installs the Smart Keyboard on the editing control and
    // binds its mouse events and the program's text fields to the indicator.
    void ConnectEditorEvents();
    // src/editing: creates FindDialog1 and ReplaceDialog1.
    void CreateFindDialogs();
    // src/pdf: the pane beside the text, and the PDF compile's reports.
    void BuildPdfPane();
    // Widens the window for the pane when the screen has room.
    void MakeRoomForPdfPane();
    // The pane shows the PDF of the current document's main file (app/pdf_menu.cpp).
    void PdfPaneFollowDocument();
    bool pdfPaneHiddenByTab_ = false;
    // src/tabs: the tab bar above the controls, the actions that move between tabs, and what
    // follows the document shown.
    void BuildDocumentTabs(QWidget& area);
    void BuildTabActions();
    void DocumentShown();
    bool checkingDisk_ = false;
    QTimer* sessionTimer_ = nullptr;
    // Until the last session is back (RestoreSession), the session file is not rewritten:
    // the journals' questions at start-up would otherwise let it lose the documents.
    bool sessionRestored_ = false;
    // src/spelling: puts the spell checker on the editing control; its menu items follow it.
    void ConnectSpellChecker();
    void ConnectTypographyChecker();
    // src/project: the index, its pause after typing, and the marks of each open document.
    void ConnectProjectIndex();
    void ProjectControlAdded(platform::TRichEdit& control);
    void ProjectControlClosing(platform::TRichEdit& control);
    void ProjectFollowDocument();
    void ShowReferenceProblems();
    QTimer* projectPause_ = nullptr;
    std::vector<platform::TRichEdit*> projectEdited_; // edited since their text was handed over
    // The path each control's text was handed over for ("Сохранить как" moves it).
    std::map<const platform::TRichEdit*, QString> projectLivePaths_;

    // src/project: the structure pane in Splitter1, the completion and the jumps over each
    // editing control.
    void BuildStructurePane();
    // The pane and the completion's lists follow the index's snapshots.
    void ConnectProjectAssist();
    void WatchProjectAssist(platform::TRichEdit& control);
    // The pane shows the section of the caret a moment after it stops moving.
    void StructureFollowCaret();
    // Whether the pane was shown at the last exit (structure.set).
    void RestoreStructurePane();
    std::shared_ptr<project::CompletionLists> CurrentCompletionLists();
    // New lists for the snapshot and the packages read so far, made in the background.
    void PrepareCompletionLists();
    project::SnapshotPtr projectSnapshot_;
    std::shared_ptr<project::CompletionLists> completionLists_;
    QTimer* caretTimer_ = nullptr;

    std::unique_ptr<platform::Prompts> prompts_;
    bool shutDown_ = false;        // FormDestroy has run and the close was accepted
    bool recentFilesRead_ = false; // start-up read filelist.ini (or found none)
};
