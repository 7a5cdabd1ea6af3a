#include "document/tform2.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent) {}
