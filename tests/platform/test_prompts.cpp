#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/prompts.h"
#include "support/qt_print.h"

using platform::qtNameFilters;
using platform::toCp1251;

// The file dialogs show each filter once, and "all files" shows names without a dot too.
TEST(Prompts, EachFilterOnceAndAllFilesWithoutADot) {
    const QStringList tex{QStringLiteral("Файлы TEX (*.tex)"), QStringLiteral("Все файлы (*)")};
    EXPECT_EQ(qtNameFilters(toCp1251(u"Файлы TEX (*.tex)|*.tex|Все файлы|*.*")), tex);
    EXPECT_EQ(qtNameFilters(toCp1251(u"Файлы TEX|*.tex|Все файлы|*.*")), tex);
    EXPECT_EQ(qtNameFilters("Pictures|*.png;*.jpg"), QStringList{"Pictures (*.png *.jpg)"});
}
