#pragma once
// Where Qt's PDF view puts each page of a document in its continuous mode, in pixels of
// the whole scrolled area: the pages one below the other, centred, with the view's
// spacing and margins, each as large as its zoom makes it. The pane needs it to tell which
// place of which page a click hits, and to scroll a place of a page into view; the view
// itself does not say.
#include <QMargins>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <optional>
#include <vector>

namespace pdf {

enum class Zoom { Custom, FitWidth, FitPage };

struct LayoutInput {
    std::vector<QSizeF> pagePoints; // each page's size in PDF points
    Zoom zoom = Zoom::FitWidth;
    double zoomFactor = 1.0;
    double pixelsPerPoint = 1.0; // the screen's logical dots per inch / 72
    QSize viewport;
    QMargins margins{6, 6, 6, 6};
    int spacing = 3;
};

class PageLayout {
  public:
    explicit PageLayout(const LayoutInput& input);

    const std::vector<QRect>& pages() const { return pages_; }
    // The page under a point of the scrolled area, and the point in PDF points from its
    // top left; none between pages.
    std::optional<std::pair<int, QPointF>> pageAt(QPoint point) const;
    // A box of a page (PDF points) in pixels of the scrolled area.
    QRect toArea(int page, const QRectF& points) const;

  private:
    std::vector<QRect> pages_;
    std::vector<QSizeF> points_;
};

} // namespace pdf
