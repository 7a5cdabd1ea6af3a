#include "processing/tform8.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <initializer_list>
#include <utility>

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMinimumSize(401, 28);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int width) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    button->setMinimumSize(QSize(width, 28).expandedTo(button->sizeHint()));
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

    Label1 = makeLabel(this, "Label1", QStringLiteral("Команда компиляции TEX-файла в DVI-файл:"));
    Edit1 = makeEdit(this, "Edit1");
    Label2 = makeLabel(this, "Label2", QStringLiteral("Команда просмотра DVI-файла:"));
    Edit2 = makeEdit(this, "Edit2");
    Label3 = makeLabel(this, "Label3", QStringLiteral("Команда печати DVI-файла:"));
    Edit3 = makeEdit(this, "Edit3");
    Button1 = makeButton(this, "Button1", QStringLiteral("OK"), 185);
    Button2 = makeButton(this, "Button2", QStringLiteral("ОТМЕНИТЬ"), 169);

    // Each label above its field, the field indented under it, the buttons at the foot;
    // the designed size is the least, and a larger font widens the window.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 16, 32, 16);
    layout->setSpacing(4);
    const auto addRows = [layout](std::initializer_list<std::pair<QLabel*, QLineEdit*>> rows,
                                  int spacing) {
        for (auto [label, edit] : rows) {
            label->setBuddy(edit);
            auto* row = new QHBoxLayout;
            row->addSpacing(40);
            row->addWidget(edit);
            layout->addWidget(label);
            layout->addLayout(row);
            layout->addSpacing(spacing);
        }
    };
    addRows({{Label1, Edit1}, {Label2, Edit2}, {Label3, Edit3}}, 40);

    RadioButton1 = new QRadioButton(QStringLiteral("Результат — DVI (команды выше)"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Результат — PDF, программа:"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(RadioButton1);
    kinds->addButton(RadioButton2);
    RadioButton1->setChecked(true);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems(
        {QStringLiteral("pdflatex"), QStringLiteral("xelatex"), QStringLiteral("lualatex")});
    CheckBox1 = new QCheckBox(QStringLiteral("через latexmk"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setToolTip(
        QStringLiteral("latexmk запускает BibTeX или Biber и повторяет прогоны, пока ссылки "
                       "не установятся"));
    layout->addWidget(RadioButton1);
    auto* pdfRow = new QHBoxLayout;
    pdfRow->addWidget(RadioButton2);
    pdfRow->addWidget(ComboBox1);
    pdfRow->addWidget(CheckBox1);
    pdfRow->addStretch();
    layout->addLayout(pdfRow);
    layout->addSpacing(8);

    Label4 = makeLabel(this, "Label4", QStringLiteral("Команда компиляции TEX-файла в PDF-файл:"));
    Edit4 = makeEdit(this, "Edit4");
    Label5 = makeLabel(this, "Label5", QStringLiteral("Команда просмотра PDF-файла:"));
    Edit5 = makeEdit(this, "Edit5");
    Label6 = makeLabel(this, "Label6", QStringLiteral("Команда печати PDF-файла:"));
    Edit6 = makeEdit(this, "Edit6");
    addRows({{Label4, Edit4}, {Label5, Edit5}, {Label6, Edit6}}, 12);
    const auto engineChosen = [this] {
        if (EngineCommand)
            Edit4->setText(EngineCommand(ComboBox1->currentIndex(), CheckBox1->isChecked()));
    };
    connect(ComboBox1, &QComboBox::activated, this, engineChosen);
    connect(CheckBox1, &QCheckBox::clicked, this, engineChosen);

    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addSpacing(8);
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addSpacing(40);
    layout->addLayout(buttons);
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(544, 375)));
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
