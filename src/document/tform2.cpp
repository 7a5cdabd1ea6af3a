#include "document/tform2.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "document/encoding_dialog.h"
#include "document/radio_group.h"
#include "document/texts.h"
#include "document/tform3.h"
#include "platform/prompts.h"
#include "state/editor_state.h"

TForm2::TForm2(state::EditorState& state, platform::Prompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Задай параметры создаваемого файла"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 12));
    move(265, 157);
    resize(403, 244);

    RadioGroup1 = new TRadioGroup(
        QStringLiteral("RadioGroup1"), QStringLiteral("Статус файла в проекте"),
        {QStringLiteral("Главный файл"), QStringLiteral("Присоединяемый файл")}, this);
    RadioGroup1->SetItemIndex(0);
    RadioGroup2 =
        new TRadioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("Применить шаблон"),
                        {QStringLiteral("Без шаблона"), QStringLiteral("Стандартный шаблон"),
                         QStringLiteral("Шаблон пользователя ")},
                        this);
    RadioGroup2->SetItemIndex(1);
    RadioGroup3 = new TRadioGroup(QStringLiteral("RadioGroup3"), QStringLiteral("Кодировка"),
                                  encodingItems(), this, true);
    RadioGroup3->SetItemIndex(0);
    RadioGroup3->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    CheckBox1 = new QCheckBox(QStringLiteral("Умная Клава"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    QFont bold = Button1->font();
    bold.setBold(true);
    Button1->setFont(bold);
    Button2 = new QPushButton(QStringLiteral("Отменить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup1);
    groups->addWidget(RadioGroup2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox1);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(RadioGroup3);
    layout->addLayout(buttons);
    // The designed size, with the encoding's row below the two groups, is the least: a
    // larger font widens the window to its captions.
    const int designedHeight =
        244 + RadioGroup3->sizeHint().height() + std::max(layout->spacing(), 0);
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(403, designedHeight)));

    connect(RadioGroup1, &TRadioGroup::Click, this, &TForm2::RadioGroup1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
}

void TForm2::RadioGroup1Click() {
    // An attached file usually needs no template of its own, a main file the standard one;
    // a user's template is never replaced.
    if (RadioGroup1->ItemIndex() == 1 && RadioGroup2->ItemIndex() == 1)
        RadioGroup2->SetItemIndex(0);
    if (RadioGroup1->ItemIndex() == 0 && RadioGroup2->ItemIndex() == 0)
        RadioGroup2->SetItemIndex(1);
}

void TForm2::Button1Click() {
    if (!ChooseProjectLink(state_, prompts_, RadioGroup1->ItemIndex())) return;
    switch (RadioGroup2->ItemIndex()) {
    case 0:
        state_.UserTemplate.clear();
        break;
    case 1:
        state_.UserTemplate = QStringLiteral("*");
        break;
    case 2: {
        auto chosen = prompts_.openFile(document::cp1251(document::kTemplateTitle),
                                        document::cp1251(document::kOpenFilter));
        if (!chosen || !AcceptablePick(prompts_, *chosen)) return;
        state_.UserTemplate = *chosen;
        break;
    }
    default:
        break;
    }
    state_.SmartKeyboardOn = CheckBox1->isChecked();
    state_.NewDocEncoding = static_cast<platform::TextEncoding>(RadioGroup3->ItemIndex());
    accept();
}

void TForm2::Button2Click() {
    reject();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
