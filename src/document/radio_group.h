#pragma once
// A titled group of radio buttons with one chosen item (ItemIndex), named like its items:
// the buttons of "RadioGroup1" are "RadioGroup1Item0", "RadioGroup1Item1", ...
#include <QGroupBox>
#include <QStringList>
#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT

  public:
    // The items stand one under another, or side by side when horizontal.
    TRadioGroup(const QString& name, const QString& caption, const QStringList& items,
                QWidget* parent, bool horizontal = false);

    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const { return items_.at(static_cast<size_t>(index)); }

  signals:
    // The user clicked one of the items (not sent by SetItemIndex).
    void Click();

  private:
    std::vector<QRadioButton*> items_;
};
