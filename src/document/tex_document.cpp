#include "document/tex_document.h"

#include <QFileInfo>
#include <algorithm>

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

std::optional<TextSpan> magicCommentName(QStringView text) {
    const QLatin1StringView key("!tex encoding");
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    for (qsizetype at = text.indexOf(u'%'); at >= 0; at = text.indexOf(u'%', at + 1)) {
        if (at > 0 && text[at - 1] != u'\n') continue;
        qsizetype i = at + 1;
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (!text.mid(i).startsWith(key, Qt::CaseInsensitive)) continue;
        i += key.size();
        while (i < text.size() && isBlank(text[i]))
            ++i;
        if (i >= text.size() || text[i] != u'=') continue;
        ++i;
        while (i < text.size() && isBlank(text[i]))
            ++i;
        qsizetype end = i;
        while (end < text.size() && !isBlank(text[end]) && text[end] != u'\n')
            ++end;
        if (platform::encodingNamed(text.mid(i, end - i).toString().toStdString()))
            return TextSpan{i, end - i};
    }
    return std::nullopt;
}

QString magicCommentEncodingName(platform::TextEncoding encoding) {
    switch (encoding) {
    case platform::TextEncoding::Cp866:
        return QStringLiteral("IBM866");
    case platform::TextEncoding::Cp1251:
        return QStringLiteral("windows-1251");
    case platform::TextEncoding::Koi8r:
        return QStringLiteral("KOI8-R");
    case platform::TextEncoding::Utf8:
        break;
    }
    return QStringLiteral("UTF-8");
}

std::vector<DeclarationChange> declarationChanges(QStringView text,
                                                  platform::TextEncoding encoding) {
    std::vector<DeclarationChange> changes;
    const auto names = [&](const TextSpan& span) {
        return platform::encodingNamed(
                   text.mid(span.start, span.length).toString().toStdString()) == encoding;
    };
    if (const auto magic = magicCommentName(text); magic && !names(*magic))
        changes.push_back({*magic, magicCommentEncodingName(encoding)});
    // An option naming the encoding under another name ("CP1251") takes the usual one.
    const QString option = inputEncodingName(encoding);
    if (const auto inputenc = inputEncodingOption(text);
        inputenc && text.mid(inputenc->start, inputenc->length) != option)
        changes.push_back({*inputenc, option});
    std::sort(changes.begin(), changes.end(),
              [](const auto& a, const auto& b) { return a.span.start < b.span.start; });
    return changes;
}

bool setDeclaredEncoding(QString& text, platform::TextEncoding encoding) {
    const std::vector<DeclarationChange> changes = declarationChanges(text, encoding);
    for (auto change = changes.rbegin(); change != changes.rend(); ++change)
        text.replace(change->span.start, change->span.length, change->name);
    return !changes.empty();
}

int maxDocumentLength(platform::TextEncoding encoding) {
    return encoding == platform::TextEncoding::Cp866 ? kCp866DocumentLength : kLargeDocumentLength;
}

platform::LineLimits savedLineLimits(platform::TextEncoding encoding) {
    if (encoding == platform::TextEncoding::Cp866)
        return platform::LineLimits{kMaxSavedLines, kMaxSavedLineLength};
    return platform::LineLimits{};
}

} // namespace document
