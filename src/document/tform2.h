#pragma once
// The new-file dialog: the project status, the template and the Smart Keyboard of a new document.
#include <QDialog>

class TForm2 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm2(QWidget* parent = nullptr);
};
