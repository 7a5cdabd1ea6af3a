#include "pdf/page_layout.h"

#include <algorithm>

namespace pdf {

// The same arithmetic as the view's own, rounding included, so that a pixel here is the
// pixel there.
PageLayout::PageLayout(const LayoutInput& input) : points_(input.pagePoints) {
    int totalWidth = 0;
    pages_.reserve(points_.size());
    for (const QSizeF& points : points_) {
        QSize size;
        switch (input.zoom) {
        case Zoom::Custom:
            size = QSizeF(points * input.pixelsPerPoint * input.zoomFactor).toSize();
            break;
        case Zoom::FitWidth: {
            size = QSizeF(points * input.pixelsPerPoint).toSize();
            const qreal factor =
                qreal(input.viewport.width() - input.margins.left() - input.margins.right()) /
                qreal(size.width());
            size *= factor;
            break;
        }
        case Zoom::FitPage: {
            const QSize room(input.viewport +
                             QSize(-input.margins.left() - input.margins.right(), -input.spacing));
            size = QSizeF(points * input.pixelsPerPoint).toSize().scaled(room, Qt::KeepAspectRatio);
            break;
        }
        }
        totalWidth = std::max(totalWidth, size.width());
        pages_.emplace_back(QPoint(0, 0), size);
    }
    totalWidth += input.margins.left() + input.margins.right();
    int y = input.margins.top();
    for (QRect& page : pages_) {
        page.moveTopLeft(
            QPoint((std::max(totalWidth, input.viewport.width()) - page.width()) / 2, y));
        y += page.height() + input.spacing;
    }
}

std::optional<std::pair<int, QPointF>> PageLayout::pageAt(QPoint point) const {
    // The pages run down in order: the first whose bottom is below the point.
    auto it = std::lower_bound(pages_.begin(), pages_.end(), point.y(),
                               [](const QRect& page, int y) { return page.bottom() < y; });
    if (it == pages_.end() || !it->contains(point) || it->isEmpty()) return std::nullopt;
    const int page = int(it - pages_.begin());
    const QSizeF& points = points_[size_t(page)];
    return std::make_pair(page, QPointF((point.x() - it->x()) * points.width() / it->width(),
                                        (point.y() - it->y()) * points.height() / it->height()));
}

QRect PageLayout::toArea(int page, const QRectF& box) const {
    if (page < 0 || size_t(page) >= pages_.size()) return {};
    const QRect& area = pages_[size_t(page)];
    const QSizeF& points = points_[size_t(page)];
    if (points.isEmpty()) return {};
    const double sx = area.width() / points.width();
    const double sy = area.height() / points.height();
    return QRectF(area.x() + box.x() * sx, area.y() + box.y() * sy, box.width() * sx,
                  box.height() * sy)
        .toAlignedRect();
}

} // namespace pdf
