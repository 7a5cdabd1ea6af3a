// The encodings of documents: which one a file's bytes are in, decoding them into the text
// and its layout, and writing them back.
#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <vector>

#include "platform/recognition.h"
#include "platform/text_encoding.h"
#include "platform/utf8.h"
#include "support/data_folder.h"
#include "support/qt_print.h"
#include "support/text.h"

using namespace platform;
using support::cp866;
using namespace std::string_literals;

namespace {

std::string bytesOf(std::u8string_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::string inEncoding(const QString& text, TextEncoding encoding, FileLayout layout = {}) {
    return std::string(writeText(text, encoding, layout).bytes());
}

} // namespace

TEST(Utf8Detection, Verdicts) {
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"", false},
        {"\\section{Intro}\r\n", false},
        {bytesOf(u8"\\section{Введение}\r\n"), true},
        {bytesOf(u8"Greek α is UTF-8"), true},
        {bytesOf(u8"pp. 1–10"), true},
        {"\xEF\xBB\xBF", true},
        {"\xEF\xBB\xBFplain", true},
        {"\xC0\x80", false},         // overlong NUL
        {"\xE0\x80\xAF", false},     // overlong "/"
        {"\xED\xA0\x80", false},     // surrogate
        {"\xF4\x90\x80\x80", false}, // above U+10FFFF
        {"\xD0\xB0\xD0", false},     // cut off at the end
        {bytesOf(u8"Введение ") + cp866(u"Введение"), false},
        {"\xEF\xBB\xBF" + cp866(u"Введение"), false},
        // Characters CP1251 lacks, made of bytes that are CP866 letters: one or two may be
        // CP866 words, four or more are not.
        {bytesOf(u8"x ≤ y"), false},
        {bytesOf(u8"x ≤ y ≤ z → ∞ ≥ 0"), true},
        {bytesOf(u8"emoji 😀"), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8::looksLikeUtf8(c.bytes), c.utf8) << c.bytes;
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
        return recogniseEncoding(w).encoding != TextEncoding::Cp866;
    });
    EXPECT_EQ(taken, 0) << "of " << words.size();
    for (const char16_t* text : {u"шаг чай", u"раз сам\r\n", u"\\section{сон}", u"ёлка тип шаг",
                                 u"светоотдачей", u"соотносивший регулировщик",
                                 u"Текст статьи. Формула набрана в математическом режиме."})
        EXPECT_EQ(recogniseEncoding(cp866(text)).encoding, TextEncoding::Cp866);

    QFile file(support::sourceDataFile("default.tex"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(recogniseEncoding(file.readAll().toStdString()).encoding, TextEncoding::Cp866);
}

// Russian prose in each 8-bit code page is told apart by its letters; a few letters that
// read as Russian in two code pages stay CP866.
TEST(EightBitDetection, RussianTextInEachCodePage) {
    const QString prose = QStringLiteral(
        "Пусть функция непрерывна на отрезке. Тогда из теоремы следует, что она ограничена "
        "и достигает своего наибольшего значения. Ёмкость множества равна нулю.");
    for (const TextEncoding encoding :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        EXPECT_EQ(guessEightBitEncoding(inEncoding(prose, encoding)), encoding);
        EXPECT_EQ(guessEightBitEncoding(inEncoding(prose.left(40), encoding)), encoding);
    }
    for (const char* name : {"тут", "Он", "", "рот и нос"})
        for (const TextEncoding encoding : {TextEncoding::Cp1251, TextEncoding::Koi8r})
            EXPECT_EQ(guessEightBitEncoding(inEncoding(QString::fromUtf8(name), encoding)),
                      TextEncoding::Cp866)
                << name;
}

TEST(Decoding, AcceptedFilesRoundTripByteForByteInEveryEncoding) {
    const QString russian = QStringLiteral("\\section{Введение} ёЁ");
    for (const Encoding& encoding : encodings()) {
        SCOPED_TRACE(encoding.name);
        const std::string line = inEncoding(russian, encoding.id, {false, LineEnd::Lf, false});
        const std::string files[] = {
            "",
            "\r\n",
            line + "\r\n" + line + "\r\n",
            line + "\n\n" + line + "\n",
            line + "\r" + line + "\r",
            line + "\r\n" + line,
            line + "\r\n\x1A\x1A",
        };
        for (const std::string& file : files) {
            const Decoding decoding = decodeText(file, encoding.id);
            ASSERT_EQ(decoding.refusal, DecodeRefusal::None) << file;
            EXPECT_FALSE(decoding.decoded.mixedLineEnds) << file;
            const FileBytes bytes =
                writeText(decoding.decoded.text, encoding.id, decoding.decoded.layout);
            EXPECT_EQ(bytes.bytes(), file);
        }
    }
    const Decoding bom = decodeText("\xEF\xBB\xBF" + bytesOf(u8"ж\n😀"), TextEncoding::Utf8);
    EXPECT_EQ(bom.decoded.text, QStringLiteral("ж\n😀"));
    EXPECT_EQ(bom.decoded.layout, (FileLayout{true, LineEnd::Lf, false, 0}));
    // Every byte of an 8-bit code page but NUL, the line ends and Ctrl+Z is a character.
    for (const TextEncoding encoding :
         {TextEncoding::Cp866, TextEncoding::Cp1251, TextEncoding::Koi8r}) {
        std::string all;
        for (int b = 1; b < 256; ++b)
            if (b != '\n' && b != '\r' && b != 0x1A) all.push_back(static_cast<char>(b));
        const Decoding decoding = decodeText(all, encoding);
        EXPECT_EQ(decoding.decoded.text.size(), static_cast<qsizetype>(all.size()));
        EXPECT_EQ(writeText(decoding.decoded.text, encoding, decoding.decoded.layout).bytes(), all);
    }
}

TEST(Decoding, MixedLineEndsKeepEveryLineAndTakeTheMostFrequentKind) {
    const Decoding mixed = decodeText("a\r\nb\nc\r\nd\re\r\n", TextEncoding::Cp1251);
    EXPECT_TRUE(mixed.decoded.mixedLineEnds);
    EXPECT_EQ(mixed.decoded.text, QStringLiteral("a\nb\nc\nd\ne\n"));
    EXPECT_EQ(mixed.decoded.layout.lineEnd, LineEnd::CrLf);
    // On a tie the first kind met wins; a CR before CR LF is a line end of its own.
    EXPECT_EQ(decodeText("a\nb\r\n", TextEncoding::Utf8).decoded.layout.lineEnd, LineEnd::Lf);
    EXPECT_EQ(decodeText("a\r\r\n", TextEncoding::Cp866).decoded.text, QStringLiteral("a\n\n"));
    // Without any line end a file takes its encoding's.
    EXPECT_EQ(decodeText("a", TextEncoding::Koi8r).decoded.layout.lineEnd, LineEnd::Lf);
    EXPECT_EQ(decodeText("a", TextEncoding::Cp866).decoded.layout.lineEnd, LineEnd::CrLf);
}

TEST(Decoding, Refusals) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
        DecodeRefusal refusal;
    } cases[] = {
        {"a\0b"s, TextEncoding::Cp866, DecodeRefusal::NulByte},
        {"a\x1A\x1A\0"s, TextEncoding::Cp1251, DecodeRefusal::NulByte},
        {"a\x1A"
         "b",
         TextEncoding::Koi8r, DecodeRefusal::TextAfterEndMark},
        {"a\x1A"
         "b",
         TextEncoding::Utf8, DecodeRefusal::TextAfterEndMark},
        {"\xFF", TextEncoding::Utf8, DecodeRefusal::NotUtf8},
        {"a\0\xFF"s, TextEncoding::Utf8, DecodeRefusal::NotUtf8},
        {"\xED\xA0\x80", TextEncoding::Utf8, DecodeRefusal::NotUtf8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeText(std::string_view(c.bytes.data(), c.bytes.size()), c.encoding).refusal,
                  c.refusal)
            << c.bytes;
}

