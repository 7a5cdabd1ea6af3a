#include "pdf/synctex_index.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "pdf/project_files.h"

extern "C" {
#include <synctex_parser.h>
}

namespace pdf {
namespace {

// How far a forward jump looks for a line that produced something.
constexpr int kNearbyLines = 40;
// The engine writes the SyncTeX file after the PDF; one older than this is from an
// earlier compile.
constexpr qint64 kStaleAfterMs = 5000;

QString syncTexPath(const QString& pdfPath) {
    QString base = pdfPath;
    if (base.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) base.chop(4);
    for (const char* extension : {".synctex.gz", ".synctex"}) {
        const QString candidate = base + QLatin1String(extension);
        if (QFileInfo(candidate).isFile()) return candidate;
    }
    return {};
}

struct Stamp {
    QString path;
    qint64 modified = 0;
    qint64 size = -1;
    bool operator==(const Stamp&) const = default;
};

// The source was written after the PDF (a save after the compile).
bool changedSince(const QString& source, const QFileInfo& pdf) {
    return QFileInfo(source).lastModified() > pdf.lastModified();
}

// The main file that made the PDF: its name with ".tex".
QString mainFileOf(const QString& pdfPath) {
    QString base = pdfPath;
    if (base.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) base.chop(4);
    return base + QStringLiteral(".tex");
}

Stamp stampOf(const QString& path) {
    const QFileInfo info(path);
    return {path, info.lastModified().toMSecsSinceEpoch(), info.size()};
}

} // namespace

QString problemNote(SyncProblem problem, const QString& detail) {
    switch (problem) {
    case SyncProblem::NoPdf:
        return QStringLiteral("PDF-файла нет: сначала компиляция (F9)");
    case SyncProblem::NoSyncTex:
        return QStringLiteral("Нет файла SyncTeX: скомпилируйте в PDF с -synctex=1");
    case SyncProblem::Stale:
        return QStringLiteral("Файл SyncTeX устарел: скомпилируйте заново (F9)");
    case SyncProblem::Unreadable:
        return QStringLiteral("Файл SyncTeX испорчен: скомпилируйте заново (F9)");
    case SyncProblem::NotInSource:
        return QStringLiteral("Этой строки нет в PDF");
    case SyncProblem::NothingThere:
        return QStringLiteral("Здесь в PDF нет текста из исходного файла");
    case SyncProblem::SourceGone:
        return QStringLiteral("Файла «%1» нет: переходить некуда").arg(detail);
    case SyncProblem::NotOfProject:
        return QStringLiteral("Файл «%1» не из этого проекта: он не открыт").arg(detail);
    case SyncProblem::OlderThanText:
        return QStringLiteral("PDF старше текста%1: скомпилируйте заново (F9)")
            .arg(detail.isEmpty() ? QString() : QStringLiteral(" «%1»").arg(detail));
    }
    return {};
}

struct SyncTexIndex::Scanner {
    synctex_scanner_p handle = nullptr;
    Stamp stamp;
    ~Scanner() {
        if (handle) synctex_scanner_free(handle);
    }
};

SyncTexIndex::SyncTexIndex() = default;
SyncTexIndex::~SyncTexIndex() = default;

std::optional<SyncProblem> SyncTexIndex::open(const QString& pdfPath) {
    const QFileInfo pdf(pdfPath);
    if (!pdf.isFile()) return SyncProblem::NoPdf;
    const QString syncPath = syncTexPath(pdfPath);
    if (syncPath.isEmpty()) return SyncProblem::NoSyncTex;
    const Stamp stamp = stampOf(syncPath);
    if (stamp.modified + kStaleAfterMs < pdf.lastModified().toMSecsSinceEpoch())
        return SyncProblem::Stale;
    if (scanner_ && scanner_->stamp == stamp) return std::nullopt;

    scanner_.reset();
    auto scanner = std::make_unique<Scanner>();
    scanner->stamp = stamp;
    const QByteArray output = QFile::encodeName(pdf.absoluteFilePath());
    scanner->handle = synctex_scanner_new_with_output_file(output.constData(), nullptr, 1);
    // A file the parser cannot read gives no scanner, or one without a single page.
    if (scanner->handle == nullptr || synctex_scanner_input(scanner->handle) == nullptr)
        return SyncProblem::Unreadable;
    scanner_ = std::move(scanner);
    return std::nullopt;
}

SyncResult<PagePlace> SyncTexIndex::forward(const QString& pdfPath, const QString& sourcePath,
                                            int line) {
    missing_.clear();
    if (auto problem = open(pdfPath)) return *problem;
    if (changedSince(sourcePath, QFileInfo(pdfPath))) {
        missing_ = sourcePath;
        return SyncProblem::OlderThanText;
    }
    const QByteArray name = QFile::encodeName(QFileInfo(sourcePath).absoluteFilePath());
    synctex_scanner_p scanner = scanner_->handle;
    // Lines after the one asked for first (the text a heading or a command leads into),
    // then lines before it.
    for (int step = 0; step <= 2 * kNearbyLines; ++step) {
        const int offset = step <= kNearbyLines ? step : kNearbyLines - step;
        const int candidate = line + offset;
        if (candidate < 1) continue;
        if (synctex_display_query(scanner, name.constData(), candidate, 0, -1) <= 0) continue;
        std::optional<PagePlace> place;
        while (synctex_node_p node = synctex_scanner_next_result(scanner)) {
            const int page = synctex_node_page(node) - 1;
            if (page < 0) continue;
            const QRectF box(
                synctex_node_box_visible_h(node),
                synctex_node_box_visible_v(node) - synctex_node_box_visible_height(node),
                synctex_node_box_visible_width(node),
                synctex_node_box_visible_height(node) + synctex_node_box_visible_depth(node));
            if (!place)
                place = PagePlace{page, box};
            else if (place->page == page)
                place->box = place->box.united(box);
        }
        if (place) return *place;
    }
    return SyncProblem::NotInSource;
}

SyncResult<SourcePlace> SyncTexIndex::inverse(const QString& pdfPath, int page, QPointF point) {
    missing_.clear();
    if (auto problem = open(pdfPath)) return *problem;
    synctex_scanner_p scanner = scanner_->handle;
    if (page < 0 || synctex_edit_query(scanner, page + 1, float(point.x()), float(point.y())) <= 0)
        return SyncProblem::NothingThere;
    while (synctex_node_p node = synctex_scanner_next_result(scanner)) {
        const char* name = synctex_node_get_name(node);
        const int line = synctex_node_line(node);
        if (name == nullptr || line < 1) continue;
        QString path = QFile::decodeName(name);
        if (QFileInfo(path).isRelative()) path = QFileInfo(pdfPath).absoluteDir().filePath(path);
        path = QDir::cleanPath(path);
        missing_ = path;
        if (!QFileInfo(path).isFile()) return SyncProblem::SourceGone;
        if (!inProject(mainFileOf(pdfPath), path)) return SyncProblem::NotOfProject;
        if (changedSince(path, QFileInfo(pdfPath))) return SyncProblem::OlderThanText;
        missing_.clear();
        return SourcePlace{path, line};
    }
    return SyncProblem::NothingThere;
}

} // namespace pdf
