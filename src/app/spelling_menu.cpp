// The spell checker's menu items: each forwards to the checker (src/spelling), and both
// follow its state: disabled without a dictionary, "Проверка орфографии" checked while it
// checks.
#include <QAction>

#include "app/tform1.h"
#include "spelling/personal_dictionary.h"
#include "spelling/russian_dictionary.h"
#include "spelling/spell_checker.h"

void TForm1::ConnectSpellChecker() {
    SpellChecker1 = new spelling::SpellChecker(
        *this, {spelling::findRussianDictionary(spelling::dictionaryFolders()),
                spelling::personalDictionaryPath()});
    auto* onOff = findChild<QAction*>(QStringLiteral("SpellCheck1"));
    auto* next = findChild<QAction*>(QStringLiteral("NextMisspelling1"));
    const auto follow = [this, onOff, next] {
        onOff->setEnabled(SpellChecker1->Available());
        onOff->setChecked(SpellChecker1->Checking());
        next->setEnabled(SpellChecker1->Checking());
    };
    connect(SpellChecker1, &spelling::SpellChecker::stateChanged, this, follow);
    follow();
}

void TForm1::SpellCheck1Click() {
    SpellChecker1->ToggleChecking();
}
void TForm1::NextMisspelling1Click() {
    SpellChecker1->NextMisspelling();
}
