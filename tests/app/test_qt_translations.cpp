// Qt's own texts are Russian whatever locale the desktop has.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/qt_translations.h"

TEST(QtTranslations, ButtonsDialogsAndContextMenusSpeakRussianUnderAnEnglishLocale) {
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LC_ALL", "en_US.UTF-8");
    int argc = 1;
    char name[] = "test_app_logic";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    ASSERT_TRUE(app::installQtRussian());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), QString("&Имя файла:"));
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Paste"), QString("В&ставить"));
}
