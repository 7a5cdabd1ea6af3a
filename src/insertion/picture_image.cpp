#include "insertion/picture_image.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

QPoint TImage::pictureOffset() const {
    return {(width() - picture_.width()) / 2, (height() - picture_.height()) / 2};
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(pictureOffset(), picture_);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF at = event->position();
    if (OnMouseUp)
        OnMouseUp(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y())));
}
