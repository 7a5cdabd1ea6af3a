#include <gtest/gtest.h>

#include "editing/paste_guard.h"
#include "support/qt_print.h"

using editing::guardPastedText;
using platform::TextEncoding;

namespace {

editing::GuardedPaste cp866(QStringView text) {
    return guardPastedText(text, TextEncoding::Cp866);
}

} // namespace

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
        const auto g = cp866(QStringView(c.in));
        EXPECT_EQ(g.text, QLatin1StringView(c.out)) << QString::fromUtf16(c.in).toStdString();
        EXPECT_EQ(g.changed, 1);
    }
    // «Да» — „нет“ : the letters stay, “ becomes ``
    const auto g = cp866(u"\u00AB\u0414\u0430\u00BB \u2014 \u201E\u043D\u0435\u0442\u201C");
    EXPECT_EQ(g.text, QStringLiteral("<<Да>> --- ,,нет``"));
    EXPECT_EQ(g.changed, 5);
}

TEST(PasteGuard, ControlWordKeepsTheFollowingLetterAndBlank) {
    EXPECT_EQ(cp866(u"\u2026and").text, QStringLiteral("\\ldots{}and"));
    EXPECT_EQ(cp866(u"\u2026 \u0438").text, QStringLiteral("\\ldots{} и"));
    EXPECT_EQ(cp866(u"\u2026\u0438").text, QStringLiteral("\\ldotsи"));
    EXPECT_EQ(cp866(u"\u2026.").text, QStringLiteral("\\ldots."));
    EXPECT_EQ(cp866(u"\u00A7 5").text, QStringLiteral("\\S{} 5"));
    EXPECT_EQ(cp866(u"a\u00ADb").text, QStringLiteral("a\\-b"));
}

// What each document's encoding can save passes; the rest is spelled or becomes "?".
TEST(PasteGuard, EachEncodingKeepsWhatItCanSave) {
    const QString pasted = QStringLiteral("«Ёж» — №\u00A05 ° ± é α 中 😀 ╬ \u20AC\r\nx\tz");
    const struct {
        TextEncoding encoding;
        QString out;
        int changed;
    } cases[] = {
        {TextEncoding::Cp866, QStringLiteral("<<Ёж>> --- №~5 ° ? ? ? ? ? ╬ ?\r\nx\tz"), 10},
        {TextEncoding::Cp1251, QStringLiteral("«Ёж» — №\u00A05 ° ± ? ? ? ? ? \u20AC\r\nx\tz"), 5},
        {TextEncoding::Koi8r, QStringLiteral("<<Ёж>> --- ?\u00A05 ° ? ? ? ? ? ╬ ?\r\nx\tz"), 10},
        {TextEncoding::Utf8, pasted, 0},
    };
    for (const auto& c : cases) {
        const auto g = guardPastedText(pasted, c.encoding);
        EXPECT_EQ(g.text, c.out) << platform::encodingOf(c.encoding).name;
        EXPECT_EQ(g.changed, c.changed) << platform::encodingOf(c.encoding).name;
    }
    // No document holds NUL or Ctrl+Z; a lone surrogate is no character.
    EXPECT_EQ(guardPastedText(QStringView(u"a\u0000b\u001A", 4), TextEncoding::Utf8).text,
              QStringLiteral("a?b?"));
    EXPECT_EQ(guardPastedText(QString(QChar(0xD800)), TextEncoding::Utf8).text,
              QStringLiteral("?"));
}

TEST(PasteGuard, WhatTheGuardKeepsTheEncodingSaves) {
    for (const TextEncoding encoding :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        for (char16_t c = 1; c < 0x3000; ++c) {
            if (QChar::isSurrogate(c)) continue;
            const QString text = guardPastedText(QString(QChar{c}), encoding).text;
            ASSERT_FALSE(platform::firstUnheldCharacter(text, encoding))
                << "U+" << std::hex << static_cast<int>(c);
        }
    }
}

TEST(PasteGuard, ParagraphSeparatorsBecomeLineBreaks) {
    const auto g = cp866(u"a\u2029b\u2028c");
    EXPECT_EQ(g.text, QStringLiteral("a\nb\nc"));
    EXPECT_EQ(g.changed, 0);
}

// Every 8-bit document says alike what became "?": the first such character by name, and
// how many more; TeX spellings alone are only counted.
TEST(PasteGuard, TheNoticeNamesTheFirstCharacterThatBecameAQuestionMark) {
    const struct {
        QString pasted;
        QString notice;
    } cases[] = {
        {QStringLiteral("Ёлки Σ"), QStringLiteral("Вставка: «Σ» (U+03A3) заменён на «?»")},
        {QStringLiteral("中 и 😀, ω"),
         QStringLiteral("Вставка: «中» (U+4E2D) и ещё 2 заменены на «?»")},
        {QStringLiteral("Ёлки"), QString()},
    };
    for (const TextEncoding encoding :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(platform::encodingOf(encoding).name);
            EXPECT_EQ(editing::pasteNotice(guardPastedText(c.pasted, encoding)), c.notice);
        }
    }
    EXPECT_EQ(editing::pasteNotice(cp866(u"«a»")), QStringLiteral("Вставка: заменено знаков: 2"));
    EXPECT_EQ(editing::pasteNotice(guardPastedText(QStringView(u"a\u001A", 2), TextEncoding::Utf8)),
              QStringLiteral("Вставка: U+001A заменён на «?»"));
}
