#include "processing/tform8.h"

TForm8::TForm8(QWidget* parent) : QDialog(parent) {}
