#pragma once
// The jumps between a source line and its place in a PDF, read from the .synctex.gz the
// engine wrote beside the PDF, through TeX Live's own SyncTeX parser. The parsed file is
// kept and parsed again only when it has changed on disk, so each jump is quick.
#include <QPointF>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>
#include <variant>

namespace pdf {

// A place on a page: the page from 0, a box in PDF points from the page's top left.
struct PagePlace {
    int page = 0;
    QRectF box;
};

// A line (from 1) of a source file, the file by its absolute path.
struct SourcePlace {
    QString path;
    int line = 0;
};

// Why a jump found nothing, each with the note the user reads.
enum class SyncProblem {
    NoPdf,         // the PDF is not there
    NoSyncTex,     // no .synctex.gz (or .synctex) beside it
    Stale,         // it is older than the PDF: a compile without SyncTeX left it behind
    Unreadable,    // the parser could not read it
    NotInSource,   // the file or line has no place in the PDF
    NothingThere,  // no source line produced that place
    SourceGone,    // the source file it names no longer exists
    NotOfProject,  // the source file it names is not a file of the main file's project
    OlderThanText, // the source file was changed after the PDF was made
};
QString problemNote(SyncProblem problem, const QString& detail = {});

template <typename Place> using SyncResult = std::variant<Place, SyncProblem>;

class SyncTexIndex {
  public:
    SyncTexIndex();
    ~SyncTexIndex();
    SyncTexIndex(const SyncTexIndex&) = delete;
    SyncTexIndex& operator=(const SyncTexIndex&) = delete;

    // The place of a source line in pdfPath. A line that produced nothing on the pages (an
    // empty line, a comment) takes the nearest line after it that did, or else before it. A
    // source changed on disk after the PDF was made has no place there any more.
    SyncResult<PagePlace> forward(const QString& pdfPath, const QString& sourcePath, int line);
    // The source line that produced the point (PDF points from the page's top left) of a
    // page (from 0) of pdfPath; relative names are taken from the PDF's folder. Only a file
    // of the project of the main file that made the PDF (pdfPath with ".tex") comes back
    // (project_files.h), and only when it has not changed since.
    SyncResult<SourcePlace> inverse(const QString& pdfPath, int page, QPointF point);
    // Parses the file beside pdfPath now (after a compile), so that the first jump is as
    // quick as the others.
    void prepare(const QString& pdfPath) { (void)open(pdfPath); }
    // The path the last SourceGone, NotOfProject or OlderThanText problem is about.
    QString lastMissingSource() const { return missing_; }

  private:
    struct Scanner;
    // The parsed file for pdfPath, parsed again when it changed; a problem otherwise.
    std::optional<SyncProblem> open(const QString& pdfPath);

    std::unique_ptr<Scanner> scanner_;
    QString missing_;
};

} // namespace pdf
