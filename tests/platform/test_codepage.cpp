#include <gtest/gtest.h>

#include "platform/codepage.h"

using namespace platform;

TEST(Codepage, CyrillicLettersRoundTripThroughUnicode) {
    std::string all;
    for (int b = 0xC0; b <= 0xFF; ++b)
        all.push_back(static_cast<char>(b));
    all += "\xA8\xB8";
    QString text = fromCp1251(all);
    EXPECT_EQ(text.left(3), QStringLiteral("АБВ"));
    EXPECT_EQ(text.right(2), QStringLiteral("Ёё"));
    EXPECT_EQ(toCp1251(text), all);
}

TEST(Codepage, CharactersOutsideCp1251BecomeOneQuestionMarkEach) {
    EXPECT_EQ(toCp1251(QStringLiteral("a\u4E2Db")), "a?b");
    EXPECT_EQ(toCp1251(QString::fromUtf8("x\xF0\x9F\x98\x80y")), "x?y");
    EXPECT_EQ(toCp1251(QStringLiteral("«—»")), "\xAB\x97\xBB");
}

TEST(Codepage, UpperCaseFoldsLatinAndCyrillic) {
    EXPECT_EQ(upperCaseCp1251('a'), 'A');
    EXPECT_EQ(upperCaseCp1251(0xE0), 0xC0); // а -> А
    EXPECT_EQ(upperCaseCp1251(0xB8), 0xA8); // ё -> Ё
    EXPECT_EQ(upperCaseCp1251('1'), '1');
}
