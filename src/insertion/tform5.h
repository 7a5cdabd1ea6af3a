#pragma once
// The symbol picture: a click on a cell closes the window and leaves the position behind.
// The picture is 16 pixels wider than its control and centred in it, so the control shows
// picture column x + 8 at its column x.
#include <QDialog>

class TImage;

class TForm5 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm5(QWidget* parent = nullptr);

    TImage* Image1 = nullptr;
    int ClickX = -1;
    int ClickY = -1;

    void Image1MouseUp(int x, int y);

  protected:
    // No keys are bound: only a click or the title bar closes the window.
    void keyPressEvent(QKeyEvent* event) override;
};
