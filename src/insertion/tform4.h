#pragma once
// The letter picture: a click on a cell closes the window and leaves the position behind.
#include <QDialog>

class TImage;

class TForm4 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm4(QWidget* parent = nullptr);

    TImage* Image1 = nullptr;
    // Where a mouse button was released, relative to Image1; -1 when the window closed
    // without a click.
    int ClickX = -1;
    int ClickY = -1;

    void Image1MouseUp(int x, int y);

  protected:
    // No keys are bound: only a click or the title bar closes the window.
    void keyPressEvent(QKeyEvent* event) override;
};
