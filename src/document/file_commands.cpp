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

#include "document/encoding_dialog.h"
#include "document/status_file.h"
#include "document/tex_document.h"
#include "document/tex_view.h"
#include "document/texts.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/file_stamp.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/richedit.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"
#include "state/document_files.h"
#include "state/editor.h"

using document::cp1251;

namespace {

bool fileExists(const QString& path) {
    return QFileInfo::exists(path);
}

static_assert(document::kCp866DocumentLength == platform::TRichEdit::kMaxLength);

// Refuses runs a document of the encoding could not hold.
void checkFitsControl(const std::vector<platform::TextRun>& runs, platform::TextEncoding encoding) {
    const int limit = document::maxDocumentLength(encoding);
    if (platform::rtfTextLength(runs) > limit)
        throw platform::RuntimeError(
            platform::toCp1251(document::text(document::kTooLarge).arg(limit)));
}

// The bytes of the document's file, in its encoding and layout.
platform::FileBytes savedFileBytes(const state::Editor& editor, platform::TextEncoding encoding,
                                   const platform::FileLayout& layout) {
    const platform::TRichEdit& edit = *editor.RichEdit1;
    return document::writeTexDocument(
        [&edit](auto&& character, auto&& lineBreak) { edit.WalkText(character, lineBreak); },
        static_cast<size_t>(edit.TextLength()), encoding, layout);
}

struct LoadedDocument {
    std::vector<platform::TextRun> runs;
    platform::TextEncoding encoding = platform::TextEncoding::Cp866;
    platform::FileLayout layout;
    std::optional<platform::TextEncoding> contradictedDeclaration;
};

// Reads a TeX file as the control shows it, nothing written beside it, while Label1 shows
// the loading notice. When reading fails Label1 gets back what it showed and the error
// goes on. The encoding is recognised unless one is given; a template (newEncoding given)
// takes the new document's encoding in its inputenc line.
LoadedDocument
readTexFileWithNotice(state::Editor& editor, const QString& path,
                      std::optional<platform::TextEncoding> encoding = std::nullopt,
                      std::optional<platform::TextEncoding> newEncoding = std::nullopt) {
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
        document::TexDocument doc = document::readTexDocumentFile(path, encoding);
        if (newEncoding) document::setDeclaredEncoding(doc.text, *newEncoding);
        LoadedDocument loaded{document::viewRuns(doc.text), doc.encoding, doc.layout,
                              doc.contradictedDeclaration};
        checkFitsControl(loaded.runs, newEncoding.value_or(doc.encoding));
        return loaded;
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

QString encodingName(platform::TextEncoding encoding) {
    const std::string_view name = platform::encodingOf(encoding).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
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
            throw platform::UnicodeRuntimeError(document::text(refusal) + folder);
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
// The chosen file is the user's choice, not the one the editor read: it is written without
// asking whatever stands there.
void saveUnder(state::Editor& editor, const QString& chosen) {
    const DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, document::kCannotSaveInFolder);
    const DocumentPath previous = documentPathOf(editor);
    const platform::FileStamp previousStamp = editor.DiskStamp;
    setDocumentPath(editor, next);
    editor.DiskStamp = {};
    try {
        document::saveDocument(editor);
    } catch (...) {
        setDocumentPath(editor, previous);
        editor.DiskStamp = previousStamp;
        throw;
    }
    folder.keep();
}

// A file changed or replaced on disk since the editor last read or wrote it is written over
// only when the user agrees; one deleted meanwhile is simply written again.
bool mayOverwrite(state::Editor& editor, const QString& path) {
    if (!editor.DiskStamp.exists) return true;
    const platform::FileStamp now = platform::fileStampOf(path);
    if (!now.exists || now == editor.DiskStamp) return true;
    const QString name = editor.DocName + editor.DocExt;
    return editor.prompts().unicodeQuestion(
        cp1251(document::kChangedOnDiskCaption),
        document::text(document::kOverwriteChangedFile).arg(name));
}

// Before a command leaves a modified document it is saved. False when the user cancelled
// the save dialog: the command stops and the document stays as it is.
bool saveBeforeLeaving(state::Editor& editor) {
    if (!editor.RichEdit1->Modified()) return true;
    if (!document::saveDocument(editor)) return false;
    editor.RichEdit1->SetModified(false);
    return true;
}

// The document's own file read again in place of its text, the caret kept where it can be.
void readAgain(state::Editor& editor, const QString& path,
               std::optional<platform::TextEncoding> encoding) {
    const LoadedDocument loaded = readTexFileWithNotice(editor, path, encoding);
    const int caret = editor.RichEdit1->SelStart();
    document::setDocumentEncoding(editor, loaded.encoding, loaded.layout);
    editor.DiskStamp = platform::fileStampOf(path);
    showLoadedRuns(editor, loaded.runs);
    editor.RichEdit1->SetSel(std::min(caret, editor.RichEdit1->TextLength()), 0);
    editor.RichEdit1->SetModified(false);
    document::setCaption(editor, false);
}

} // namespace

namespace document {

void setDocumentEncoding(state::Editor& editor, platform::TextEncoding encoding,
                         const platform::FileLayout& layout) {
    editor.DocEncoding = encoding;
    editor.DocLayout = layout;
    editor.RichEdit1->SetMaxLength(maxDocumentLength(encoding));
}

void setCaption(state::Editor& editor, bool untitled) {
    QString caption =
        document::text(document::kProgramCaption) + document::text(document::kCaptionSeparator);
    // A file other than a ".tex" one is named with its extension (refs.bib beside refs.tex).
    if (untitled)
        caption += document::text(document::kUntitled);
    else
        caption += state::isTexDocument(editor) ? editor.DocName : editor.DocName + editor.DocExt;
    if (!editor.MainFile.isEmpty() && editor.MainFile != QLatin1String("*"))
        caption += document::text(document::kAttachedTo) + editor.MainFile;
    if (editor.DocEncoding != platform::TextEncoding::Cp866)
        caption +=
            document::text(document::kEncodingCaptionTail).arg(encodingName(editor.DocEncoding));
    windowOf(editor).setWindowTitle(caption);
}

void loadTexFile(state::Editor& editor, const QString& path) {
    if (!fileExists(path)) return;
    showLoadedRuns(editor, readTexFileWithNotice(editor, path).runs);
}

void saveTexFile(state::Editor& editor, const QString& path) {
    // An untitled document (the path is only an extension) is not saved.
    if (platform::splitPath(path).nameWithoutExtension.isEmpty()) return;
    const platform::FileBytes text = savedFileBytes(editor, editor.DocEncoding, editor.DocLayout);
    if (text.empty()) return; // no lines: the file on disk stays as it is
    platform::writeFileAtomically(path, text.bytes());
    editor.DiskStamp = platform::fileStampOf(path);
}

void readStatusFile(state::Editor& editor) {
    StatusRecord record;
    std::exception_ptr failure;
    try {
        document::readStatusFile(state::statusFilePath(editor), record);
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
        state::statusFilePath(editor),
        statusFileText(editor.MainFile, editor.SmartKeyboardOn, editor.RichEdit1->SelStart()));
}

bool saveDocument(state::Editor& editor) {
    if (editor.DocName.isEmpty()) {
        auto chosen = askSaveName(editor);
        if (!chosen) return false;
        saveUnder(editor, *chosen); // comes back here with the name known
        return true;
    }
    if (!mayOverwrite(editor, state::documentFilePath(editor))) return false;
    saveTexFile(editor, state::documentFilePath(editor));
    writeStatusFile(editor);
    return true;
}

void openDocument(state::Editor& editor, TForm3& form3, const QString& chosen,
                  std::optional<platform::TextEncoding> encoding) {
    // The folder is entered and the file read before anything else changes: a folder that
    // cannot be entered or a file that cannot be loaded leaves the current document as it
    // was. A name that does not exist gives an empty document (a ".tex" one when the name
    // has no extension).
    DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, kCannotOpenInFolder);
    const QString path = platform::joinPath(next.folder, next.name + next.extension);
    std::optional<LoadedDocument> loaded;
    if (fileExists(path))
        loaded = readTexFileWithNotice(editor, path, encoding);
    else if (next.extension.isEmpty())
        next.extension = state::texExtension();
    folder.keep();

