#pragma once
// The pages of the PDF pane: Qt's PDF view in its continuous mode, with Ctrl+wheel zoom,
// Ctrl+click for the source line of a place, and a place of a page scrolled into view and
// marked for a moment. Only the pages in sight are rendered, and at most a few dozen kept.
#include <QPdfView>
#include <QPointer>
#include <QTimer>
#include <functional>

#include "pdf/page_layout.h"

namespace pdf {

class PageView : public QPdfView {
    Q_OBJECT

  public:
    explicit PageView(QWidget* parent = nullptr);

    // Where the view has put the pages now.
    PageLayout layout() const;
    Zoom zoom() const;
    void setZoom(Zoom zoom);
    // The zoom the pages have now (1 = a point a pixel at 72 dots per inch), whatever mode.
    double effectiveZoom() const;
    // Zooms by factor about the middle of the view.
    void zoomBy(double factor);

    // Scrolls the box of a page (PDF points) into view, a third down from the top, and
    // marks it for a moment.
    void showPlace(int page, const QRectF& box);
    QRect markedArea() const { return marked_; }

    // Ctrl+click on a page: the page (from 0) and the place, in PDF points.
    std::function<void(int page, QPointF point)> onPlaceClicked;

    static constexpr int kMarkMs = 1500;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QPointer<QPdfDocument> pdf_; // the view's document, followed as it changes
    double pixelsPerPoint_;
    QRect marked_; // in pixels of the scrolled area
    QTimer markTimer_;
};

} // namespace pdf
