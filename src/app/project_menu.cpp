// The project index in the main window: the root follows the document shown, the text of
// edited documents is handed over after a pause in typing (never per key), closed documents
// are forgotten, and each open document shows its reference problems as marks. The
// "Проект" menu's commands forward to src/project.
#include <QAction>
#include <QGuiApplication>
#include <QTimer>
#include <algorithm>

#include "app/document_tabs.h"
#include "app/tform1.h"
#include "platform/text_marks.h"
#include "project/label_rename.h"
#include "project/project_files.h"
#include "project/project_index.h"
#include "project/reference_marks.h"
#include "state/document_files.h"

namespace {

// The pause in typing after which the edited texts are handed to the index.
constexpr int kProjectPauseMs = 200;
// The lines a "% !TeX root" comment is looked for in.
constexpr int kRootCommentLines = 20;

const char16_t kRenameCaption[] = u"Переименовать метку";
const char16_t kRenamePrompt[] = u"Новое имя для «%1»:";
const char16_t kNoKeyAtCaret[] =
    u"Поставь курсор на метку, ссылку на неё или ключ цитаты, которые надо переименовать.";
const char16_t kTextChanged[] =
    u"Текст файла %1 не совпадает с тем, что знает указатель проекта. Ничего не изменено: "
    u"повтори переименование.";
const char16_t kNoRoom[] =
    u"Файл %1 стал бы длиннее, чем помещается в редактор. Ничего не изменено.";

// The path of an open document's file; empty for an untitled one.
QString pathOf(const state::DocumentState& document) {
    return document.DocName.isEmpty() ? QString() : state::documentFilePath(document);
}

} // namespace

void TForm1::ConnectProjectIndex() {
    ProjectIndex1 = new project::ProjectIndex(this);
    projectPause_ = new QTimer(this);
    projectPause_->setSingleShot(true);
    projectPause_->setInterval(kProjectPauseMs);
    connect(projectPause_, &QTimer::timeout, this, [this] { FeedProjectIndex(); });
    connect(ProjectIndex1, &project::ProjectIndex::updated, this,
            [this] { Guarded([this] { ShowReferenceProblems(); }); });
    // Files changed by other programs are looked at again when the editor comes back.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) ProjectIndex1->Refresh();
            });
    ProjectControlAdded(*RichEdit1);
}

void TForm1::ProjectControlAdded(platform::TRichEdit& control) {
    // A key costs a look in a short list and a timer's restart.
    connect(&control, &QPlainTextEdit::textChanged, this, [this, &control] {
        if (std::find(projectEdited_.begin(), projectEdited_.end(), &control) ==
            projectEdited_.end())
            projectEdited_.push_back(&control);
        projectPause_->start();
    });
}

void TForm1::ProjectControlClosing(platform::TRichEdit& control) {
    std::erase(projectEdited_, &control);
    const auto fed = projectLivePaths_.find(&control);
    if (fed == projectLivePaths_.end()) return;
    ProjectIndex1->Forget(fed->second);
    projectLivePaths_.erase(fed);
}

void TForm1::ProjectFollowDocument() {
    const QString path = pathOf(*this);
    if (path.isEmpty()) {
        ProjectIndex1->SetRoot({});
        return;
    }
    const platform::TextMarks& marks =
        platform::TextMarks::Of(*RichEdit1, platform::MarkLayer::References);
    QString head;
    for (int line = 0; line < std::min(kRootCommentLines, marks.LineCount()); ++line)
        head += marks.Line(line).text + u'\n';
    const QString root = project::rootOf(path, MainFile, head);
    // A file of the project shown that names no root of its own (a chapter opened from it)
    // stays in that project: alone, every reference to another chapter would be wrong.
    if (root == project::normalPath(path) && ProjectIndex1->Current()->FileIndexOf(path) > 0)
        return;
    ProjectIndex1->SetRoot(root);
}

void TForm1::FeedProjectIndex() {
    projectPause_->stop();
    for (platform::TRichEdit* control : projectEdited_) {
        const QString path = pathOf(Tabs->DocumentOf(*control));
        QString& fed = projectLivePaths_[control];
        // A document saved under another name no longer stands for its old file.
        if (!fed.isEmpty() && fed != path) ProjectIndex1->Forget(fed);
        fed = path;
        if (!path.isEmpty()) ProjectIndex1->SetLiveText(path, control->PlainText());
    }
    projectEdited_.clear();
    // The project link or the root comment may have changed with the text.
    ProjectFollowDocument();
}

void TForm1::ShowReferenceProblems() {
    const project::SnapshotPtr snapshot = ProjectIndex1->Current();
    for (int tab = 0; tab < Tabs->Count(); ++tab) {
        platform::TRichEdit& control = Tabs->ControlAt(tab);
        // A text edited since it was handed over waits for the snapshot made of it.
        if (std::find(projectEdited_.begin(), projectEdited_.end(), &control) !=
            projectEdited_.end())
            continue;
        const QString path = pathOf(Tabs->DocumentAt(tab));
        project::ReferenceMarks::Of(control).Show(
            *snapshot, path.isEmpty() ? -1 : snapshot->FileIndexOf(path));
    }
}

void TForm1::NextReferenceProblem1Click() {
    if (!project::ReferenceMarks::Of(*RichEdit1).SelectNext()) prompts().beep();
}

void TForm1::RenameLabel1Click() {
    // The plan is made from the texts as they are now.
    FeedProjectIndex();
    ProjectIndex1->WaitForIdle();
    const project::SnapshotPtr snapshot = ProjectIndex1->Current();
    const QString path = pathOf(*this);
    const platform::TextMarks::Point caret =
        platform::TextMarks::Of(*RichEdit1, platform::MarkLayer::References).Caret();
    const QString key = path.isEmpty() ? QString()
                                       : project::keyAt(*snapshot, snapshot->FileIndexOf(path),
                                                        caret.line, caret.offset);
    if (key.isEmpty()) {
        prompts().unicodeInformation(QString::fromUtf16(kNoKeyAtCaret));
        return;
    }
    const std::optional<QString> answer = prompts().unicodeInputBox(
        QString::fromUtf16(kRenameCaption), QString::fromUtf16(kRenamePrompt).arg(key), key);
    if (!answer) return;
    const project::RenamePlan plan = project::planRename(*snapshot, key, answer->trimmed());
    if (!plan.refusal.isEmpty()) {
        prompts().unicodeInformation(plan.refusal);
        return;
    }
    // Every file is opened and checked before any is changed; the document the rename
    // started from is shown again at the end.
    platform::TRichEdit* start = RichEdit1;
    std::vector<platform::TRichEdit*> controls;
    for (const project::FileEdits& file : plan.files) {
        if (Tabs->IndexOfFile(file.path) < 0) OpenAnotherDocument(file.path);
        const int tab = Tabs->IndexOfFile(file.path);
        if (tab < 0) return; // not opened: the open said why
        platform::TRichEdit& control = Tabs->ControlAt(tab);
        if (!project::KeysHeld(control, file.places, key)) {
            prompts().unicodeInformation(QString::fromUtf16(kTextChanged).arg(file.path));
            return;
        }
        controls.push_back(&control);
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        if (!project::ReplaceKeys(*controls[i], plan.files[i].places, key, answer->trimmed())) {
            prompts().unicodeInformation(QString::fromUtf16(kNoRoom).arg(plan.files[i].path));
            return;
        }
    }
    for (int tab = 0; tab < Tabs->Count(); ++tab)
        if (&Tabs->ControlAt(tab) == start && tab != Tabs->CurrentIndex()) Tabs->Show(tab);
    FeedProjectIndex();
}