TEST(Encodings, NamesAndCharactersHeld) {
    EXPECT_EQ(encodingNamed("UTF-8"), TextEncoding::Utf8);
    EXPECT_EQ(encodingNamed("Windows-1251"), TextEncoding::Cp1251);
    EXPECT_EQ(encodingNamed("koi8-r"), TextEncoding::Koi8r);
    EXPECT_EQ(encodingNamed("cp866nav"), TextEncoding::Cp866);
    EXPECT_EQ(encodingNamed("latin1"), std::nullopt);
    EXPECT_TRUE(holdsCharacter(TextEncoding::Utf8, 0x1F600));
    EXPECT_FALSE(holdsCharacter(TextEncoding::Utf8, 0));
    EXPECT_TRUE(holdsCharacter(TextEncoding::Cp866, U'╬'));
    EXPECT_FALSE(holdsCharacter(TextEncoding::Cp866, U'«'));
    EXPECT_TRUE(holdsCharacter(TextEncoding::Cp1251, U'«'));
    EXPECT_FALSE(holdsCharacter(TextEncoding::Koi8r, U'«'));
    EXPECT_EQ(firstUnheldCharacter(QStringLiteral("а\nб😀"), TextEncoding::Cp1251),
              (UnheldCharacter{0x1F600, 2}));
    EXPECT_EQ(characterForMessage(0x3B1), QStringLiteral("«α» (U+03B1)"));
    EXPECT_EQ(characterForMessage(0x301), QStringLiteral("U+0301"));
}
