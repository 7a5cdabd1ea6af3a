#pragma once
// The encoding chooser of "Открыть в кодировке..." and "Сохранить в кодировке...": the
// editor's encodings, one of them chosen, OK and cancel. The choice stays from one showing
// to the next.
#include <QDialog>

#include "platform/text_encoding.h"

class QPushButton;
class TRadioGroup;

class TEncodingDialog : public QDialog {
    Q_OBJECT

  public:
    explicit TEncodingDialog(QWidget* parent = nullptr);

    // Shown with a title and an encoding chosen; accepted with another (or the same) one.
    void Prepare(const QString& title, platform::TextEncoding chosen);
    platform::TextEncoding Chosen() const;

    TRadioGroup* RadioGroup1 = nullptr; // the encodings, in the order of TextEncoding
    QPushButton* Button1 = nullptr;     // OK
    QPushButton* Button2 = nullptr;     // cancel, also the Esc key
};

// The captions of the encodings in a radio group: "&CP866", "&UTF-8", "CP&1251", "&KOI8-R".
QStringList encodingItems();
