#include "insertion/tform4.h"

TForm4::TForm4(QWidget* parent) : QDialog(parent) {}
