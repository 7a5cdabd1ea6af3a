#include "processing/tform6.h"

TForm6::TForm6(QWidget* parent) : QMainWindow(parent) {}
