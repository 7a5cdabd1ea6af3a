#include "platform/own_layout_fields.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/codepage.h"
#include "platform/richedit.h"

namespace platform {

OwnLayoutFields::OwnLayoutFields(QObject& owner, std::function<bool()> cyrillic,
                                 std::function<void()> switchLayout)
    : QObject(&owner), owner_(owner), cyrillic_(std::move(cyrillic)),
      switchLayout_(std::move(switchLayout)) {
    // The input boxes are made and gone during a command: only an application filter sees
    // them all.
    QCoreApplication::instance()->installEventFilter(this);
}

OwnLayoutFields::~OwnLayoutFields() {
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
}

QLineEdit* OwnLayoutFields::ownField(QObject* target) const {
    auto* field = qobject_cast<QLineEdit*>(target);
    if (!field || qobject_cast<QFileDialog*>(field->window())) return nullptr;
    // Across windows: a dialog's parent is the main window.
    for (QObject* object = field; object; object = object->parent())
        if (object == &owner_) return field;
    return nullptr;
}

namespace {

bool isFixLayoutKey(const QKeyEvent& key) {
    return QKeySequence(key.keyCombination()) == QKeySequence(QLatin1String(kFixLayoutShortcut));
}

} // namespace

void OwnLayoutFields::fixLayout(QLineEdit& field) {
    if (!field.hasSelectedText()) {
        const int end = field.cursorPosition();
        const int start = wrongLayoutWordStart(field.text(), end);
        field.setSelection(end, start - end);
    }
    const QString text = field.selectedText();
    if (text.isEmpty()) return;
    const bool toCyrillic = retypesToCyrillic(text);
    field.insert(retypeInLayout(text, toCyrillic));
    if (cyrillic_() != toCyrillic) switchLayout_();
}

bool OwnLayoutFields::eventFilter(QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::MouseButtonPress && type != QEvent::FocusOut &&
        type != QEvent::ShortcutOverride)
        return false;
    QLineEdit* field = ownField(target);
    if (!field) return false;
    if (type == QEvent::ShortcutOverride) {
        // The key of "Исправить раскладку" is the field's own here, not the window's.
        if (!isFixLayoutKey(*static_cast<QKeyEvent*>(event)) || field->isReadOnly()) return false;
        event->accept();
        return true;
    }
    if (type == QEvent::MouseButtonPress) {
        layoutSwitch_.click();
        return false;
    }
    if (type == QEvent::FocusOut) {
        layoutSwitch_.reset();
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyRelease) {
        if (!key->isAutoRepeat() && layoutSwitch_.keyUp(key->key())) switchLayout_();
        return false;
    }
    if (!key->isAutoRepeat()) layoutSwitch_.keyDown(key->key());
    if (field->isReadOnly()) return false;
    if (isFixLayoutKey(*key)) {
        fixLayout(*field);
        return true;
    }
    const KeyMapping mapping = mapKey(keyInputOf(key), cyrillic_());
    // Enter, Backspace and Esc keep their work in the field and its dialog.
    if (mapping.character < 0x20 || mapping.character == 0x7F) return false;
    const char character = static_cast<char>(mapping.character);
    field->insert(fromCp1251(std::string_view(&character, 1)));
    return true;
}

} // namespace platform
