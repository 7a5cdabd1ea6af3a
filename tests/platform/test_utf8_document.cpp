#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <vector>

#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/utf8_document.h"
#include "support/data_folder.h"
#include "support/text.h"

using namespace platform;
using support::cp1251;
using support::cp866;

namespace {

std::string utf8(std::u8string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

} // namespace

TEST(Utf8Detection, Verdicts) {
    const struct {
        std::string bytes;
        TextEncoding expected;
        bool decodes; // strict UTF-8
    } cases[] = {
        {"", TextEncoding::Cp866, true},
        {"\\section{Intro}\r\n", TextEncoding::Cp866, true},
        {utf8(u8"\\section{Введение}\r\n"), TextEncoding::Utf8, true},
        {utf8(u8"Greek α is refused later, but it is UTF-8"), TextEncoding::Utf8, true},
        {utf8(u8"pp. 1–10"), TextEncoding::Utf8, true},
        {"\xEF\xBB\xBF", TextEncoding::Utf8, true},
        {"\xEF\xBB\xBFplain", TextEncoding::Utf8, true},
        {std::string("\xFF\xFE\\\0s\0", 6), TextEncoding::Utf16, false},
        {std::string("\xFE\xFF\0\\\0s", 6), TextEncoding::Utf16, false},
        {"\xC0\x80", TextEncoding::Cp866, false},         // overlong NUL
        {"\xE0\x80\xAF", TextEncoding::Cp866, false},     // overlong "/"
        {"\xED\xA0\x80", TextEncoding::Cp866, false},     // surrogate
        {"\xF4\x90\x80\x80", TextEncoding::Cp866, false}, // above U+10FFFF
        {"\xD0\xB0\xD0", TextEncoding::Cp866, false},     // cut off at the end
        {utf8(u8"Введение ") + cp866(u"Введение"), TextEncoding::Cp866, false},
        {"\xEF\xBB\xBF" + cp866(u"Введение"), TextEncoding::Cp866, false},
        {cp1251(u"Введение"), TextEncoding::Cp866, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detectEncoding(c.bytes), c.expected) << c.bytes;
        EXPECT_EQ(readText(c.bytes).encoding, c.expected) << c.bytes;
        EXPECT_EQ(decodeUtf8Document(c.bytes).has_value(), c.decodes) << c.bytes;
    }
}

TEST(Utf8Detection, Cp866RussianTextIsNeverUtf8) {
    // Short words of lower-case letters are the only CP866 Russian that is strict UTF-8:
    // "шаг" is a three-byte sequence (р..я lead, а..п continue), "ёлка" a four-byte one.
    // Every word of up to three letters, and of four beginning with "ё", stays CP866.
    std::vector<std::string> letters;
    for (char16_t c = u'а'; c <= u'я'; ++c)
        letters.push_back(cp866(std::u16string(1, c)));
    letters.push_back(cp866(u"ё"));
    std::vector<std::string> words;
    for (const std::string& a : letters) {
        words.push_back(a);
        for (const std::string& b : letters) {
            words.push_back(a + b);
            for (const std::string& c : letters) {
                words.push_back(a + b + c);
                words.push_back(letters.back() + a + b + c);
            }
        }
    }
    const auto taken = std::count_if(words.begin(), words.end(), [](const std::string& w) {
        return detectEncoding(w) != TextEncoding::Cp866 ||
               readText(w).encoding != TextEncoding::Cp866;
    });
    EXPECT_EQ(taken, 0) << "of " << words.size();
    for (const char16_t* text : {u"шаг чай", u"раз сам\r\n", u"\\section{сон}", u"ёлка",
                                 u"Текст статьи. Формула набрана в математическом режиме."})
        EXPECT_EQ(detectEncoding(cp866(text)), TextEncoding::Cp866);

    QFile file(support::sourceDataFile("default.tex"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(detectEncoding(file.readAll().toStdString()), TextEncoding::Cp866);
}

TEST(Utf8Document, AcceptedFilesRoundTripByteForByte) {
    const std::string russian = utf8(u8"\\section{Введение}");
    const std::string punctuation = utf8(u8"«ёлка» — “да” „нет“ – №\u00A05…");
    const std::string files[] = {
        "",
        "\xEF\xBB\xBF",
        "\r\n",
        russian + "\r\n" + punctuation + "\r\n",
        russian + "\n\n" + punctuation + "\n",
        russian + "\r" + punctuation + "\r",
        russian + "\r\n" + punctuation,
        "\xEF\xBB\xBF" + russian + "\n" + punctuation,
        "\xEF\xBB\xBF" + russian + "\r\n\r\n",
    };
    for (const std::string& file : files) {
        const auto doc = decodeUtf8Document(file);
        ASSERT_TRUE(doc) << file;
        EXPECT_FALSE(doc->unheld || doc->mixedLineEnds) << file;
        EXPECT_EQ(encodeUtf8Document(doc->text, doc->layout), file);
    }

    const auto doc = decodeUtf8Document("\xEF\xBB\xBF" + russian + "\n" + punctuation);
    EXPECT_EQ(doc->text, cp1251(u"\\section{Введение}\n«ёлка» — “да” „нет“ – №\u00A05…"));
    EXPECT_EQ(doc->layout, (Utf8Layout{true, LineEnd::Lf, false}));
    EXPECT_EQ(decodeUtf8Document("\xEF\xBB\xBF")->layout, (Utf8Layout{true, LineEnd::CrLf, true}));
}

TEST(Utf8Document, MixedLineEndsKeepEveryLineAndTakeTheMostFrequentKind) {
    const auto doc = decodeUtf8Document(utf8(u8"а\r\nб\nв\r\nг\rд\r\n"));
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->mixedLineEnds);
    EXPECT_EQ(doc->text, cp1251(u"а\nб\nв\nг\nд\n"));
    EXPECT_EQ(doc->layout.lineEnd, LineEnd::CrLf);
    EXPECT_EQ(encodeUtf8Document(doc->text, doc->layout), utf8(u8"а\r\nб\r\nв\r\nг\r\nд\r\n"));
    // On a tie the first kind met wins; a CR before CR LF is a line end of its own.
    EXPECT_EQ(decodeUtf8Document("a\nb\r\n")->layout.lineEnd, LineEnd::Lf);
    EXPECT_EQ(decodeUtf8Document("a\r\r\n")->text, "a\n\n");
}

TEST(Utf8Document, FirstUnheldCharacterIsNamedWithItsLine) {
    const std::string greek = utf8(u8"первая\r\nвторая\n\rугол α и β\n");
    const auto doc = decodeUtf8Document(greek);
    ASSERT_TRUE(doc && doc->unheld);
    EXPECT_EQ(*doc->unheld, (UnheldCharacter{0x3B1, utf8(u8"α"), 4}));
    EXPECT_TRUE(doc->text.empty());
    EXPECT_EQ(unheldCharacterMessage(QStringLiteral("/home/u/a.tex"), *doc->unheld),
              QStringLiteral("Файл /home/u/a.tex содержит знак «α» (U+03B1) в строке 4, которого "
                             "нет в кодировке редактора."));

    const auto emoji = decodeUtf8Document(utf8(u8"é 😀"));
    EXPECT_EQ(emoji->unheld->code, U'é');
    EXPECT_EQ(decodeUtf8Document(utf8(u8"да 😀"))->unheld->utf8, utf8(u8"😀"));
    EXPECT_EQ(unicodeCodeName(0x1F600), QStringLiteral("U+1F600"));

    const auto nul = decodeUtf8Document(utf8(u8"да\r\n") + std::string("x\0y", 3));
    EXPECT_EQ(nul->unheld, (UnheldCharacter{0, std::string(1, '\0'), 2}));
    EXPECT_EQ(unheldCharacterMessage(QStringLiteral("a.tex"), *nul->unheld),
              QStringLiteral("Файл a.tex содержит невидимый знак U+0000 в строке 2, которого нет в "
                             "кодировке редактора."));
    EXPECT_EQ(decodeUtf8Document(utf8(u8"да\x1A"))->unheld->code, 0x1AU);
    EXPECT_EQ(utf16Message(QStringLiteral("a.tex")),
              QStringLiteral("Файл a.tex записан в кодировке UTF-16. Редактор открывает файлы в "
                             "кодировках CP866 и UTF-8."));
    // An unheld character followed by invalid bytes: the file is not UTF-8 at all.
    EXPECT_FALSE(decodeUtf8Document(utf8(u8"α ") + "\xFF"));
}

TEST(Utf8Document, EditedTextIsWrittenInTheKeptLayout) {
    const std::string text = cp1251(u"Ёж\nи «уж»");
    EXPECT_EQ(encodeUtf8Document(text, Utf8Layout{}), utf8(u8"Ёж\r\nи «уж»\r\n"));
    EXPECT_EQ(encodeUtf8Document(text, {true, LineEnd::Lf, false}), utf8(u8"\uFEFFЁж\nи «уж»"));
    EXPECT_EQ(encodeUtf8Document(text + "\n\n", {false, LineEnd::Cr, false}),
              utf8(u8"Ёж\rи «уж»\r\r"));
    // Every CP1251 byte but the line end comes back as itself.
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r' && b != 0x1A) all.push_back(static_cast<char>(b));
    EXPECT_EQ(decodeUtf8Document(encodeUtf8Document(all, {}))->text, all + "\n");
}
