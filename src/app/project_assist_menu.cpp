// The project's structure pane, completion and jumps in the main window: the pane's place
// in Splitter1, the popup and the Ctrl+click on every editing control, and the handlers of
// the "Проект" menu, each a forward to src/project.
#include <QAction>
#include <QFile>
#include <QScreen>
#include <QSplitter>
#include <QThreadPool>
#include <QTimer>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "platform/codepage.h"
#include "platform/paths.h"
#include "platform/richedit.h"
#include "project/completion_lists.h"
#include "project/completion_popup.h"
#include "project/navigation.h"
#include "project/package_names.h"
#include "project/project_index.h"
#include "project/structure_pane.h"
#include "state/document_files.h"

namespace {

constexpr const char* kStructureSetting = "structure.set";
constexpr int kStructureWidth = 240;
// The caret's section is looked for once the caret has rested this long.
constexpr int kCaretRestMs = 150;

// The packages and the class the project loads.
QStringList packagesOf(const project::Snapshot& snapshot) {
    QStringList names;
    for (const project::FileIndex& file : snapshot.files) {
        names += file.packages;
        if (!file.documentClass.isEmpty()) names << file.documentClass + QStringLiteral(".cls");
    }
    return names;
}

QStringList unicodeNames(const platform::StringList& list, bool afterEquals) {
    QStringList names;
    for (const std::string& entry : list) {
        const size_t equals = entry.find('=');
        const std::string name =
            afterEquals && equals != std::string::npos ? entry.substr(equals + 1) : entry;
        if (!name.empty()) names << platform::fromCp1251(name).trimmed();
    }
    return names;
}

} // namespace

void TForm1::BuildStructurePane() {
    projectSnapshot_ = std::make_shared<const project::Snapshot>();
    StructurePane1 = new project::StructurePane(Splitter1);
    Splitter1->insertWidget(0, StructurePane1);
    Splitter1->setStretchFactor(0, 0);
    StructurePane1->hide();
    StructurePane1->OnOpen = [this](const QString& path, int line) {
        Guarded([&] { Navigation1->Open({path, line, 0, 0}); });
    };
    Packages1 = new project::PackageCatalog(this);
    connect(Packages1, &project::PackageCatalog::loaded, this,
            [this] { PrepareCompletionLists(); });
    Completion1 = new project::CompletionPopup(
        *this, [this] { return CurrentCompletionLists(); }, this);
    Navigation1 = new project::ProjectNavigation(
        *this, [this] { return ProjectSnapshot(); }, this);
    // An open document's line is its text in the editor, which may not be saved yet.
    Navigation1->LineText = [this](const QString& path, int line) {
        const int open = Tabs ? Tabs->IndexOfFile(path) : -1;
        return open >= 0 ? Tabs->ControlAt(open).LineText(line) : project::lineOfFile(path, line);
    };
    caretTimer_ = new QTimer(this);
    caretTimer_->setSingleShot(true);
    caretTimer_->setInterval(kCaretRestMs);
    connect(caretTimer_, &QTimer::timeout, this, [this] { StructureFollowCaret(); });
    WatchProjectAssist(*RichEdit1);
}

void TForm1::ConnectProjectAssist() {
    connect(ProjectIndex1, &project::ProjectIndex::updated, this,
            [this] { Guarded([this] { ProjectSnapshotChanged(ProjectIndex1->Current()); }); });
}

void TForm1::WatchProjectAssist(platform::TRichEdit& control) {
    Completion1->Watch(control);
    Navigation1->Watch(control);
    connect(&control, &QPlainTextEdit::cursorPositionChanged, caretTimer_,
            [this] { caretTimer_->start(); });
}

void TForm1::RestoreStructurePane() {
    QFile file(platform::joinPath(SettingsDir, QLatin1String(kStructureSetting)));
    if (SettingsDir.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
    if (file.readLine().trimmed().startsWith('1')) Structure1Click();
}

void TForm1::ProjectSnapshotChanged(project::SnapshotPtr snapshot) {
    if (!snapshot) return;
    projectSnapshot_ = std::move(snapshot);
    Packages1->Want(packagesOf(*projectSnapshot_));
    PrepareCompletionLists();
    // A document of no project (a new tab, before its file is loaded into it) leaves the
    // tree as it is: emptied and filled again, it would lose what the user opened.
    if (!StructurePane1->isHidden() && !projectSnapshot_->root.isEmpty()) {
        StructurePane1->ShowSnapshot(*projectSnapshot_);
        StructureFollowCaret();
    }
}

void TForm1::PrepareCompletionLists() {
    completionLists_.reset();
    // Made on a worker, so that neither the key that opens the popup nor any other waits.
    QThreadPool::globalInstance()->start([lists = CurrentCompletionLists()] { lists->Prepare(); });
}

std::shared_ptr<project::CompletionLists> TForm1::CurrentCompletionLists() {
    if (!completionLists_) {
        project::NameSources names;
        names.editorCommands = unicodeNames(CommandList, false);
        names.editorEnvironments = unicodeNames(FormulaEnvironments, false) +
                                   unicodeNames(StatementEnvironments, true) +
                                   unicodeNames(OtherEnvironments, false);
        Packages1->NamesOf(packagesOf(*projectSnapshot_), names.packageCommands,
                           names.packageEnvironments);
        completionLists_ =
            std::make_shared<project::CompletionLists>(projectSnapshot_, std::move(names));
    }
    return completionLists_;
}

void TForm1::StructureFollowCaret() {
    if (StructurePane1->isHidden() || DocName.isEmpty()) return;
    StructurePane1->ShowCaret(state::documentFilePath(*this), RichEdit1->CaretLine());
}

void TForm1::Structure1Click() {
    const bool show = StructurePane1->isHidden();
    StructurePane1->setVisible(show);
    if (show) {
        // The text keeps its width: the window grows by the pane where the screen has room.
        if (!isMaximized() && !isFullScreen() && screen()) {
            const int room =
                screen()->availableGeometry().width() - (frameGeometry().width() - width());
            resize(std::min(width() + kStructureWidth, std::max(room, width())), height());
        }
        StructurePane1->ShowSnapshot(*projectSnapshot_);
        QList<int> sizes = Splitter1->sizes();
        if (sizes.size() > 1 && sizes[0] < kStructureWidth / 2) {
            sizes[1] = std::max(sizes[1] - kStructureWidth, 0);
            sizes[0] = kStructureWidth;
            Splitter1->setSizes(sizes);
        }
        StructureFollowCaret();
    }
    if (auto* item = findChild<QAction*>(QStringLiteral("Structure1"))) item->setChecked(show);
    ArrangeControls();
    WriteSettingsFile(kStructureSetting, show ? "1\r\n" : "0\r\n");
}

void TForm1::GoToDefinition1Click() {
    Navigation1->GoToDefinition();
}
void TForm1::GoBack1Click() {
    Navigation1->GoBack();
}
void TForm1::FindReferences1Click() {
    Navigation1->FindReferences();
}
