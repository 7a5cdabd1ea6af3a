#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/text_search.h"

#include <random>
#include <string>

using namespace platform;

namespace {

// The CP1251 texts of the tests as the control holds them.
std::u16string units(std::string_view cp1251) {
    const QString text = fromCp1251(cp1251);
    return std::u16string(reinterpret_cast<const char16_t*>(text.constData()),
                          static_cast<size_t>(text.size()));
}

// Serves a text from a position on in chunks of a given size, counting what it hands out.
class StringChunks : public ChunkSource {
  public:
    StringChunks(std::u16string text, size_t from, size_t chunk)
        : text_(std::move(text)), next_(from), chunk_(chunk) {}
    std::u16string_view nextChunk() override {
        if (next_ >= text_.size()) return {};
        const size_t count = std::min(chunk_, text_.size() - next_);
        const std::u16string_view piece(text_.data() + next_, count);
        next_ += count;
        served += count;
        return piece;
    }
    size_t served = 0;

  private:
    std::u16string text_;
    size_t next_;
    size_t chunk_;
};

int find(const std::string& text, std::string_view pattern, int from, int to, bool wholeWord,
         bool matchCase, size_t chunk = 3) {
    const std::u16string unicode = units(text);
    StringChunks source(unicode, static_cast<size_t>(from), chunk);
    const int before = from > 0 ? unicode[static_cast<size_t>(from - 1)] : -1;
    return findForward(source, from, to, before, units(pattern), wholeWord, matchCase);
}

std::string cp(const char16_t* text) {
    return toCp1251(QStringView(text));
}

} // namespace

TEST(TextSearch, MatchMustLieWhollyInsideTheRange) {
    const std::string text = "aaaa";
    EXPECT_EQ(find(text, "aa", 0, 4, false, true), 0);
    EXPECT_EQ(find(text, "aa", 1, 4, false, true), 1);
    EXPECT_EQ(find(text, "aa", 3, 4, false, true), -1);
    EXPECT_EQ(find(text, "aa", 0, 1, false, true), -1);
    EXPECT_EQ(find(text, "aa", 2, 2, false, true), -1);
    EXPECT_EQ(find(text, "", 0, 4, false, true), -1);
    EXPECT_EQ(find("abc", "abcd", 0, 3, false, true), -1);
}

TEST(TextSearch, CaseFoldsLatinAndCyrillicLettersIncludingYo) {
    const std::string text = cp(u"Ёлка и ЁЖ, abc ABC Щука");
    EXPECT_EQ(find(text, cp(u"ёлка"), 0, static_cast<int>(text.size()), false, false), 0);
    EXPECT_EQ(find(text, cp(u"ёлка"), 0, static_cast<int>(text.size()), false, true), -1);
    EXPECT_EQ(find(text, cp(u"ёж"), 0, static_cast<int>(text.size()), false, false), 7);
    EXPECT_EQ(find(text, cp(u"щУКА"), 0, static_cast<int>(text.size()), false, false), 19);
    EXPECT_EQ(find(text, "Abc", 0, static_cast<int>(text.size()), false, false), 11);
    EXPECT_EQ(find(text, "ABC", 0, static_cast<int>(text.size()), false, true), 15);
    // Folding does not make different letters equal: е is not ё.
    EXPECT_EQ(find(text, cp(u"елка"), 0, static_cast<int>(text.size()), false, false), -1);
}

TEST(TextSearch, WholeWordsAreBoundedByNonLetters) {
    const std::string text = cp(u"abcd abc xабв абв_1 \\alpha2 \\alpha x\\alpha");
    const int end = static_cast<int>(text.size());
    EXPECT_EQ(find(text, "abc", 0, end, true, true), 5);
    EXPECT_EQ(find(text, cp(u"абв"), 0, end, true, true), 14);
    // A word at the end of the range still looks at the text after the range.
    EXPECT_EQ(find(text, "ab", 5, 7, true, true), -1);
    // A pattern that starts with a non-letter needs no boundary before it.
    EXPECT_EQ(find(text, "\\alpha", 0, end, true, true), 28);
    EXPECT_EQ(find(text, "\\alpha", 29, end, true, true), 36);
    // The byte before the start position counts for the first candidate.
    EXPECT_EQ(find(text, "bcd", 1, end, true, true), -1);
    EXPECT_EQ(find(text, "abc", 5, end, true, true), 5);
}

TEST(TextSearch, AgreesWithAPlainScanWhateverTheChunkSize) {
    std::mt19937 random(7);
    const std::string alphabet = "aAbB " + cp(u"яЯёЁ") + "\r\n";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        std::string pattern;
        const int patternLength = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < patternLength; ++i)
            pattern += alphabet[random() % 6];
        const int from = length ? static_cast<int>(random() % (length + 1)) : 0;
        const int to = from + static_cast<int>(random() % (length - from + 1));
        const bool matchCase = random() % 2;
        int expected = -1;
        for (int p = from; p + patternLength <= to && expected < 0; ++p) {
            bool equal = true;
            for (int k = 0; k < patternLength && equal; ++k) {
                auto a = static_cast<unsigned char>(text[static_cast<size_t>(p + k)]);
                auto b = static_cast<unsigned char>(pattern[static_cast<size_t>(k)]);
                equal = matchCase ? a == b : upperCaseCp1251(a) == upperCaseCp1251(b);
            }
            if (equal) expected = p;
        }
        for (size_t chunk : {size_t{1}, size_t{4}, size_t{100}})
            ASSERT_EQ(find(text, pattern, from, to, false, matchCase, chunk), expected)
                << "text '" << text << "' pattern '" << pattern << "' " << from << ".." << to;
    }
}

TEST(TextSearch, ReadsOnlyAsFarAsTheMatch) {
    std::string text(1000000, 'x');
    text.replace(10, 3, "key");
    StringChunks source(units(text), 0, 64);
    EXPECT_EQ(findForward(source, 0, static_cast<int>(text.size()), -1, u"key", false, true), 10);
    EXPECT_LE(source.served, 128u);
}
