#pragma once
// The modeless Find and Replace dialogs.
#include <QDialog>

class TFindDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TFindDialog(QWidget* parent = nullptr);
};

class TReplaceDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TReplaceDialog(QWidget* parent = nullptr);
};
