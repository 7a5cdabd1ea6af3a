#pragma once
// The list chooser of environments and commands.
#include <QDialog>

class TForm7 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm7(QWidget* parent = nullptr);
};
