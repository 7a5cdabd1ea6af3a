#include "pdf/pdf_pane.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "pdf/page_view.h"
#include "pdf/synctex_index.h"

namespace pdf {
namespace {

// Larger than any PDF a thesis makes; a file beyond it is not read into memory.
constexpr qint64 kMaxPdfBytes = qint64(1) << 30;
// A page side the PDF standard allows (200 inches); beyond it rendering is no use.
constexpr double kMaxPagePoints = 14400.0;

QToolButton* makeButton(QWidget* parent, const char* name, const QString& text,
                        const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    return button;
}

} // namespace

PdfPane::PdfPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PdfPane1"));
    View1 = new PageView(this);
    View1->setObjectName(QStringLiteral("PdfView1"));
    PageLabel1 = new QLabel(this);
    PageLabel1->setObjectName(QStringLiteral("PageLabel1"));
    NoteLabel1 = new QLabel(this);
    NoteLabel1->setObjectName(QStringLiteral("NoteLabel1"));
    NoteLabel1->setWordWrap(true);
    NoteLabel1->setStyleSheet(QStringLiteral("color: #a00000;"));
    NoteLabel1->hide();
    FitWidthButton1 = makeButton(this, "FitWidthButton1", QStringLiteral("По ширине"),
                                 QStringLiteral("Страница по ширине панели"));
    FitPageButton1 = makeButton(this, "FitPageButton1", QStringLiteral("Целиком"),
                                QStringLiteral("Страница целиком"));
    ZoomOutButton1 = makeButton(this, "ZoomOutButton1", QStringLiteral("−"),
                                QStringLiteral("Уменьшить (Ctrl+колесо мыши)"));
    ZoomInButton1 = makeButton(this, "ZoomInButton1", QStringLiteral("+"),
                               QStringLiteral("Увеличить (Ctrl+колесо мыши)"));

    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 4, 0);
    for (QToolButton* button : {FitWidthButton1, FitPageButton1, ZoomOutButton1, ZoomInButton1})
        row->addWidget(button);
    row->addStretch();
    row->addWidget(PageLabel1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    column->addLayout(row);
    column->addWidget(NoteLabel1);
    column->addWidget(View1, 1);

    connect(FitWidthButton1, &QToolButton::clicked, this,
            [this] { View1->setZoom(Zoom::FitWidth); });
    connect(FitPageButton1, &QToolButton::clicked, this, [this] { View1->setZoom(Zoom::FitPage); });
    connect(ZoomOutButton1, &QToolButton::clicked, this, [this] { View1->zoomBy(1 / 1.25); });
    connect(ZoomInButton1, &QToolButton::clicked, this, [this] { View1->zoomBy(1.25); });
    connect(View1->pageNavigator(), &QPdfPageNavigator::currentPageChanged, this,
            [this] { refreshPageLabel(); });
    View1->onPlaceClicked = [this](int page, QPointF point) {
        if (onPlaceClicked) onPlaceClicked(page, point);
    };
    refreshPageLabel();
}

PdfPane::~PdfPane() = default;

bool PdfPane::hasDocument() const {
    return document_ != nullptr;
}

int PdfPane::pageCount() const {
    return document_ ? document_->pageCount() : 0;
}

int PdfPane::currentPage() const {
    return View1->pageNavigator()->currentPage();
}

QString PdfPane::problemOf(const QByteArray& bytes, QPdfDocument& probe) {
    if (bytes.isEmpty()) return QStringLiteral("PDF-файл пуст");
    if (!bytes.left(1024).contains("%PDF-"))
        return QStringLiteral("это не PDF-файл (или он ещё пишется)");
    if (probe.status() != QPdfDocument::Status::Ready) {
        if (probe.error() == QPdfDocument::Error::IncorrectPassword)
            return QStringLiteral("PDF-файл защищён паролем");
        return QStringLiteral("PDF-файл повреждён или недописан");
    }
    const int pages = probe.pageCount();
    if (pages <= 0) return QStringLiteral("в PDF-файле нет страниц");
    for (int page = 0; page < pages; ++page) {
        const QSizeF size = probe.pagePointSize(page);
        if (!(size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxPagePoints &&
              size.height() <= kMaxPagePoints))
            return QStringLiteral("страница %1 недопустимого размера (%2 × %3 пт)")
                .arg(page + 1)
                .arg(size.width(), 0, 'g', 6)
                .arg(size.height(), 0, 'g', 6);
    }
    return {};
}

bool PdfPane::load(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    auto refuse = [this, &name](const QString& why) {
        setNote(document_
                    ? QStringLiteral("%1 не показан: %2. На экране прежний PDF.").arg(name, why)
                    : QStringLiteral("%1 не показан: %2.").arg(name, why));
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.exists() ? QStringLiteral("нет доступа к файлу")
                                    : QStringLiteral("файла нет"));
    if (file.size() > kMaxPdfBytes) return refuse(QStringLiteral("файл слишком велик"));
    const QByteArray bytes = file.readAll();
    file.close();

    // The document reads from its own copy of the bytes, never from the file.
    auto* next = new QPdfDocument(this);
    auto* buffer = new QBuffer(next);
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    if (bytes.left(1024).contains("%PDF-")) next->load(buffer);
    if (const QString problem = problemOf(bytes, *next); !problem.isEmpty()) {
        delete next;
        return refuse(problem);
    }

    // The same file again keeps its place and zoom.
    const bool same = document_ && path == fileName_;
    const int vertical = View1->verticalScrollBar()->value();
    const int horizontal = View1->horizontalScrollBar()->value();
    View1->setDocument(next);
    delete document_;
    document_ = next;
    fileName_ = path;
    if (same) {
        View1->verticalScrollBar()->setValue(vertical);
        View1->horizontalScrollBar()->setValue(horizontal);
    }
    setNote({});
    refreshPageLabel();
    return true;
}

void PdfPane::setNote(const QString& note) {
    NoteLabel1->setText(note);
    NoteLabel1->setVisible(!note.isEmpty());
}

QString PdfPane::note() const {
    return NoteLabel1->text();
}

void PdfPane::showPlace(const PagePlace& place) {
    View1->showPlace(place.page, place.box);
}

void PdfPane::refreshPageLabel() {
    const int count = pageCount();
    PageLabel1->setText(count == 0
                            ? QStringLiteral("нет PDF")
                            : QStringLiteral("стр. %1 из %2").arg(currentPage() + 1).arg(count));
}

} // namespace pdf
