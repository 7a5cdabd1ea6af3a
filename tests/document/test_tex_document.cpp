// TeX files in both encodings: which one a file is, its runs, and the bytes saved back.
#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include "document/tex_document.h"
#include "document/tex_view.h"
#include "platform/codepage.h"
#include "platform/cyrillic.h"
#include "platform/errors.h"
#include "platform/textfile.h"

using namespace document;
using platform::TextEncoding;
using namespace std::string_literals;

namespace {

TexDocument read(const std::string& bytes) {
    return readTexDocument(bytes, QStringLiteral("a.tex"));
}

QString refusal(const std::string& bytes) {
    try {
        read(bytes);
    } catch (const platform::UnicodeRuntimeError& e) {
        return e.message();
    }
    return {};
}

std::string joined(const std::vector<platform::TextRun>& runs) {
    std::string text;
    for (const auto& run : runs)
        text += run.text;
    return text;
}

// The bytes the document is saved as, its text walked as the editing control holds it.
std::string saved(const TexDocument& doc) {
    const QString text = platform::fromCp1251(joined(doc.runs));
    const auto breaks = static_cast<size_t>(text.count(u'\n'));
    const TexFileBytes bytes = writeTexDocument(
        [&text](auto&& character, auto&& lineBreak) {
            for (const QChar c : text)
                c == u'\n' ? lineBreak() : character(c.unicode());
        },
        static_cast<size_t>(text.size()) + breaks, doc.encoding, doc.layout);
    return std::string(bytes.bytes());
}

} // namespace

// Every golden file read and written back gives the bytes beside it: its lines, line ends,
// byte-order mark and letters as the encoding keeps them.
TEST(TexDocument, GoldenFilesSaveAsExpected) {
    const QDir golden(QStringLiteral(KOLBAX_GOLDEN_FILES));
    const QStringList inputs = golden.entryList({QStringLiteral("*.tex")});
    ASSERT_GE(inputs.size(), 9);
    for (const QString& input : inputs) {
        SCOPED_TRACE(input.toStdString());
        const std::string bytes = platform::readFileBytes(golden.filePath(input));
        QString expected = input;
        expected.replace(QStringLiteral(".tex"), QStringLiteral(".saved"));
        EXPECT_EQ(saved(read(bytes)), platform::readFileBytes(golden.filePath(expected)));
    }
}

// The same text in CP866 and in UTF-8 gives the same runs: Russian words and TeX markup
// apart, whatever the line ends.
TEST(TexDocument, Utf8TextGivesTheRunsOfTheSameTextInCp866) {
    const std::string cp1251 = "\\section{\xC2\xE2\xE5\xE4\xE5\xED\xE8\xE5} x $a_1$\n"
                               "\xB8\xA8 {}\\\\ \xFF\n";
    std::string cp866 = cp1251;
    platform::convertCp1251ToCp866(cp866);
    const std::string utf8 = "\\section{Введение} x $a_1$\r\nёЁ {}\\\\ я\r\n";

    const TexDocument doc = read(utf8);
    ASSERT_EQ(doc.encoding, TextEncoding::Utf8);
    const auto expected = readTexView(cp866);
    ASSERT_EQ(doc.runs.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(doc.runs[i].text, expected[i].text);
        EXPECT_EQ(doc.runs[i].charset, expected[i].charset);
    }
    // Typographic characters stay themselves, inside the run they stand in.
    EXPECT_EQ(joined(read("«а» — №\u00A0…\n").runs), "\xAB\xE0\xBB \x97 \xB9\xA0\x85\n");
}

TEST(TexDocument, WhichFilesAreUtf8) {
    EXPECT_EQ(read("plain ASCII\r\n").encoding, TextEncoding::Cp866);
    const TexDocument declared = read("\\usepackage[utf8]{inputenc}\n");
    EXPECT_EQ(declared.encoding, TextEncoding::Utf8);
    EXPECT_EQ(declared.layout.lineEnd, platform::LineEnd::Lf);
    EXPECT_EQ(read("\\usepackage[cp866]{inputenc}\r\n").encoding, TextEncoding::Cp866);
    // A byte-order mark alone is an empty UTF-8 document.
    const TexDocument bom = read("\xEF\xBB\xBF");
    EXPECT_EQ(bom.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(bom.layout.byteOrderMark);
    EXPECT_EQ(joined(bom.runs), "");
    // Valid sequences and then a stray byte: CP866, every byte kept.
    const TexDocument mixed = read("Я\xFF\r\n");
    EXPECT_EQ(mixed.encoding, TextEncoding::Cp866);
    EXPECT_EQ(joined(mixed.runs), joined(readTexView("Я\xFF\r\n")));
    // NUL in an ASCII file declaring UTF-8 is refused as in any CP866 file.
    EXPECT_THROW(read(std::string("\\usepackage[utf8]{inputenc}\0", 28)), platform::RuntimeError);
}

TEST(TexDocument, RefusalsNameTheFileAndTheCharacter) {
    EXPECT_TRUE(refusal("\xFF\xFE"
                        "a\0"s)
                    .contains(QStringLiteral("UTF-16")));
    EXPECT_TRUE(refusal("\xFE\xFF\0a"s).startsWith(QStringLiteral("Файл a.tex")));
    const QString alpha = refusal("Текст\r\n\r\nугол α\r\n");
    EXPECT_TRUE(alpha.contains(QStringLiteral("«α» (U+03B1) в строке 3"))) << alpha.toStdString();
}

TEST(TexDocument, TheTemplateTakesTheEncodingOfTheNewDocument) {
    const std::string tex = "\\usepackage[T2A]{fontenc}\r\n\\usepackage[cp866]{inputenc}\r\n";
    EXPECT_EQ(templateForEncoding(tex, TextEncoding::Cp866), tex);
    EXPECT_EQ(templateForEncoding(tex, TextEncoding::Utf8),
              "\\usepackage[T2A]{fontenc}\r\n\\usepackage[utf8]{inputenc}\r\n");
}
