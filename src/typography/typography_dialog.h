#pragma once
// "Типографика": a checkbox for each rule and the forms of two fixes. It returns the user's
// choices and changes nothing by itself.
#include <QDialog>
#include <array>

#include "typography/typography_settings.h"

class QCheckBox;
class QRadioButton;

namespace typography {

class TTypographyDialog final : public QDialog {
  public:
    explicit TTypographyDialog(QWidget* parent = nullptr);
    void Prepare(const Settings& settings);
    Settings Chosen() const;

  private:
    std::array<QCheckBox*, kRules> rules_{};
    QRadioButton* angleQuotes_;
    QRadioButton* guillemets_;
    QRadioButton* tieInitials_;
    QRadioButton* thinInitials_;
};

} // namespace typography
