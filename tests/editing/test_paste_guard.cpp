#include <gtest/gtest.h>

#include "editing/paste_guard.h"
#include "platform/codepage.h"

using editing::guardPastedText;

TEST(PasteGuard, TypographicCharactersTakeTheirTexSpelling) {
    const struct {
        const char16_t* in;
        const char* out;
    } cases[] = {
        {u"\u00AB", "<<"},      {u"\u00BB", ">>"}, {u"\u2014", "---"}, {u"\u2013", "--"},
        {u"\u2026", "\\ldots"}, {u"\u201C", "``"}, {u"\u201D", "''"},  {u"\u201E", ",,"},
        {u"\u00A0", "~"},       {u"\u2018", "`"},  {u"\u2019", "'"},   {u"\u00AD", "\\-"},
        {u"\u00A7", "\\S"},
    };
    for (const auto& c : cases) {
        const auto g = guardPastedText(QStringView(c.in));
        EXPECT_EQ(g.text, c.out) << QString::fromUtf16(c.in).toStdString();
        EXPECT_EQ(g.changed, 1);
    }
}

TEST(PasteGuard, QuotedRussianSentence) {
    const auto g =
        guardPastedText(u"\u00AB\u0414\u0430\u00BB \u2014 \u201E\u043D\u0435\u0442\u201C");
    // «Да» — „нет“ : the letters stay CP1251, “ becomes ``
    EXPECT_EQ(g.text, "<<\xC4\xE0>> --- ,,\xED\xE5\xF2``");
    EXPECT_EQ(g.changed, 5);
}

TEST(PasteGuard, ControlWordKeepsTheFollowingLetterAndBlank) {
    EXPECT_EQ(guardPastedText(u"\u2026and").text, "\\ldots{}and");
    EXPECT_EQ(guardPastedText(u"\u2026 \u0438").text, "\\ldots{} \xE8");
    EXPECT_EQ(guardPastedText(u"\u2026\u0438").text, "\\ldots\xE8");
    EXPECT_EQ(guardPastedText(u"\u2026.").text, "\\ldots.");
    EXPECT_EQ(guardPastedText(u"\u00A7 5").text, "\\S{} 5");
    EXPECT_EQ(guardPastedText(u"a\u00ADb").text, "a\\-b");
}

TEST(PasteGuard, CharactersThatWouldNotComeBackBecomeQuestionMarks) {
    // Outside CP1251: é, a CJK character, and one outside the Basic Multilingual Plane.
    auto g = guardPastedText(u"\u00E9\u4E2D\U0001F600!");
    EXPECT_EQ(g.text, "??"
                      "?!");
    EXPECT_EQ(g.changed, 3);
    // In CP1251 but where CP866 keeps a Russian letter: €, •, ™, ©.
    g = guardPastedText(u"\u20AC\u2022\u2122\u00A9");
    EXPECT_EQ(g.text, "????");
    EXPECT_EQ(g.changed, 4);
}

TEST(PasteGuard, TextThatSurvivesPassesUnchanged) {
    // ASCII, TeX markup, every Russian letter, ° ± № and a line break.
    QString text = QStringLiteral("x^2 \\alpha{} 5\u00B0 \u00B1 \u2116 7\r\nnext\tline");
    for (char16_t c = 0x0410; c <= 0x044F; ++c)
        text += QChar(c);
    text += QChar(0x0401);
    text += QChar(0x0451);
    const auto g = guardPastedText(text);
    EXPECT_EQ(g.changed, 0);
    EXPECT_EQ(g.text, platform::toCp1251(text));
}

TEST(PasteGuard, EveryByteItKeepsSurvivesTheRoundTrip) {
    // Whatever is pasted, the guard's output holds only bytes that a save and a load give back.
    for (char16_t c = 1; c < 0x3000; ++c) {
        if (QChar::isSurrogate(c)) continue;
        const QString one(QChar{c});
        for (char b : guardPastedText(one).text)
            ASSERT_TRUE(editing::survivesCp866RoundTrip(static_cast<unsigned char>(b)))
                << "U+" << std::hex << static_cast<int>(c);
    }
}

TEST(PasteGuard, RoundTripRule) {
    EXPECT_TRUE(editing::survivesCp866RoundTrip('a'));
    EXPECT_TRUE(editing::survivesCp866RoundTrip(0xC0));  // А
    EXPECT_TRUE(editing::survivesCp866RoundTrip(0xB8));  // ё
    EXPECT_TRUE(editing::survivesCp866RoundTrip(0xB0));  // °: box drawing in CP866
    EXPECT_FALSE(editing::survivesCp866RoundTrip(0xAB)); // « sits on CP866 л
    EXPECT_FALSE(editing::survivesCp866RoundTrip(0x97)); // — sits on CP866 Ч
    EXPECT_FALSE(editing::survivesCp866RoundTrip(0xA0)); // no-break space sits on CP866 а
}

TEST(PasteGuard, ParagraphSeparatorsBecomeLineBreaks) {
    const auto g = guardPastedText(u"a\u2029b");
    EXPECT_EQ(g.text, "a\nb");
    EXPECT_EQ(g.changed, 0);
}

// A UTF-8 document writes each CP1251 character back as itself: only what CP1251 lacks
// is replaced.
TEST(PasteGuard, Utf8DocumentsKeepEveryCp1251Character) {
    const auto g = guardPastedText(
        u"\u00AB\u0414\u0430\u00BB \u2014\u2013\u2026\u201C\u201D\u201E\u2116\u00A0\u20AC\u00E9",
        true);
    EXPECT_EQ(g.text, "\xAB\xC4\xE0\xBB \x97\x96\x85\x93\x94\x84\xB9\xA0\x88?");
    EXPECT_EQ(g.changed, 1);
}
