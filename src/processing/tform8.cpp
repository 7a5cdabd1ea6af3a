#include "processing/tform8.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int top) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->move(32, top);
    label->adjustSize();
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int top) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(72, top, 401, 28);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int left,
                        int width) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 304, width, 28);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TForm8::TForm8(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Настройка команд обработки"));
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(16);
    setFont(formFont);
    setGeometry(192, 107, 544, 375);

    Label1 =
        makeLabel(this, "Label1", QStringLiteral("Команда компиляции TEX-файла в DVI-файл:"), 16);
    Edit1 = makeEdit(this, "Edit1", 48);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Команда просмотра DVI-файла:"), 120);
    Edit2 = makeEdit(this, "Edit2", 152);
    Label3 = makeLabel(this, "Label3", QStringLiteral("Команда печати DVI-файла:"), 224);
    Edit3 = makeEdit(this, "Edit3", 256);
    Button1 = makeButton(this, "Button1", QStringLiteral("OK"), 40, 185);
    Button2 = makeButton(this, "Button2", QStringLiteral("ОТМЕНИТЬ"), 304, 169);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void TForm8::FormShow() {
    Accepted = false;
}

void TForm8::Button1Click() {
    Accepted = true;
    close();
}

void TForm8::Button2Click() {
    close();
}

void TForm8::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TForm8::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept(); // neither closes the dialog
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
