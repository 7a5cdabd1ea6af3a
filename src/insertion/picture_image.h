#pragma once
// TImage: a picture control that shows a fixed bitmap centred in itself (cut off where the
// bitmap is larger) and reports where a mouse button was released over it.
#include <QPixmap>
#include <QWidget>
#include <functional>

class TImage : public QWidget {
    Q_OBJECT

  public:
    explicit TImage(QWidget* parent = nullptr);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }
    // Where the picture's top-left corner lies in the control.
    QPoint pictureOffset() const;

    // Any button released; the position is in control pixels and may lie outside the
    // control when the press was on it.
    std::function<void(int x, int y)> OnMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
};