    setDocumentPath(editor, next);
    // A name that does not exist yet starts a CP866 document, as it always has.
    if (loaded)
        setDocumentEncoding(editor, loaded->encoding, loaded->layout);
    else
        setDocumentEncoding(editor, platform::TextEncoding::Cp866,
                            platform::newFileLayout(platform::TextEncoding::Cp866));
    editor.DiskStamp = loaded ? platform::fileStampOf(path) : platform::FileStamp{};
    if (loaded)
        showLoadedRuns(editor, loaded->runs);
    else
        editor.RichEdit1->Clear();
    setCaption(editor, false);
    editor.RichEdit1->SetModified(false);

    std::exception_ptr statusFailure;
    if (fileExists(state::statusFilePath(editor))) {
        try {
            readStatusFile(editor);
        } catch (...) {
            // Shown once the document is ready for editing.
            statusFailure = std::current_exception();
        }
    } else {
        const bool answered = editor.prompts().showModal(form3) == QDialog::Accepted;
        windowOf(editor).update();
        // The answer is kept at once, so that the next open (a jump from the PDF or the LOG
        // into this file) does not ask again. A folder that takes no status file leaves it
        // to the next save, which says why.
        if (answered && loaded) {
            try {
                writeStatusFile(editor);
            } catch (const platform::RuntimeError&) {
            }
        }
    }
    setCaption(editor, false);
    windowOf(editor).setEnabled(true);
    editor.RichEdit1->setEnabled(true);
    editor.RichEdit1->setFocus();
    editor.ShownCharset = -1;
    editor.LayoutBeep = true;
    editor.RefreshLayoutIndicator();
    editor.RefreshSmartKeyboardControls();
    if (loaded && loaded->contradictedDeclaration)
        editor.ShowIndicatorNotice(document::text(kDeclarationContradicted)
                                       .arg(encodingName(*loaded->contradictedDeclaration),
                                            encodingName(loaded->encoding)));
    if (statusFailure) std::rethrow_exception(statusFailure);
}

void newDocument(state::Editor& editor, TForm2& form2) {
    if (!saveBeforeLeaving(editor)) return;
    editor.LayoutBeep = true;
    editor.RememberRecentFile();
    editor.RichEdit1->Clear();
    editor.RichEdit1->SetModified(false);
    editor.DocName.clear();
    editor.DiskStamp = {};
    // The project link of the document left goes before the caption is set, so that the
    // new-file dialog is not shown under the old link.
    editor.MainFile.clear();
    // Nor does the encoding of the document left stay shown.
    setDocumentEncoding(editor, editor.NewDocEncoding,
                        platform::newFileLayout(editor.NewDocEncoding));
    setCaption(editor, true);
    editor.RichEdit1->setEnabled(true);
    editor.RichEdit1->setFocus();
    editor.RichEdit1->SetInsertCharset(platform::kCyrillicCharset);
    editor.prompts().showModal(form2);
    windowOf(editor).update();
    setDocumentEncoding(editor, editor.NewDocEncoding,
                        platform::newFileLayout(editor.NewDocEncoding));
    setCaption(editor, true);
    editor.ShownCharset = -1;

    if (editor.UserTemplate == QLatin1String("*")) {
        const QString standard =
            platform::joinPath(platform::fsPath(editor.AppDir), QStringLiteral("default.tex"));
        if (fileExists(standard))
            showLoadedRuns(
                editor,
                readTexFileWithNotice(editor, standard, std::nullopt, editor.DocEncoding).runs);
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
            checkFitsControl(runs, editor.DocEncoding);
            editor.RichEdit1->LoadRuns(runs);
        } else {
            loadTexFile(editor, editor.UserTemplate);
        }
    }
    editor.RefreshLayoutIndicator();
    editor.RefreshSmartKeyboardControls();
}

