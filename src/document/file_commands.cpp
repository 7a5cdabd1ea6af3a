// The File menu: new, open, save, save as and the recent files; loading and saving TeX
// files and status files.
#include "document/file_commands.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <exception>

#include "document/tex_view.h"
#include "document/status_file.h"
#include "document/tex_document.h"
#include "document/texts.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "state/editor.h"

using document::cp1251;

namespace {

bool fileExists(const QString& path) {
    return QFileInfo::exists(path);
}

// Refuses runs the control could not hold.
void checkFitsControl(const std::vector<platform::TextRun>& runs) {
    if (platform::rtfTextLength(runs) > platform::TRichEdit::kMaxLength)
        throw platform::RuntimeError(cp1251(document::kTooLarge));
}

// The bytes of the document's file, in its encoding.
document::TexFileBytes savedFileBytes(const state::Editor& editor) {
    const platform::TRichEdit& edit = *editor.RichEdit1;
    return document::writeTexDocument(
        [&edit](auto&& character, auto&& lineBreak) { edit.WalkText(character, lineBreak); },
        static_cast<size_t>(edit.TextLength()), editor.DocEncoding, editor.DocLayout);
}

struct LoadedDocument {
    std::vector<platform::TextRun> runs;
    platform::TextEncoding encoding = platform::TextEncoding::Cp866;
    platform::Utf8Layout layout;
};

// Reads a TeX file as its RTF view shows it, nothing written beside it, while Label1 shows
// the loading notice. When reading fails Label1 gets back what it showed and the error
// goes on. adjust, when given, changes the file's bytes before they are read (a template
// taking the new document's encoding).
LoadedDocument readTexFileWithNotice(state::Editor& editor, const QString& path,
                                     std::string (*adjust)(std::string,
                                                           platform::TextEncoding) = nullptr) {
    const QString text = editor.Label1->text();
    const QPalette palette = editor.Label1->palette();
    const bool visible = editor.Label1->isVisible();

    QPalette black = palette;
    black.setColor(QPalette::WindowText, Qt::black);
    editor.Label1->setPalette(black);
    editor.Label1->setText(platform::fromCp1251(cp1251(document::kLoadingNotice)));
    editor.Label1->setVisible(true);
    editor.Label1->repaint();
    QCoreApplication::processEvents();
    try {
        std::string bytes = document::readDocumentBytes(path);
        if (adjust) bytes = adjust(std::move(bytes), editor.DocEncoding);
        document::TexDocument doc = document::readTexDocument(bytes, QFileInfo(path).fileName());
        checkFitsControl(doc.runs);
        return {std::move(doc.runs), doc.encoding, doc.layout};
    } catch (...) {
        editor.Label1->setText(text);
        editor.Label1->setPalette(palette);
        editor.Label1->setVisible(visible);
        throw;
    }
}

// The loaded document replaces the control's content; the layout indicator takes Label1
// back.
void showLoadedRuns(state::Editor& editor, const std::vector<platform::TextRun>& runs) {
    editor.RichEdit1->LoadRuns(runs);
    editor.Label1->hide();
    editor.RefreshLayoutIndicator();
}

struct DocumentPath {
    QString name, extension, folder;
};

DocumentPath documentPathOf(const state::Editor& editor) {
    return {editor.DocName, editor.DocExt, editor.DocDir};
}

void setDocumentPath(state::Editor& editor, const DocumentPath& path) {
    editor.DocName = path.name;
    editor.DocExt = path.extension;
    editor.DocDir = path.folder;
}

// A chosen path as the document's names: refused (nothing changed) when the editor cannot
// keep the name exactly, made absolute so that no later change of the current folder can
// move the document's files elsewhere.
DocumentPath documentPathFor(const QString& chosen) {
    if (!platform::isWorkablePath(chosen))
        throw platform::RuntimeError(cp1251(document::kUnworkableName));
    platform::PathParts parts = platform::splitPath(platform::absolutePath(chosen));
    return {parts.nameWithoutExtension, parts.extension, parts.folder};
}

// The current folder follows DocDir. The new folder is entered before anything else
// changes: one that does not exist or may not be entered is refused with the message.
// Unless the change is kept, the folder that was current comes back at the end.
class FolderChange {
  public:
    FolderChange(const QString& folder, std::u16string_view refusal)
        : previous_(QDir::currentPath()) {
        if (!QDir::setCurrent(folder))
            throw platform::RuntimeError(cp1251(refusal) + platform::toCp1251(folder));
    }
    ~FolderChange() {
        if (!kept_ && !previous_.isEmpty()) QDir::setCurrent(previous_);
    }
    FolderChange(const FolderChange&) = delete;
    FolderChange& operator=(const FolderChange&) = delete;
    void keep() { kept_ = true; }

