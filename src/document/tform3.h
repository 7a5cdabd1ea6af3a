#pragma once
// The file-parameters dialog: the project status and the Smart Keyboard of an opened document without a status file.
#include <QDialog>

class TForm3 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm3(QWidget* parent = nullptr);
};