void open(state::Editor& editor) {
    editor.RememberRecentFile();
    auto chosen = editor.prompts().openFile(cp1251(kOpenTitle), cp1251(kDocumentOpenFilter));
    // Cancelled: the document stays as it is.
    if (!chosen) return;
    editor.OpenAnotherDocument(*chosen);
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

void openRecentFile(state::Editor& editor, size_t index) {
    const QString path = editor.RecentFiles.at(index);
    if (path.isEmpty()) return;
    editor.OpenAnotherDocument(path);
}

void reopenInEncoding(state::Editor& editor, TEncodingDialog& dialog) {
    const QString path = state::documentFilePath(editor);
    if (editor.DocName.isEmpty() || !fileExists(path)) {
        editor.prompts().information(cp1251(kNothingToReopen));
        return;
    }
    if (editor.RichEdit1->Modified() &&
        !editor.prompts().question(cp1251(kReopenCaption), cp1251(kReopenLosesChanges)))
        return;
    dialog.Prepare(text(kReopenTitle), editor.DocEncoding);
    if (editor.prompts().showModal(dialog) != QDialog::Accepted) return;
    readAgain(editor, path, dialog.Chosen());
    editor.RefreshLayoutIndicator();
}

void reloadFromDisk(state::Editor& editor) {
    readAgain(editor, state::documentFilePath(editor), std::nullopt);
}

bool saveInEncoding(state::Editor& editor, TEncodingDialog& dialog) {
    dialog.Prepare(text(kSaveInEncodingTitle), editor.DocEncoding);
    if (editor.prompts().showModal(dialog) != QDialog::Accepted) return false;
    const platform::TextEncoding encoding = dialog.Chosen();
    platform::TRichEdit& edit = *editor.RichEdit1;

    // The text as it will be saved, its magic comment and inputenc line naming the new
    // encoding; refused before anything changes when the encoding cannot hold a character
    // of it.
    const QString current = edit.PlainText();
    const std::vector<DeclarationChange> changes = declarationChanges(current, encoding);
    QString saved = current;
    const bool changesDeclarations = !changes.empty();
    setDeclaredEncoding(saved, encoding);
    if (const auto unheld = platform::firstUnheldCharacter(saved, encoding))
        throw platform::UnheldCharacterError(encoding, *unheld);
    // Nor is a text saved in an encoding whose documents could not hold it when it is opened
    // again.
    const int limit = maxDocumentLength(encoding);
    if (edit.TextLength() - current.size() + saved.size() > limit) {
        const std::string_view name = platform::encodingOf(encoding).name;
        throw platform::RuntimeError(platform::toCp1251(
            text(kTooLargeForEncoding)
                .arg(QLatin1StringView(name.data(), static_cast<qsizetype>(name.size())))
                .arg(limit)));
    }

    const bool modified = edit.Modified();
    if (changesDeclarations) {
        const platform::TRichEdit::EditBlock block(edit);
        // From the last one back, so that the positions before it stay; the control counts
        // each line break before a declaration as two characters.
        for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
            const auto breaks =
                static_cast<int>(QStringView(current).left(change->span.start).count(u'\n'));
            edit.ReplaceRange(static_cast<int>(change->span.start) + breaks,
                              static_cast<int>(change->span.length), change->name);
        }
    }
    const platform::TextEncoding previousEncoding = editor.DocEncoding;
    const platform::FileLayout previousLayout = editor.DocLayout;
    platform::FileLayout layout = previousLayout;
    if (editor.DocName.isEmpty() || !fileExists(state::documentFilePath(editor))) {
        // A document never saved has no line ends of its own yet: it takes the encoding's,
        // as a new document of that encoding does.
        layout = platform::newFileLayout(encoding);
    } else {
        // The file's line ends stay; a byte-order mark only ever begins a UTF-8 file, and
        // the DOS padding only an 8-bit one.
        layout.byteOrderMark =
            encoding == platform::TextEncoding::Utf8 && previousLayout.byteOrderMark;
        if (encoding == platform::TextEncoding::Utf8) layout.endMarks = 0;
    }
    setDocumentEncoding(editor, encoding, layout);
    const auto giveBack = [&] {
        setDocumentEncoding(editor, previousEncoding, previousLayout);
        if (changesDeclarations) edit.UndoLastStep();
        edit.SetModified(modified);
    };
    bool done = false;
    try {
        done = save(editor);
    } catch (...) {
        giveBack();
        throw;
    }
    if (!done) giveBack();
    setCaption(editor, editor.DocName.isEmpty());
    return done;
}

} // namespace document
