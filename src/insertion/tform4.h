#pragma once
// The letter picture.
#include <QDialog>

class TForm4 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm4(QWidget* parent = nullptr);
};
