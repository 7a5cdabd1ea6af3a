// TeX files in every encoding: which one a file is, its text, and the bytes saved back.
#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include "document/tex_document.h"
#include "document/tex_view.h"
#include "platform/errors.h"
#include "platform/recognition.h"
#include "platform/textfile.h"
#include "support/qt_print.h"

using namespace document;
using platform::TextEncoding;
using namespace std::string_literals;

namespace {

TexDocument read(const std::string& bytes, std::optional<TextEncoding> encoding = std::nullopt) {
    return readTexDocument(bytes, QStringLiteral("a.tex"), encoding);
}

QString refusal(const std::string& bytes, std::optional<TextEncoding> encoding = std::nullopt) {
    try {
        read(bytes, encoding);
    } catch (const platform::UnicodeRuntimeError& e) {
        return e.message();
    }
    return {};
}

// The bytes the document is saved as, its text walked as the editing control holds it.
std::string saved(const QString& text, TextEncoding encoding, const platform::FileLayout& layout) {
    const auto breaks = static_cast<size_t>(text.count(u'\n'));
    const platform::FileBytes bytes = writeTexDocument(
        [&text](auto&& character, auto&& lineBreak) {
            for (const QChar c : text)
                c == u'\n' ? lineBreak() : character(c.unicode());
        },
        static_cast<size_t>(text.size()) + breaks, encoding, layout);
    return std::string(bytes.bytes());
}

std::string saved(const TexDocument& doc) {
    return saved(doc.text, doc.encoding, doc.layout);
}

} // namespace

// Every golden file read and written back gives the bytes beside it: its lines, line ends,
// byte-order mark, padding and characters as its encoding keeps them.
TEST(TexDocument, GoldenFilesSaveAsExpected) {
    const QDir golden(QStringLiteral(KOLBAX_GOLDEN_FILES));
    const QStringList inputs = golden.entryList({QStringLiteral("*.tex")});
    ASSERT_GE(inputs.size(), 13);
    for (const QString& input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const std::string bytes = platform::readFileBytes(golden.filePath(input));
        QString expected = input;
        expected.replace(QStringLiteral(".tex"), QStringLiteral(".saved"));
        const TexDocument doc = read(bytes);
        EXPECT_EQ(platform::encodingOf(doc.encoding).inputenc,
                  input.section(u'-', 0, 0).toStdString() == "koi8"
                      ? "koi8-r"
                      : input.section(u'-', 0, 0).toStdString());
        EXPECT_EQ(saved(doc), platform::readFileBytes(golden.filePath(expected)));
    }
}

// One Russian text with markup in each encoding reads as the same text, in the same runs.
TEST(TexDocument, EveryEncodingGivesTheSameTextAndRuns) {
    const QString text = QStringLiteral("\\section{Введение} x $a_1$\nёЁ {}\\\\ Щука\n");
    const std::vector<platform::TextRun> runs = viewRuns(text);
    for (const platform::Encoding& encoding : platform::encodings()) {
        SCOPED_TRACE(encoding.name);
        std::string bytes = saved(text, encoding.id, platform::newFileLayout(encoding.id));
        const TexDocument doc = read(bytes, encoding.id);
        EXPECT_EQ(doc.text, text);
        EXPECT_EQ(saved(doc), bytes);
        const std::vector<platform::TextRun> again = viewRuns(doc.text);
        ASSERT_EQ(again.size(), runs.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(again[i].text, runs[i].text);
            EXPECT_EQ(again[i].charset, runs[i].charset);
        }
    }
}

TEST(TexDocument, WhichEncodingAFileIsIn) {
    const std::string utf8 = "\\section{Введение}\n";
    const std::string prose = "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!\r\n"; // "Привет, мир!"
    const std::string cp1251 = "\\usepackage[cp1251]{inputenc}\r\n" + prose;
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::optional<TextEncoding> contradicted;
    } cases[] = {
        {"plain ASCII\r\n", TextEncoding::Cp866, {}},
        {"\\usepackage[utf8]{inputenc}\n", TextEncoding::Utf8, {}},
        {"\\usepackage[T2A]{fontenc}\n\\usepackage[koi8-r]{inputenc}\n", TextEncoding::Koi8r, {}},
        {"% !TeX encoding = windows-1251\n\\usepackage[cp866]{inputenc}\n",
         TextEncoding::Cp1251,
         {}},
        // A commented-out declaration declares nothing.
        {"%\\usepackage[cp1251]{inputenc}\n", TextEncoding::Cp866, {}},
        {"\xEF\xBB\xBF", TextEncoding::Utf8, {}},
        {utf8, TextEncoding::Utf8, {}},
        // Declarations the bytes contradict give way to what the bytes are.
        {"\\usepackage[utf8]{inputenc}\n" + prose, TextEncoding::Cp1251, TextEncoding::Utf8},
        {"\\usepackage[cp1251]{inputenc}\n" + utf8, TextEncoding::Utf8, TextEncoding::Cp1251},
        {cp1251, TextEncoding::Cp1251, {}},
        // Two declarations that disagree: the one the bytes agree with, whichever it is; between
        // two code pages the one the letters read as. Few letters ("Ёлки") cannot tell.
        {"% !TeX encoding = UTF-8\n\\usepackage[cp1251]{inputenc}\n\xA8\xEB\xEA\xE8\n",
         TextEncoding::Cp1251,
         {}},
        {"% !TeX encoding = cp1251\n\\usepackage[utf8]{inputenc}\n" + utf8, TextEncoding::Utf8, {}},
        {"% !TeX encoding = KOI8-R\n" + cp1251 + prose + prose, TextEncoding::Cp1251, {}},
        {"% !TeX encoding = cp1251\n\\usepackage[koi8-r]{inputenc}\n\xA8\xEB\xEA\xE8\n",
         TextEncoding::Cp1251,
         {}},
        // Valid sequences and then a stray byte are no UTF-8.
        {"Я\xFF\r\n", TextEncoding::Cp866, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const TexDocument doc = read(c.bytes);
        EXPECT_EQ(doc.encoding, c.encoding);
        EXPECT_EQ(doc.contradictedDeclaration, c.contradicted);
    }
    EXPECT_EQ(read("a\n").layout.lineEnd, platform::LineEnd::Lf);
    EXPECT_EQ(read("a").layout, (platform::FileLayout{false, platform::LineEnd::CrLf, false, 0}));
}

