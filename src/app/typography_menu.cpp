// The typography checks' menu items and "Исправить раскладку": each forwards to
// src/typography; "Следующая типографская ошибка" is enabled while some rule is checked.
#include <QAction>

#include "app/tform1.h"
#include "typography/fix_layout.h"
#include "typography/typography_checker.h"

void TForm1::ConnectTypographyChecker() {
    TypographyChecker1 = new typography::TypographyChecker(*this);
    auto* next = findChild<QAction*>(QStringLiteral("NextTypography1"));
    const auto follow = [this, next] { next->setEnabled(TypographyChecker1->Checking()); };
    connect(TypographyChecker1, &typography::TypographyChecker::stateChanged, this, follow);
    follow();
}

void TForm1::Typography1Click() {
    TypographyChecker1->Configure();
}
void TForm1::NextTypography1Click() {
    TypographyChecker1->NextMark();
}
void TForm1::FixLayout1Click() {
    typography::FixLayout(*this);
}
