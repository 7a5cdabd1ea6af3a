#include "insertion/tform5.h"

#include <QKeyEvent>

#include "insertion/picture_image.h"
#include "insertion/pictures.h"

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName("Form5");
    setWindowTitle(QString::fromUtf8("Выбери символ операции"));
    const QPixmap picture = insertion::symbolPicture();
    Image1 = new TImage(this);
    Image1->setObjectName("Image1");
    Image1->setPicture(picture);
    Image1->setGeometry(0, 0, 536, picture.height());
    Image1->OnMouseUp = [this](int x, int y) { Image1MouseUp(x, y); };
    setFixedSize(536, 404);
    move(192, 49);
}

void TForm5::Image1MouseUp(int x, int y) {
    ClickX = x;
    ClickY = y;
    accept();
}

void TForm5::keyPressEvent(QKeyEvent* event) {
    event->accept();
}
