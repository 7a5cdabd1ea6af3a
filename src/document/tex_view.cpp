#include "document/tex_view.h"

#include <QChar>
#include <array>

#include "document/texts.h"
#include "platform/charsets.h"
#include "platform/errors.h"
#include "platform/tex_characters.h"
#include "platform/text_encoding.h"
#include "platform/textfile.h"

namespace document {
namespace {

// What a character does in the view.
enum class CharacterClass : unsigned char { Plain, Cyrillic, Latin };

// Every UTF-16 unit's class, built once. Surrogates (characters beyond the Basic
// Multilingual Plane) are plain.
const std::array<CharacterClass, 65536>& characterClasses() {
    static const std::array<CharacterClass, 65536> classes = [] {
        std::array<CharacterClass, 65536> table{};
        for (size_t u = 0x80; u < table.size(); ++u) {
            const QChar ch(static_cast<char16_t>(u));
            if (!ch.isLetter() || ch.isSurrogate()) continue;
            table[u] = ch.script() == QChar::Script_Cyrillic ? CharacterClass::Cyrillic
                                                             : CharacterClass::Latin;
        }
        for (char c : platform::kTexMarkupLetters)
            table[static_cast<unsigned char>(c)] = CharacterClass::Latin;
        return table;
    }();
    return classes;
}

// Text before the first run opens is in the default look (set 0, no size); every run opened
// is of its set at 10 points, as the RTF the editor once showed files through gave them.
constexpr int kRunHalfPoints = 20;

} // namespace

std::vector<platform::TextRun> viewRuns(QStringView text) {
    const std::array<CharacterClass, 65536>& classes = characterClasses();
    std::vector<platform::TextRun> runs;
    qsizetype start = 0; // where the text of the run open now began
    int charset = platform::kLatinCharset;
    int halfPoints = 0;
    const auto close = [&](qsizetype end) {
        if (end > start)
            runs.push_back({text.mid(start, end - start).toString(), charset, false, false, false,
                            halfPoints, std::nullopt});
        start = end;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const CharacterClass c = classes[text[i].unicode()];
        if (c == CharacterClass::Plain) continue;
        const int wanted =
            c == CharacterClass::Cyrillic ? platform::kCyrillicCharset : platform::kLatinCharset;
        if (wanted == charset && halfPoints == kRunHalfPoints) continue;
        close(i);
        charset = wanted;
        halfPoints = kRunHalfPoints;
    }
    close(text.size());
    return runs;
}

std::vector<platform::TextRun> readTexView(std::string_view cp866Bytes) {
    platform::Decoding decoding = platform::decodeText(cp866Bytes, platform::TextEncoding::Cp866);
    switch (decoding.refusal) {
    case platform::DecodeRefusal::NulByte:
        throw platform::RuntimeError(cp1251(kNulBytes));
    case platform::DecodeRefusal::TextAfterEndMark:
        throw platform::RuntimeError(cp1251(kTextAfterEndMark));
    default:
        break;
    }
    return viewRuns(decoding.decoded.text);
}

std::string readDocumentBytes(const QString& path) {
    try {
        return platform::readFileBytes(path);
    } catch (const platform::NotRegularFileError&) {
        throw platform::RuntimeError(cp1251(kNotRegularFile));
    }
}

} // namespace document
