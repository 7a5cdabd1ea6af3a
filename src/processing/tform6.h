#pragma once
// The LOG viewer.
#include <QMainWindow>

class TForm6 : public QMainWindow {
    Q_OBJECT

  public:
    explicit TForm6(QWidget* parent = nullptr);
};
