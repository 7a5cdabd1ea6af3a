// The File menu: new, open, save, save as and the recent files; loading and saving TeX
// files and status files.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTextDocument>
#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>

#include "app/tform1.h"
#include "document/cyrillic.h"
#include "document/rtf_view.h"
#include "document/status_file.h"
#include "document/tex_document.h"
#include "document/texts.h"
#include "document/tform2.h"
#include "document/tform3.h"
#include "platform/atomic_file.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/rtf_reader.h"
#include "platform/textfile.h"

using document::cp1251;

namespace {

constexpr int kMaxSavedLines = 65536;
constexpr size_t kMaxSavedLineLength = 65535;

// Unicode to CP1251 ("?" for what it lacks), and on to CP866, for every character the
// control can hold.
using CharacterTable = std::vector<unsigned char>;

const CharacterTable& toCp1251Table() {
    static const CharacterTable table = [] {
        CharacterTable t(65536);
        for (size_t u = 0; u < t.size(); ++u) {
            unsigned char byte = '?';
            platform::unicodeToCp1251(static_cast<char16_t>(u), byte);
            t[u] = byte;
        }
        return t;
    }();
    return table;
}

const CharacterTable& toCp866Table() {
    static const CharacterTable table = [] {
        CharacterTable t = toCp1251Table();
        for (unsigned char& byte : t)
            byte = document::cp1251ToCp866(byte);
        return t;
    }();
    return table;
}

// How the document's characters and line ends become the bytes of its file.
struct Cp866Writer {
    static constexpr size_t kMaxCharacterBytes = 1;
    const CharacterTable& table = toCp866Table();
    std::string_view lineEnd = "\r\n";
    std::string_view start;
    bool lastLineEnds = true;

    void put(char16_t u, char*& out) const { *out++ = static_cast<char>(table[u]); }
};

struct Utf8Character {
    std::array<char, 3> bytes{};
    unsigned char length = 0;
};

struct Utf8Writer {
    static constexpr size_t kMaxCharacterBytes = 3;
    const std::vector<Utf8Character>& table;
    std::string_view lineEnd;
    std::string_view start; // the byte-order mark, when the file had one
    bool lastLineEnds = true;

