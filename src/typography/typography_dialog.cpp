#include "typography/typography_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace typography {
namespace {

QRadioButton* addChoice(QGroupBox& group, const char* name, const QString& caption) {
    auto* button = new QRadioButton(caption, &group);
    button->setObjectName(QLatin1String(name));
    group.layout()->addWidget(button);
    return button;
}

QGroupBox* addGroup(QDialog& dialog, const QString& title) {
    auto* group = new QGroupBox(title, &dialog);
    group->setLayout(new QVBoxLayout);
    dialog.layout()->addWidget(group);
    return group;
}

} // namespace

TTypographyDialog::TTypographyDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TypographyDialog1"));
    setWindowTitle(QStringLiteral("Типографика"));
    auto* layout = new QVBoxLayout(this);
    QGroupBox* checks = addGroup(*this, QStringLiteral("Проверять"));
    for (int i = 0; i < kRules; ++i) {
        auto* box = new QCheckBox(ruleName(static_cast<Rule>(i)), checks);
        box->setObjectName(QStringLiteral("TypographyRule%1").arg(i + 1));
        checks->layout()->addWidget(box);
        rules_[static_cast<size_t>(i)] = box;
    }
    QGroupBox* quotes = addGroup(*this, QStringLiteral("Кавычки в документе UTF-8"));
    guillemets_ = addChoice(*quotes, "TypographyGuillemets1", QStringLiteral("«ёлочки» и „лапки“"));
    angleQuotes_ = addChoice(*quotes, "TypographyAngleQuotes1",
                             QStringLiteral("<<ёлочки>> и ,,лапки'' (как в 8-битных)"));
    QGroupBox* initials = addGroup(*this, QStringLiteral("Между инициалами"));
    tieInitials_ = addChoice(*initials, "TypographyTieInitials1", QStringLiteral("А.~С.~Пушкин"));
    thinInitials_ =
        addChoice(*initials, "TypographyThinInitials1", QStringLiteral("А.\\,С.~Пушкин"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("TypographyOk1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TTypographyDialog::Prepare(const Settings& settings) {
    for (size_t i = 0; i < rules_.size(); ++i)
        rules_[i]->setChecked(settings.rules[i]);
    (settings.guillemets ? guillemets_ : angleQuotes_)->setChecked(true);
    (settings.thinInitials ? thinInitials_ : tieInitials_)->setChecked(true);
}

Settings TTypographyDialog::Chosen() const {
    Settings settings;
    for (size_t i = 0; i < rules_.size(); ++i)
        settings.rules[i] = rules_[i]->isChecked();
    settings.guillemets = guillemets_->isChecked();
    settings.thinInitials = thinInitials_->isChecked();
    return settings;
}

} // namespace typography
