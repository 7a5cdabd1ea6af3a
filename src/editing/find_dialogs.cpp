#include "editing/find_dialogs.h"

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {}

TReplaceDialog::TReplaceDialog(QWidget* parent) : QDialog(parent) {}
