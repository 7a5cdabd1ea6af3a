#include "document/tex_document.h"

#include <QFileInfo>

#include "document/tex_view.h"
#include "document/texts.h"
#include "platform/errors.h"
#include "platform/recognition.h"

namespace document {
namespace {

QString encodingName(platform::TextEncoding encoding) {
    const std::string_view name = platform::encodingOf(encoding).name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

[[noreturn]] void refuse(platform::DecodeRefusal refusal, const QString& fileName,
                         platform::TextEncoding encoding) {
    switch (refusal) {
    case platform::DecodeRefusal::NulByte:
        throw platform::RuntimeError(cp1251(kNulBytes));
    case platform::DecodeRefusal::TextAfterEndMark:
        throw platform::RuntimeError(cp1251(kTextAfterEndMark));
    default:
        throw platform::UnicodeRuntimeError(
            text(kNotInEncoding).arg(fileName, encodingName(encoding)));
    }
}

} // namespace

TexDocument readTexDocument(std::string_view bytes, const QString& fileName,
                            std::optional<platform::TextEncoding> encoding) {
    TexDocument result;
    if (encoding) {
        result.encoding = *encoding;
    } else {
        const platform::Recognition recognised = platform::recogniseEncoding(bytes);
        if (recognised.utf16) throw platform::UnicodeRuntimeError(text(kUtf16).arg(fileName));
        result.encoding = recognised.encoding;
        if (recognised.contradicted) result.contradictedDeclaration = recognised.declared;
    }
    platform::Decoding decoding = platform::decodeText(bytes, result.encoding);
    if (decoding.refusal != platform::DecodeRefusal::None)
        refuse(decoding.refusal, fileName, result.encoding);
    result.layout = decoding.decoded.layout;
    result.text = std::move(decoding.decoded.text);
    return result;
}

TexDocument readTexDocumentFile(const QString& path,
                                std::optional<platform::TextEncoding> encoding) {
    return readTexDocument(readDocumentBytes(path), QFileInfo(path).fileName(), encoding);
}

std::optional<TextSpan> inputEncodingOption(QStringView text) {
    const QLatin1StringView key("{inputenc}");
    const QLatin1StringView usePackage("\\usepackage");
    for (qsizetype at = text.indexOf(key); at >= 0; at = text.indexOf(key, at + 1)) {
        if (at == 0 || text[at - 1] != u']') continue;
        const qsizetype open = text.lastIndexOf(u'[', at - 1);
        if (open < usePackage.size() ||
            text.mid(open - usePackage.size(), usePackage.size()) != usePackage)
            continue;
        const qsizetype lineStart = text.lastIndexOf(u'\n', open) + 1;
        bool commented = false;
        for (qsizetype i = lineStart; i < open && !commented; ++i) {
            if (text[i] == u'\\')
                ++i;
            else
                commented = text[i] == u'%';
        }
        if (commented) continue;
        // The options, one by one: the first naming an encoding.
        for (qsizetype start = open + 1; start < at;) {
            qsizetype end = text.indexOf(u',', start);
            if (end < 0 || end > at - 1) end = at - 1;
            const QStringView raw = text.mid(start, end - start);
            qsizetype lead = 0;
            while (lead < raw.size() && raw[lead].isSpace())
                ++lead;
            const QStringView option = raw.mid(lead).trimmed();
            if (platform::encodingNamed(option.toString().toStdString()))
                return TextSpan{start + lead, option.size()};
            start = end + 1;
        }
    }
    return std::nullopt;
}

QString inputEncodingName(platform::TextEncoding encoding) {
    const std::string_view option = platform::encodingOf(encoding).inputenc;
    return QString::fromLatin1(option.data(), static_cast<qsizetype>(option.size()));
}

bool setInputEncoding(QString& text, platform::TextEncoding encoding) {
    const std::optional<TextSpan> option = inputEncodingOption(text);
    if (!option) return false;
    text.replace(option->start, option->length, inputEncodingName(encoding));
    return true;
}

} // namespace document
