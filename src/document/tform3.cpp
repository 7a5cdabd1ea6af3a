#include "document/tform3.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "document/radio_group.h"
#include "document/texts.h"
#include "platform/guard.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "state/document_files.h"
#include "state/editor_state.h"

bool ChooseProjectLink(state::EditorState& state, platform::Prompts& prompts, int statusIndex) {
    if (statusIndex == 0) {
        state.MainFile = QStringLiteral("*");
    } else if (statusIndex == 1) {
        auto chosen = prompts.openFile(document::cp1251(document::kMainFileTitle),
                                       document::cp1251(document::kOpenFilter));
        if (!chosen || !AcceptablePick(prompts, *chosen)) return false;
        // Taken from the document's folder; an untitled document has none yet and keeps
        // the bare name, looked up beside it once it is saved.
        state.MainFile = state.DocName.isEmpty() ? platform::splitPath(*chosen).nameWithoutExtension
                                                 : state::projectLink(state.DocDir, *chosen);
    }
    return true;
}

bool AcceptablePick(platform::Prompts& prompts, const QString& path) {
    if (platform::isWorkablePath(path)) return true;
    prompts.error(platform::applicationTitle(), document::cp1251(document::kUnworkableName));
    return false;
}

TForm3::TForm3(state::EditorState& state, platform::Prompts& prompts, QWidget* parent)
    : QDialog(parent), state_(state), prompts_(prompts) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Задай параметры файла"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 12));
    move(192, 109);
    resize(410, 153);

    RadioGroup1 = new TRadioGroup(
        QStringLiteral("RadioGroup1"), QStringLiteral("Статус файла в проекте"),
        {QStringLiteral("Главный файл"), QStringLiteral("Присоединяемый файл")}, this);
    RadioGroup1->SetItemIndex(0);
    CheckBox1 = new QCheckBox(QStringLiteral("Умная Клава"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setChecked(true);
    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Отменить"), this);
    Button2->setObjectName(QStringLiteral("Button2"));

    auto* side = new QVBoxLayout;
    side->addWidget(CheckBox1);
    side->addStretch();
    side->addWidget(Button1);
    side->addWidget(Button2);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addLayout(side);
    // The designed size is the least: a larger font widens the window to its captions.
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(410, 153)));

    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
}

void TForm3::Button1Click() {
    if (!ChooseProjectLink(state_, prompts_, RadioGroup1->ItemIndex())) return;
    state_.SmartKeyboardOn = CheckBox1->isChecked();
    accept();
}

// Esc comes here too (QDialog rejects on Esc).
void TForm3::Button2Click() {
    reject();
}
