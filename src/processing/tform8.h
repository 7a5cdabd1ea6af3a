#pragma once
// The settings of the processing command lines.
#include <QDialog>

class TForm8 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm8(QWidget* parent = nullptr);
};