  private:
    QString previous_;
    bool kept_ = false;
};

// One of the document's own files by its absolute path: DocDir, DocName and an extension.
QString documentFile(const state::Editor& editor, const QString& extension) {
    return platform::joinPath(editor.DocDir, editor.DocName + extension);
}

// The caption and the repaints belong to the window that holds the editing control.
QWidget& windowOf(state::Editor& editor) {
    return *editor.RichEdit1->window();
}

std::optional<QString> askSaveName(state::Editor& editor) {
    auto chosen = editor.prompts().saveFile("", cp1251(document::kSaveFilter), ".tex");
    // A name that is only an extension (".tex") names no document.
    if (chosen && platform::splitPath(*chosen).nameWithoutExtension.isEmpty()) return std::nullopt;
    return chosen;
}

// Saves the document under a new name; on a failed write the old name and folder come back.
void saveUnder(state::Editor& editor, const QString& chosen) {
    const DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, document::kCannotSaveInFolder);
    const DocumentPath previous = documentPathOf(editor);
    setDocumentPath(editor, next);
    try {
        document::saveDocument(editor);
    } catch (...) {
        setDocumentPath(editor, previous);
        throw;
    }
    folder.keep();
}

// Before a command leaves a modified document it is saved. False when the user cancelled
// the save dialog: the command stops and the document stays as it is.
bool saveBeforeLeaving(state::Editor& editor) {
    if (!editor.RichEdit1->Modified()) return true;
    if (!document::saveDocument(editor)) return false;
    editor.RichEdit1->SetModified(false);
    return true;
}

} // namespace

namespace document {

void setCaption(state::Editor& editor, bool untitled) {
    QString caption =
        document::text(document::kProgramCaption) + document::text(document::kCaptionSeparator);
    caption += untitled ? document::text(document::kUntitled) : editor.DocName;
    if (!editor.MainFile.isEmpty() && editor.MainFile != QLatin1String("*"))
        caption += document::text(document::kAttachedTo) + editor.MainFile;
    if (editor.DocEncoding == platform::TextEncoding::Utf8)
        caption += document::text(document::kUtf8CaptionTail);
    windowOf(editor).setWindowTitle(caption);
}

void loadTexFile(state::Editor& editor, const QString& path) {
    if (!fileExists(path)) return;
    showLoadedRuns(editor, readTexFileWithNotice(editor, path).runs);
}

void saveTexFile(state::Editor& editor, const QString& path) {
    // An untitled document (the path is only ".tex") is not saved.
    if (platform::splitPath(path).nameWithoutExtension.isEmpty()) return;
    const document::TexFileBytes text = savedFileBytes(editor);
    if (text.empty()) return; // no lines: the file on disk stays as it is
    platform::writeFileAtomically(path, text.bytes());
}

void readStatusFile(state::Editor& editor) {
    StatusRecord record;
    std::exception_ptr failure;
    try {
        document::readStatusFile(documentFile(editor, QStringLiteral(".sts")), record);
    } catch (...) {
        failure = std::current_exception();
    }
    // What was read before a failure stays set.
    if (record.mainFile) editor.MainFile = *record.mainFile;
    if (record.smartKeyboardOn) {
        editor.SmartKeyboardOn = *record.smartKeyboardOn;
        editor.RefreshSmartKeyboardControls();
    }
    if (record.caret) editor.RichEdit1->SetSel(std::max(*record.caret, 0), 0);
    if (failure) std::rethrow_exception(failure);
}

void writeStatusFile(state::Editor& editor) {
    platform::writeFileAtomically(
        documentFile(editor, QStringLiteral(".sts")),
        statusFileText(editor.MainFile, editor.SmartKeyboardOn, editor.RichEdit1->SelStart()));
}

bool saveDocument(state::Editor& editor) {
    if (editor.DocName.isEmpty()) {
        auto chosen = askSaveName(editor);
        if (!chosen) return false;
        saveUnder(editor, *chosen); // comes back here with the name known
        return true;
    }
    saveTexFile(editor, documentFile(editor, QStringLiteral(".tex")));
    writeStatusFile(editor);
    return true;
}

void openDocument(state::Editor& editor, TForm3& form3, const QString& chosen) {
    // The folder is entered and the file read before anything else changes: a folder that
    // cannot be entered or a file that cannot be loaded leaves the current document as it
    // was. A name that does not exist gives an empty document.
    const DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, kCannotOpenInFolder);
    const QString path = platform::joinPath(next.folder, next.name + next.extension);
    std::optional<LoadedDocument> loaded;
    if (fileExists(path)) loaded = readTexFileWithNotice(editor, path);
    folder.keep();

