#include "insertion/tform7.h"

#include <QCheckBox>
#include <QCollator>
#include <QKeyEvent>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/codepage.h"

namespace {

constexpr int kEntryRole = Qt::UserRole;

QFont buttonFont() {
    QFont font;
    font.setPixelSize(16);
    font.setBold(true);
    return font;
}

} // namespace

TForm7::TForm7(QWidget* parent) : QDialog(parent) {
    setObjectName("Form7");

    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName("ListBox1");
    ListBox1->setMinimumSize(167, 273);
    ListBox1->setAccessibleName(QStringLiteral("Список для вставки"));
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setUniformItemSizes(true);
    QFont listFont(QStringLiteral("MS Sans Serif"));
    listFont.setStyleHint(QFont::SansSerif);
    listFont.setPixelSize(13);
    ListBox1->setFont(listFont);
    ListBox1->installEventFilter(this);
    ListBox1->viewport()->installEventFilter(this);

    Button1 = new QPushButton(QString::fromUtf8("ОК"), this);
    Button1->setObjectName("Button1");
    Button1->setFont(buttonFont());
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });

    Button2 = new QPushButton(QString::fromUtf8("ОТМЕНИТЬ"), this);
    Button2->setObjectName("Button2");
    Button2->setFont(buttonFont());
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    CheckBox1 = new QCheckBox(QString::fromUtf8("*-вариант"), this);
    CheckBox1->setObjectName("CheckBox1");
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { CheckBox1Click(); });

    CheckBox2 = new QCheckBox(QStringLiteral("\\label{...}"), this);
    CheckBox2->setObjectName("CheckBox2");

    // The list at the left, the buttons and switches beside it; the designed size is the
    // least, and a larger font widens the column to its captions.
    for (QPushButton* button : {Button1, Button2})
        button->setMinimumSize(QSize(105, 25).expandedTo(button->sizeHint()));
    auto* side = new QVBoxLayout;
    side->setContentsMargins(17, 24, 8, 0);
    side->addWidget(Button1);
    side->addSpacing(31);
    side->addWidget(Button2);
    side->addSpacing(63);
    side->addWidget(CheckBox1);
    side->addSpacing(23);
    side->addWidget(CheckBox2);
    side->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(side);
    setMinimumSize(layout->totalMinimumSize().expandedTo(QSize(289, 273)));
    resize(minimumSize());
}

void TForm7::SetItems(const platform::StringList& entries) {
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(entries.size());
    for (const std::string& entry : entries)
        keyed.emplace_back(platform::fromCp1251(entry), entry);
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    ListBox1->clear();
    for (const auto& [shown, bytes] : keyed) {
        auto* item = new QListWidgetItem(shown, ListBox1);
        item->setData(kEntryRole, QByteArray(bytes.data(), qsizetype(bytes.size())));
        item->setSizeHint(QSize(0, 16));
    }
    ListBox1->setCurrentRow(-1);
    ListBox1->clearSelection();
}

std::vector<std::string> TForm7::Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < ListBox1->count(); ++i)
        items.push_back(ListBox1->item(i)->data(kEntryRole).toByteArray().toStdString());
    return items;
}

std::optional<std::string> TForm7::SelectedEntry() const {
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty()) return std::nullopt;
    return selected.front()->data(kEntryRole).toByteArray().toStdString();
}

void TForm7::FormShow() {
    Accepted = false;
    ListBox1->setFocus();
}

void TForm7::Button1Click() {
    Accepted = true;
    accept();
}

void TForm7::Button2Click() {
    Accepted = false;
    reject();
}

void TForm7::ListBox1DblClick() {
    Button1Click();
}

void TForm7::ListBox1KeyPress(char key) {
    if (key == '\r') Button1Click();
}

void TForm7::CheckBox1Click() {
    if (CheckBox1->isChecked()) CheckBox2->setChecked(false);
    CheckBox2->update();
}

void TForm7::setVisible(bool visible) {
    // Opens centred on the desktop.
    if (visible && !isVisible()) {
        if (QScreen* screen = this->screen()) {
            const QRect desktop = screen->geometry();
            move(desktop.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::setVisible(visible);
}

void TForm7::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TForm7::keyPressEvent(QKeyEvent* event) {
    // Esc has no binding here.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TForm7::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            ListBox1KeyPress('\r');
            return true;
        }
        // With nothing selected, the first arrow key selects the entry under the cursor.
        if ((key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
            ListBox1->selectedItems().isEmpty() && ListBox1->count() > 0) {
            const int row = std::max(ListBox1->currentRow(), 0);
            ListBox1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            return true;
        }
    }
    if (watched == ListBox1->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        ListBox1DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
