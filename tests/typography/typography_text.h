#pragma once
// Documents as the typography checks read them, for the tests: a text's lines checked in
// order, every mark fixed, and the markup a text holds.
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "typography/typography_rules.h"

namespace support {

inline platform::TextLine plainLine(const QString& text) {
    return {text, std::vector<bool>(static_cast<size_t>(text.size()), false)};
}

// Every mark of every line, line by line.
inline std::vector<std::vector<typography::Mark>> marksOfText(const QString& text,
                                                              const typography::Options& options) {
    std::vector<std::vector<typography::Mark>> marks;
    typography::LineState state;
    for (const QString& line : text.split(u'\n'))
        marks.push_back(typography::marksOf(plainLine(line), state, options));
    return marks;
}

// The text with every mark replaced by its fix.
inline QString fixedText(const QString& text, const typography::Options& options) {
    const QStringList lines = text.split(u'\n');
    const auto marks = marksOfText(text, options);
    QStringList fixed;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line;
        int from = 0;
        for (const typography::Mark& mark : marks[static_cast<size_t>(i)]) {
            line += lines[i].mid(from, mark.range.start - from) + mark.fix;
            from = mark.range.end();
        }
        fixed << line + lines[i].mid(from);
    }
    return fixed.join(u'\n');
}

// The characters of a text that are no prose, line by line; a "%" a fix ended a line with
// (tying the line break) left out.
inline QString markupOf(const QString& text) {
    QString markup;
    spelling::ScanState state;
    for (const QString& line : text.split(u'\n')) {
        const std::vector<platform::LineRange> prose = spelling::proseOf(plainLine(line), state);
        int from = 0;
        QString outside;
        for (const platform::LineRange& range : prose) {
            outside += line.mid(from, range.start - from);
            from = range.end();
        }
        outside += line.mid(from);
        if (line.endsWith(QLatin1String("~%")) && outside.endsWith(u'%')) outside.chop(1);
        markup += outside + u'\n';
    }
    return markup;
}

inline bool sameMarkup(const QString& a, const QString& b) {
    return markupOf(a) == markupOf(b);
}

inline QString temporaryFile(const QByteArray& bytes) {
    static QTemporaryDir dir;
    static int count = 0;
    const QString path = dir.filePath(QStringLiteral("file%1").arg(++count));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

} // namespace support
