#include "app/tform9.h"

TForm9::TForm9(QWidget* parent) : QDialog(parent) {}
