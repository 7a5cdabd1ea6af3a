#include "pdf/page_view.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfPageRenderer>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace pdf {
namespace {

constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 8.0;
constexpr double kWheelStep = 1.15;

} // namespace

PageView::PageView(QWidget* parent)
    : QPdfView(parent),
      // As the view reckons it: the primary screen's, taken when it is made.
      pixelsPerPoint_(QGuiApplication::primaryScreen()->logicalDotsPerInch() / 72.0) {
    connect(this, &QPdfView::documentChanged, this, [this](QPdfDocument* pdf) { pdf_ = pdf; });
    setPageMode(PageMode::MultiPage);
    setZoomMode(ZoomMode::FitToWidth);
    // Pages are rendered in the window's own thread: a document replaced after a compile is
    // then never read by a render still running elsewhere.
    if (auto* renderer = findChild<QPdfPageRenderer*>())
        renderer->setRenderMode(QPdfPageRenderer::RenderMode::SingleThreaded);
    markTimer_.setSingleShot(true);
    markTimer_.setInterval(kMarkMs);
    connect(&markTimer_, &QTimer::timeout, this, [this] {
        marked_ = {};
        viewport()->update();
    });
}

PageLayout PageView::layout() const {
    LayoutInput input;
    if (QPdfDocument* pdf = pdf_; pdf && pdf->status() == QPdfDocument::Status::Ready) {
        const int count = pdf->pageCount();
        input.pagePoints.reserve(size_t(count));
        for (int page = 0; page < count; ++page)
            input.pagePoints.push_back(pdf->pagePointSize(page));
    }
    input.zoom = zoom();
    input.zoomFactor = zoomFactor();
    input.pixelsPerPoint = pixelsPerPoint_;
    input.viewport = viewport()->size();
    input.margins = documentMargins();
    input.spacing = pageSpacing();
    return PageLayout(input);
}

Zoom PageView::zoom() const {
    switch (zoomMode()) {
    case ZoomMode::FitToWidth:
        return Zoom::FitWidth;
    case ZoomMode::FitInView:
        return Zoom::FitPage;
    default:
        return Zoom::Custom;
    }
}

void PageView::setZoom(Zoom zoom) {
    setZoomMode(zoom == Zoom::FitWidth  ? ZoomMode::FitToWidth
                : zoom == Zoom::FitPage ? ZoomMode::FitInView
                                        : ZoomMode::Custom);
}

double PageView::effectiveZoom() const {
    if (zoom() == Zoom::Custom) return zoomFactor();
    QPdfDocument* pdf = pdf_;
    const PageLayout pages = layout();
    if (!pdf || pages.pages().empty()) return zoomFactor();
    const int page = std::clamp(pageNavigator()->currentPage(), 0, int(pages.pages().size()) - 1);
    const double points = pdf->pagePointSize(page).width();
    return points > 0 ? pages.pages()[size_t(page)].width() / (points * pixelsPerPoint_) : 1.0;
}

void PageView::zoomBy(double factor) {
    const double next = std::clamp(effectiveZoom() * factor, kMinZoom, kMaxZoom);
    // The same share of the document stays at the top of the view.
    QScrollBar* bar = verticalScrollBar();
    const double share = bar->maximum() > 0 ? double(bar->value()) / bar->maximum() : 0.0;
    setZoomFactor(next);
    setZoomMode(ZoomMode::Custom);
    bar->setValue(int(std::lround(share * bar->maximum())));
}

void PageView::showPlace(int page, const QRectF& box) {
    const QRect area = layout().toArea(page, box);
    if (area.isEmpty() && area.topLeft().isNull()) return;
    verticalScrollBar()->setValue(area.top() - viewport()->height() / 3);
    if (area.left() < horizontalScrollBar()->value() ||
        area.right() > horizontalScrollBar()->value() + viewport()->width())
        horizontalScrollBar()->setValue(area.left() - 20);
    marked_ = area.adjusted(-3, -3, 3, 3);
    markTimer_.start();
    viewport()->update();
}

void PageView::paintEvent(QPaintEvent* event) {
    QPdfView::paintEvent(event);
    if (marked_.isNull()) return;
    QPainter painter(viewport());
    painter.translate(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    painter.setPen(QPen(QColor(220, 30, 30), 2));
    painter.setBrush(QColor(255, 230, 0, 70));
    painter.drawRect(marked_);
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QPdfView::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) zoomBy(std::pow(kWheelStep, steps));
    event->accept();
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        const QPoint area = event->position().toPoint() +
                            QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
        if (auto hit = layout().pageAt(area); hit && onPlaceClicked)
            onPlaceClicked(hit->first, hit->second);
        event->accept();
        return;
    }
    QPdfView::mousePressEvent(event);
}

} // namespace pdf
