#include "document/encoding_dialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/radio_group.h"
#include "platform/window_title.h"

QStringList encodingItems() {
    return {QStringLiteral("&CP866"), QStringLiteral("&UTF-8"), QStringLiteral("CP&1251"),
            QStringLiteral("&KOI8-R")};
}

TEncodingDialog::TEncodingDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("EncodingDialog"));
    RadioGroup1 = new TRadioGroup(QStringLiteral("RadioGroup1"), QStringLiteral("Кодировка"),
                                  encodingItems(), this);
    RadioGroup1->SetItemIndex(0);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("Отменить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TEncodingDialog::Prepare(const QString& title, platform::TextEncoding chosen) {
    platform::setWholeTitle(*this, title);
    RadioGroup1->SetItemIndex(static_cast<int>(chosen));
}

platform::TextEncoding TEncodingDialog::Chosen() const {
    return static_cast<platform::TextEncoding>(RadioGroup1->ItemIndex());
}
