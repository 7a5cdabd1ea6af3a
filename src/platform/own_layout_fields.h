#pragma once
// The editor's own layouts in the program's text fields. Installed for a window, every line
// edit among its descendants (its dialogs, its input boxes) types the layout of the
// insertion set whatever layout the desktop has, and Ctrl+Shift / Alt+Shift switches the
// layout there as in the editing area. Nothing else of the editing area applies: no typing
// rules. The name fields of the standard file dialogs keep the desktop's layout. The key of
// "Исправить раскладку" retypes a field's selection, or the word before its cursor, in the
// other layout and switches to it.
#include <QObject>
#include <QPointer>
#include <functional>

#include "platform/keyboard_layouts.h"

class QLineEdit;

namespace platform {

class OwnLayoutFields : public QObject {
  public:
    // cyrillic: whether the Russian layout is active; switchLayout: turns it over.
    OwnLayoutFields(QObject& owner, std::function<bool()> cyrillic,
                    std::function<void()> switchLayout);
    ~OwnLayoutFields() override;
    OwnLayoutFields(const OwnLayoutFields&) = delete;
    OwnLayoutFields& operator=(const OwnLayoutFields&) = delete;

  protected:
    bool eventFilter(QObject* target, QEvent* event) override;

  private:
    // The line edit an event is for, when it is one of the owner's own fields.
    QLineEdit* ownField(QObject* target) const;
    void fixLayout(QLineEdit& field);

    QObject& owner_;
    std::function<bool()> cyrillic_;
    std::function<void()> switchLayout_;
    LayoutSwitchKeys layoutSwitch_;
};

} // namespace platform
