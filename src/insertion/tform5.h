#pragma once
// The symbol picture.
#include <QDialog>

class TForm5 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm5(QWidget* parent = nullptr);
};
