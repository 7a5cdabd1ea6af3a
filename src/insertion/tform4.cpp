#include "insertion/tform4.h"

#include <QKeyEvent>

#include "insertion/picture_image.h"
#include "insertion/pictures.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName("Form4");
    setWindowTitle(QString::fromUtf8("Выбери букву"));
    const QPixmap picture = insertion::letterPicture();
    Image1 = new TImage(this);
    Image1->setObjectName("Image1");
    Image1->setPicture(picture);
    Image1->setGeometry(0, 0, picture.width(), picture.height());
    Image1->OnMouseUp = [this](int x, int y) { Image1MouseUp(x, y); };
    setFixedSize(508, 320);
    move(192, 109);
}

void TForm4::Image1MouseUp(int x, int y) {
    ClickX = x;
    ClickY = y;
    accept();
}

void TForm4::keyPressEvent(QKeyEvent* event) {
    event->accept();
}
