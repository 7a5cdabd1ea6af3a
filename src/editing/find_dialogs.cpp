#include "editing/find_dialogs.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/codepage.h"

namespace {

QLineEdit* makeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(kFindTextLimit);
    edit->setMinimumWidth(220);
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLabel* makeLabel(QWidget* parent, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setBuddy(buddy);
    return label;
}

void setTextLimited(QLineEdit* edit, const QString& text) {
    edit->setText(text.left(kFindTextLimit));
}

void openAt(QDialog* dialog, const QPoint& topLeft, QLineEdit* focusEdit) {
    dialog->move(topLeft);
    if (!dialog->isVisible()) dialog->show();
    dialog->raise();
    dialog->activateWindow();
    focusEdit->setFocus();
    focusEdit->selectAll();
}

} // namespace

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QString::fromUtf8("Найти"));
    setModal(false);

    findEdit_ = makeEdit(this, "FindWhat");
    wholeWord_ = makeCheckBox(this, "WholeWord", "Только слово &целиком");
    matchCase_ = makeCheckBox(this, "MatchCase", "С &учетом регистра");

    auto* direction = new QGroupBox(QString::fromUtf8("Направление"), this);
    direction->setObjectName(QStringLiteral("Direction"));
    up_ = new QRadioButton(QString::fromUtf8("&Вверх"), direction);
    up_->setObjectName(QStringLiteral("Up"));
    down_ = new QRadioButton(QString::fromUtf8("В&низ"), direction);
    down_->setObjectName(QStringLiteral("Down"));
    down_->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);

    findNext_ = makeButton(this, "FindNext", "&Найти далее");
    findNext_->setDefault(true);
    findNext_->setEnabled(false);
    auto* cancel = makeButton(this, "Cancel", "Отмена");

    auto* what = new QHBoxLayout;
    what->addWidget(makeLabel(this, "&Что:", findEdit_));
    what->addWidget(findEdit_, 1);
    auto* options = new QVBoxLayout;
    options->addWidget(wholeWord_);
    options->addWidget(matchCase_);
    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    lower->addWidget(direction);
    auto* left = new QVBoxLayout;
    left->addLayout(what);
    left->addLayout(lower);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { findNext_->setEnabled(!text.isEmpty()); });
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (!findEdit_->text().isEmpty()) emit Find();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TFindDialog::FindText() const {
    return findEdit_->text();
}
void TFindDialog::SetFindText(const QString& text) {
    setTextLimited(findEdit_, text);
}
void TFindDialog::SetFindText(const std::string& cp1251Text) {
    setTextLimited(findEdit_, platform::fromCp1251(cp1251Text));
}
bool TFindDialog::WholeWord() const {
    return wholeWord_->isChecked();
}
bool TFindDialog::MatchCase() const {
    return matchCase_->isChecked();
}
bool TFindDialog::Down() const {
    return down_->isChecked();
}
void TFindDialog::Execute(const QPoint& topLeft) {
    openAt(this, topLeft, findEdit_);
}

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QString::fromUtf8("Заменить"));
    setModal(false);

    findEdit_ = makeEdit(this, "FindWhat");
    replaceEdit_ = makeEdit(this, "ReplaceWith");
    wholeWord_ = makeCheckBox(this, "WholeWord", "Только слово &целиком");
    matchCase_ = makeCheckBox(this, "MatchCase", "С &учетом регистра");

    findNext_ = makeButton(this, "FindNext", "&Найти далее");
    findNext_->setDefault(true);
    replace_ = makeButton(this, "Replace", "&Заменить");
    replaceAllButton_ = makeButton(this, "ReplaceAll", "Заменить &все");
    auto* cancel = makeButton(this, "Cancel", "Отмена");
    for (QPushButton* b : {findNext_, replace_, replaceAllButton_})
        b->setEnabled(false);

    auto* fields = new QGridLayout;
    fields->addWidget(makeLabel(this, "&Что:", findEdit_), 0, 0);
    fields->addWidget(findEdit_, 0, 1);
    fields->addWidget(makeLabel(this, "Ч&ем:", replaceEdit_), 1, 0);
    fields->addWidget(replaceEdit_, 1, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(wholeWord_);
    left->addWidget(matchCase_);
    left->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(findNext_);
    buttons->addWidget(replace_);
    buttons->addWidget(replaceAllButton_);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(findEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        for (QPushButton* b : {findNext_, replace_, replaceAllButton_})
            b->setEnabled(!text.isEmpty());
    });
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (!findEdit_->text().isEmpty()) emit Find();
    });
    connect(replace_, &QPushButton::clicked, this, [this] {
        if (findEdit_->text().isEmpty()) return;
        replaceAll_ = false;
        emit Replace();
    });
    connect(replaceAllButton_, &QPushButton::clicked, this, [this] {
        if (findEdit_->text().isEmpty()) return;
        replaceAll_ = true;
        emit Replace();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QString TReplaceDialog::FindText() const {
    return findEdit_->text();
}
void TReplaceDialog::SetFindText(const QString& text) {
    setTextLimited(findEdit_, text);
}
void TReplaceDialog::SetFindText(const std::string& cp1251Text) {
    setTextLimited(findEdit_, platform::fromCp1251(cp1251Text));
}
QString TReplaceDialog::ReplaceText() const {
    return replaceEdit_->text();
}
void TReplaceDialog::SetReplaceText(const QString& text) {
    setTextLimited(replaceEdit_, text);
}
void TReplaceDialog::SetReplaceText(const std::string& cp1251Text) {
    setTextLimited(replaceEdit_, platform::fromCp1251(cp1251Text));
}
bool TReplaceDialog::WholeWord() const {
    return wholeWord_->isChecked();
}
bool TReplaceDialog::MatchCase() const {
    return matchCase_->isChecked();
}
void TReplaceDialog::Execute(const QPoint& topLeft) {
    openAt(this, topLeft, findEdit_);
}