TEST(TexDocument, RefusalsNameTheFile) {
    EXPECT_TRUE(refusal("\xFF\xFE"
                        "a\0"s)
                    .contains(QStringLiteral("UTF-16")));
    EXPECT_TRUE(refusal("\xFE\xFF\0a"s).startsWith(QStringLiteral("Файл a.tex")));
    EXPECT_EQ(
        refusal("\xCF\xF0\xE8", TextEncoding::Utf8),
        QStringLiteral("Файл a.tex не открыт в кодировке UTF-8: его байты не читаются в ней."));
    // Any character of a UTF-8 file is held, astral ones too.
    EXPECT_EQ(read("угол α, ö, 😀, 中\n").text, QStringLiteral("угол α, ö, 😀, 中\n"));
    EXPECT_THROW(read("a\0b"s), platform::RuntimeError);
    EXPECT_THROW(read("\\usepackage[utf8]{inputenc}\n\x1A"
                      "b"s),
                 platform::RuntimeError);
}

TEST(TexDocument, SavingRefusesACharacterTheEncodingLacks) {
    try {
        saved(QStringLiteral("Текст\n\nугол α\n"), TextEncoding::Koi8r,
              platform::newFileLayout(TextEncoding::Koi8r));
        FAIL() << "saved";
    } catch (const platform::UnheldCharacterError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("В тексте есть знак «α» (U+03B1) в строке 3, "
                                              "которого нет в кодировке KOI8-R."));
    }
    EXPECT_THROW(saved(QStringLiteral("\u00A0\u0301"), TextEncoding::Cp1251, {}),
                 platform::UnheldCharacterError);
    // A surrogate pair is one character; a lone surrogate none.
    EXPECT_EQ(saved(QStringLiteral("😀"), TextEncoding::Utf8, {false, platform::LineEnd::Lf, false}),
              "\xF0\x9F\x98\x80");
    EXPECT_THROW(saved(QString(QChar(0xD83D)), TextEncoding::Utf8, {}),
                 platform::UnheldCharacterError);
}

TEST(TexDocument, TheDeclarationsNameTheEncoding) {
    const struct {
        QString text;
        TextEncoding encoding;
        QString expected;
    } cases[] = {
        {QStringLiteral("\\usepackage[T2A]{fontenc}\n\\usepackage[cp866]{inputenc}\n"),
         TextEncoding::Utf8,
         QStringLiteral("\\usepackage[T2A]{fontenc}\n\\usepackage[utf8]{inputenc}\n")},
        {QStringLiteral("%\\usepackage[cp866]{inputenc}\n\\usepackage[ latin1, cp1251 ]{inputenc}"),
         TextEncoding::Koi8r,
         QStringLiteral(
             "%\\usepackage[cp866]{inputenc}\n\\usepackage[ latin1, koi8-r ]{inputenc}")},
        {QStringLiteral("no declaration"), TextEncoding::Utf8, QStringLiteral("no declaration")},
        // The magic comment too, in the same edit; one already naming it stays as it is.
        {QStringLiteral("% !TeX encoding = UTF-8\n\\usepackage[utf8]{inputenc}\nЁлки\n"),
         TextEncoding::Cp1251,
         QStringLiteral("% !TeX encoding = windows-1251\n\\usepackage[cp1251]{inputenc}\nЁлки\n")},
        {QStringLiteral("%!tex ENCODING=utf8 \n"), TextEncoding::Koi8r,
         QStringLiteral("%!tex ENCODING=KOI8-R \n")},
        {QStringLiteral("% !TeX encoding = cp1251\n"), TextEncoding::Cp1251,
         QStringLiteral("% !TeX encoding = cp1251\n")},
        {QStringLiteral("x % !TeX encoding = UTF-8\n% !TeX spellcheck = ru\n"), TextEncoding::Cp866,
         QStringLiteral("x % !TeX encoding = UTF-8\n% !TeX spellcheck = ru\n")},
        {QStringLiteral("% !TeX encoding = UTF-8\n"), TextEncoding::Cp866,
         QStringLiteral("% !TeX encoding = IBM866\n")},
    };
    for (const auto& c : cases) {
        QString text = c.text;
        EXPECT_EQ(setDeclaredEncoding(text, c.encoding), c.text != c.expected)
            << c.text.toStdString();
        EXPECT_EQ(text, c.expected);
        // What is written declares what it is written in.
        if (c.text != c.expected) {
            EXPECT_EQ(platform::declaredEncoding(text.toStdString()), c.encoding)
                << text.toStdString();
        }
    }
}