    setDocumentPath(editor, next);
    // A name that does not exist yet starts a CP866 document, as it always has.
    editor.DocEncoding = loaded ? loaded->encoding : platform::TextEncoding::Cp866;
    editor.DocLayout = loaded ? loaded->layout : platform::Utf8Layout{};
    if (loaded)
        showLoadedRuns(editor, loaded->runs);
    else
        editor.RichEdit1->Clear();
    setCaption(editor, false);
    editor.RichEdit1->SetModified(false);

    std::exception_ptr statusFailure;
    if (fileExists(documentFile(editor, QStringLiteral(".sts")))) {
        try {
            readStatusFile(editor);
        } catch (...) {
            // Shown once the document is ready for editing.
            statusFailure = std::current_exception();
        }
    } else {
        editor.prompts().showModal(form3);
        windowOf(editor).update();
    }
    setCaption(editor, false);
    windowOf(editor).setEnabled(true);
    editor.RichEdit1->setEnabled(true);
    editor.RichEdit1->setFocus();
    editor.ShownCharset = -1;
    editor.LayoutBeep = true;
    editor.RefreshLayoutIndicator();
    editor.RefreshSmartKeyboardControls();
    if (statusFailure) std::rethrow_exception(statusFailure);
}

void newDocument(state::Editor& editor, TForm2& form2) {
    if (!saveBeforeLeaving(editor)) return;
    editor.LayoutBeep = true;
    editor.RememberRecentFile();
    editor.RichEdit1->Clear();
    editor.RichEdit1->SetModified(false);
    editor.DocName.clear();
    // The project link of the document left goes before the caption is set, so that the
    // new-file dialog is not shown under the old link.
    editor.MainFile.clear();
    // Nor does the encoding of the document left stay shown.
    editor.DocEncoding = editor.NewDocEncoding;
    setCaption(editor, true);
    editor.RichEdit1->setEnabled(true);
    editor.RichEdit1->setFocus();
    editor.RichEdit1->SetInsertCharset(platform::kCyrillicCharset);
    editor.prompts().showModal(form2);
    windowOf(editor).update();
    editor.DocEncoding = editor.NewDocEncoding;
    editor.DocLayout = {};
    setCaption(editor, true);
    editor.ShownCharset = -1;

    if (editor.UserTemplate == QLatin1String("*")) {
        const QString standard =
            platform::joinPath(platform::fsPath(editor.AppDir), QStringLiteral("default.tex"));
        if (fileExists(standard))
            showLoadedRuns(editor,
                           readTexFileWithNotice(editor, standard, templateForEncoding).runs);
    } else if (!editor.UserTemplate.isEmpty()) {
        platform::PathParts parts = platform::splitPath(editor.UserTemplate);
        QString companion =
            editor.UserTemplate.left(editor.UserTemplate.size() - parts.extension.size()) +
            QStringLiteral(".rtf");
        if (fileExists(companion)) {
            // Rich text as it is, without code-page conversion; a file that is not RTF is
            // plain text.
            const std::vector<platform::TextRun> runs =
                platform::readRtf(readDocumentBytes(companion), platform::kCyrillicCharset);
            checkFitsControl(runs);
            editor.RichEdit1->LoadRuns(runs);
        } else {
            loadTexFile(editor, editor.UserTemplate);
        }
    }
    editor.RefreshLayoutIndicator();
    editor.RefreshSmartKeyboardControls();
}

void open(state::Editor& editor, TForm3& form3) {
    if (!saveBeforeLeaving(editor)) return;
    editor.RememberRecentFile();
    auto chosen = editor.prompts().openFile(cp1251(kOpenTitle), cp1251(kOpenFilter));
    // Cancelled: the document stays as it is.
    if (!chosen) return;
    openDocument(editor, form3, *chosen);
}

bool openAnotherDocument(state::Editor& editor, TForm3& form3, const QString& path) {
    if (!saveBeforeLeaving(editor)) return false;
    editor.RememberRecentFile();
    openDocument(editor, form3, path);
    return true;
}

bool save(state::Editor& editor) {
    bool saved = editor.DocName.isEmpty() ? saveAs(editor) : saveDocument(editor);
    if (saved) editor.RichEdit1->SetModified(false);
    return saved;
}

bool saveAs(state::Editor& editor) {
    auto chosen = askSaveName(editor);
    if (!chosen) return false;
    saveUnder(editor, *chosen);
    editor.RichEdit1->SetModified(false);
    setCaption(editor, false);
    return true;
}

void openRecentFile(state::Editor& editor, TForm3& form3, size_t index) {
    const QString path = editor.RecentFiles.at(index);
    if (path.isEmpty()) return;
    if (index == 0) editor.RememberRecentFile();
    if (!saveBeforeLeaving(editor)) return;
    if (index != 0) editor.RememberRecentFile();
    openDocument(editor, form3, path);
}

} // namespace document