    void put(char16_t u, char*& out) const {
        const Utf8Character& c = table[u];
        std::memcpy(out, c.bytes.data(), c.bytes.size());
        out += c.length;
    }
};

// Every character the control can hold in UTF-8, by way of CP1251 ("?" for what it lacks).
const std::vector<Utf8Character>& toUtf8Table() {
    static const std::vector<Utf8Character> table = [] {
        std::array<Utf8Character, 256> ofCp1251;
        for (size_t b = 0; b < ofCp1251.size(); ++b) {
            const std::string utf8 = platform::encodeUtf8Document(
                std::string(1, static_cast<char>(b)), platform::Utf8Layout{false, {}, false});
            std::memcpy(ofCp1251[b].bytes.data(), utf8.data(), utf8.size());
            ofCp1251[b].length = static_cast<unsigned char>(utf8.size());
        }
        const CharacterTable& cp1251 = toCp1251Table();
        std::vector<Utf8Character> t(cp1251.size());
        for (size_t u = 0; u < t.size(); ++u)
            t[u] = ofCp1251[cp1251[u]];
        return t;
    }();
    return table;
}

std::string_view lineEndOf(platform::LineEnd lineEnd) {
    switch (lineEnd) {
    case platform::LineEnd::Lf:
        return "\n";
    case platform::LineEnd::Cr:
        return "\r";
    case platform::LineEnd::CrLf:
        break;
    }
    return "\r\n";
}

// The control's text as it is saved: every character and line end written by the writer,
// the line limits (in characters) checked on the way. A last line without its break gains
// one, unless the writer keeps a file whose last line had none: then the last line end is
// left out. One pass over the document's characters, no copies between; empty when the
// control holds no lines. Throws RangeCheckError before anything is written.
template <typename Writer>
std::string savedText(const platform::TRichEdit& edit, const Writer& writer) {
    const QString raw = edit.document()->toRawText();
    // Room for the longest form, left uninitialised: only what is written is touched.
    const size_t room =
        writer.start.size() + static_cast<size_t>(raw.size()) * Writer::kMaxCharacterBytes +
        (static_cast<size_t>(edit.document()->blockCount()) + 2) * writer.lineEnd.size();
    const std::unique_ptr<char[]> buffer(new char[room]);
    char* out = std::copy(writer.start.begin(), writer.start.end(), buffer.get());
    size_t lineLength = 0;
    int lines = 0;
    auto countLine = [&] {
        if (lineLength > kMaxSavedLineLength || ++lines > kMaxSavedLines)
            throw platform::RangeCheckError();
        lineLength = 0;
    };
    auto endLine = [&] {
        countLine();
        out = std::copy(writer.lineEnd.begin(), writer.lineEnd.end(), out);
    };
    for (QChar ch : raw) {
        const char16_t u = ch.unicode();
        if (u == QChar::ParagraphSeparator) {
            endLine();
        } else {
            writer.put(u, out);
            ++lineLength;
        }
    }
    if (lineLength > 0) {
        if (writer.lastLineEnds)
            endLine();
        else
            countLine();
    } else if (lines > 0 && !writer.lastLineEnds) {
        out -= writer.lineEnd.size();
    }
    if (lines == 0) return {};
    return std::string(buffer.get(), static_cast<size_t>(out - buffer.get()));
}

bool fileExists(const QString& path) {
    return QFileInfo::exists(path);
}

// Runs read from RTF, checked against the control's capacity and made the control's runs.
std::vector<platform::TextRun> toControlRuns(std::vector<platform::RtfRun> runs) {
    if (platform::rtfTextLength(runs) > platform::TRichEdit::kMaxLength)
        throw platform::RuntimeError(cp1251(document::kTooLarge));
    std::vector<platform::TextRun> result;
    result.reserve(runs.size());
    for (platform::RtfRun& run : runs) {
        platform::TextRun out;
        out.text = std::move(run.text);
        out.charset = run.charset;
        out.bold = run.bold;
        out.italic = run.italic;
        out.underline = run.underline;
        out.halfPoints = run.halfPoints;
        if (run.color) out.color = QColor::fromRgb(*run.color);
        result.push_back(std::move(out));
    }
    return result;
}

// The bytes of the document's file, in its encoding.
std::string savedFileBytes(const TForm1& form) {
    if (form.DocEncoding == platform::TextEncoding::Utf8) {
        const platform::Utf8Layout& layout = form.DocLayout;
        return savedText(*form.RichEdit1, Utf8Writer{toUtf8Table(), lineEndOf(layout.lineEnd),
                                                     layout.byteOrderMark ? "\xEF\xBB\xBF" : "",
                                                     layout.lastLineEnds});
    }
    return savedText(*form.RichEdit1, Cp866Writer{});
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
LoadedDocument readTexFileWithNotice(TForm1& form, const QString& path,
                                     std::string (*adjust)(std::string,
                                                           platform::TextEncoding) = nullptr) {
    const QString text = form.Label1->text();
    const QPalette palette = form.Label1->palette();
    const bool visible = form.Label1->isVisible();

    QPalette black = palette;
    black.setColor(QPalette::WindowText, Qt::black);
    form.Label1->setPalette(black);
    form.Label1->setText(platform::fromCp1251(cp1251(document::kLoadingNotice)));
    form.Label1->setVisible(true);
    form.Label1->repaint();
    QCoreApplication::processEvents();
    try {
        std::string bytes = document::readDocumentBytes(path);
        if (adjust) bytes = adjust(std::move(bytes), form.DocEncoding);
        document::TexDocument doc = document::readTexDocument(bytes, QFileInfo(path).fileName());
        return {toControlRuns(std::move(doc.runs)), doc.encoding, doc.layout};
    } catch (...) {
        form.Label1->setText(text);
        form.Label1->setPalette(palette);
        form.Label1->setVisible(visible);
        throw;
    }
}

// The loaded document replaces the control's content; the layout indicator takes Label1
// back.
void showLoadedRuns(TForm1& form, const std::vector<platform::TextRun>& runs) {
    form.RichEdit1->LoadRuns(runs);
    form.Label1->hide();
    form.RefreshLayoutIndicator();
}

struct DocumentPath {
    QString name, extension, folder;
};

DocumentPath documentPathOf(const TForm1& form) {
    return {form.DocName, form.DocExt, form.DocDir};
}

void setDocumentPath(TForm1& form, const DocumentPath& path) {
    form.DocName = path.name;
    form.DocExt = path.extension;
    form.DocDir = path.folder;
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
QString documentFile(const TForm1& form, const QString& extension) {
    return platform::joinPath(form.DocDir, form.DocName + extension);
}

void setCaption(TForm1& form, bool untitled) {
    QString caption = document::text(document::kCaptionPrefix);
    caption += untitled ? document::text(document::kUntitled) : form.DocName;
    if (!form.MainFile.isEmpty() && form.MainFile != QLatin1String("*"))
        caption += document::text(document::kAttachedTo) + form.MainFile;
    if (form.DocEncoding == platform::TextEncoding::Utf8)
        caption += document::text(document::kUtf8CaptionTail);
    form.setWindowTitle(caption);
}

std::optional<QString> askSaveName(TForm1& form) {
    auto chosen = form.prompts().saveFile("", cp1251(document::kSaveFilter), ".tex");
    // A name that is only an extension (".tex") names no document.
    if (chosen && platform::splitPath(*chosen).nameWithoutExtension.isEmpty()) return std::nullopt;
    return chosen;
}

// Saves the document under a new name; on a failed write the old name and folder come back.
void saveUnder(TForm1& form, const QString& chosen) {
    const DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, document::kCannotSaveInFolder);
    const DocumentPath previous = documentPathOf(form);
    setDocumentPath(form, next);
    try {
        form.SaveDocument();
    } catch (...) {
        setDocumentPath(form, previous);
        throw;
    }
    folder.keep();
}

// Before a command leaves a modified document it is saved. False when the user cancelled
// the save dialog: the command stops and the document stays as it is.
bool saveBeforeLeaving(TForm1& form) {
    if (!form.RichEdit1->Modified()) return true;
    if (!form.SaveDocument()) return false;
    form.RichEdit1->SetModified(false);
    return true;
}

void openRecentFile(TForm1& form, size_t index) {
    const QString path = form.RecentFiles.at(index);
    if (path.isEmpty()) return;
    if (index == 0) form.RememberRecentFile();
    if (!saveBeforeLeaving(form)) return;
    if (index != 0) form.RememberRecentFile();
    form.OpenDocument(path);
}

} // namespace

void TForm1::LoadTexFile(const QString& path) {
    if (!fileExists(path)) return;
    showLoadedRuns(*this, readTexFileWithNotice(*this, path).runs);
}

void TForm1::SaveTexFile(const QString& path) {
    // An untitled document (the path is only ".tex") is not saved.
    if (platform::splitPath(path).nameWithoutExtension.isEmpty()) return;
    const std::string text = savedFileBytes(*this);
    if (text.empty()) return; // no lines: the file on disk stays as it is
    platform::writeFileAtomically(path, text);
}

void TForm1::ReadStatusFile() {
    document::StatusRecord record;
    std::exception_ptr failure;
    try {
        document::readStatusFile(documentFile(*this, QStringLiteral(".sts")), record);
    } catch (...) {
        failure = std::current_exception();
    }
    // What was read before a failure stays set.
    if (record.mainFile) MainFile = *record.mainFile;
    if (record.smartKeyboardOn) {
        SmartKeyboardOn = *record.smartKeyboardOn;
        RefreshSmartKeyboardControls();
    }
    if (record.caret) RichEdit1->SetSel(std::max(*record.caret, 0), 0);
    if (failure) std::rethrow_exception(failure);
}

void TForm1::WriteStatusFile() {
    platform::writeFileAtomically(
        documentFile(*this, QStringLiteral(".sts")),
        document::statusFileText(MainFile, SmartKeyboardOn, RichEdit1->SelStart()));
}

bool TForm1::SaveDocument() {
    if (DocName.isEmpty()) {
        auto chosen = askSaveName(*this);
        if (!chosen) return false;
        saveUnder(*this, *chosen); // comes back here with the name known
        return true;
    }
    SaveTexFile(documentFile(*this, QStringLiteral(".tex")));
    WriteStatusFile();
    return true;
}

void TForm1::OpenDocument(const QString& chosen) {
    // The folder is entered and the file read before anything else changes: a folder that
    // cannot be entered or a file that cannot be loaded leaves the current document as it
    // was. A name that does not exist gives an empty document.
    const DocumentPath next = documentPathFor(chosen);
    FolderChange folder(next.folder, document::kCannotOpenInFolder);
    const QString path = platform::joinPath(next.folder, next.name + next.extension);
    std::optional<LoadedDocument> loaded;
    if (fileExists(path)) loaded = readTexFileWithNotice(*this, path);
    folder.keep();

    setDocumentPath(*this, next);
    // A name that does not exist yet starts a CP866 document, as it always has.
    DocEncoding = loaded ? loaded->encoding : platform::TextEncoding::Cp866;
    DocLayout = loaded ? loaded->layout : platform::Utf8Layout{};
    if (loaded)
        showLoadedRuns(*this, loaded->runs);
    else
        RichEdit1->Clear();
    setCaption(*this, false);
    RichEdit1->SetModified(false);

    std::exception_ptr statusFailure;
    if (fileExists(documentFile(*this, QStringLiteral(".sts")))) {
        try {
            ReadStatusFile();
        } catch (...) {
            // Shown once the document is ready for editing.
            statusFailure = std::current_exception();
        }
    } else {
        prompts().showModal(*Form3);
        update();
    }
    setCaption(*this, false);
    setEnabled(true);
    RichEdit1->setEnabled(true);
    RichEdit1->setFocus();
    ShownCharset = -1;
    LayoutBeep = true;
    RefreshLayoutIndicator();
    RefreshSmartKeyboardControls();
    if (statusFailure) std::rethrow_exception(statusFailure);
}

void TForm1::N8Click() {
    if (!saveBeforeLeaving(*this)) return;
    LayoutBeep = true;
    RememberRecentFile();
    RichEdit1->Clear();
    RichEdit1->SetModified(false);
    DocName.clear();
    // The project link of the document left goes before the caption is set, so that the
    // new-file dialog is not shown under the old link.
    MainFile.clear();
    DocEncoding = NewDocEncoding; // nor does the encoding of the document left stay shown
    setCaption(*this, true);
    RichEdit1->setEnabled(true);
    RichEdit1->setFocus();
    RichEdit1->SetInsertCharset(platform::kCyrillicCharset);
    prompts().showModal(*Form2);
    update();
    DocEncoding = NewDocEncoding;
    DocLayout = {};
    setCaption(*this, true);
    ShownCharset = -1;

    if (UserTemplate == QLatin1String("*")) {
        const QString standard =
            platform::joinPath(platform::fsPath(AppDir), QStringLiteral("default.tex"));
        if (fileExists(standard))
            showLoadedRuns(
                *this, readTexFileWithNotice(*this, standard, document::templateForEncoding).runs);
    } else if (!UserTemplate.isEmpty()) {
        platform::PathParts parts = platform::splitPath(UserTemplate);
        QString companion = UserTemplate.left(UserTemplate.size() - parts.extension.size()) +
                            QStringLiteral(".rtf");
        if (fileExists(companion)) {
            // Rich text as it is, without code-page conversion; a file that is not RTF is
            // plain text.
            RichEdit1->LoadRuns(toControlRuns(platform::readRtf(
                document::readDocumentBytes(companion), platform::kCyrillicCharset)));
        } else {
            LoadTexFile(UserTemplate);
        }
    }
    RefreshLayoutIndicator();
    RefreshSmartKeyboardControls();
}

void TForm1::N5Click() {
    if (!saveBeforeLeaving(*this)) return;
    RememberRecentFile();
    auto chosen = prompts().openFile(cp1251(document::kOpenTitle), cp1251(document::kOpenFilter));
    // Cancelled: the document stays as it is.
    if (!chosen) return;
    OpenDocument(*chosen);
}

bool TForm1::OpenAnotherDocument(const QString& path) {
    if (!saveBeforeLeaving(*this)) return false;
    RememberRecentFile();
    OpenDocument(path);
    return true;
}

bool TForm1::N6Click() {
    bool saved = DocName.isEmpty() ? N7Click() : SaveDocument();
    if (saved) RichEdit1->SetModified(false);
    return saved;
}

bool TForm1::N7Click() {
    auto chosen = askSaveName(*this);
    if (!chosen) return false;
    saveUnder(*this, *chosen);
    RichEdit1->SetModified(false);
    setCaption(*this, false);
    return true;
}

void TForm1::File11Click() {
    openRecentFile(*this, 0);
}
void TForm1::File21Click() {
    openRecentFile(*this, 1);
}
void TForm1::File31Click() {
    openRecentFile(*this, 2);
}
void TForm1::File41Click() {
    openRecentFile(*this, 3);
}
