#include "typography/typography_settings.h"

#include <QFile>

namespace typography {

Settings Settings::read(const QString& path) {
    Settings settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return settings;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed();
        const qsizetype equals = line.indexOf('=');
        if (equals < 0) continue;
        const QByteArray name = line.left(equals);
        const QByteArray value = line.mid(equals + 1);
        if (name == "rules" && value.size() == kRules) {
            for (int i = 0; i < kRules; ++i)
                settings.rules[static_cast<size_t>(i)] = value[i] != '0';
        } else if (name == "guillemets" && value.size() == 1) {
            settings.guillemets = value != "0";
        } else if (name == "thin_initials" && value.size() == 1) {
            settings.thinInitials = value != "0";
        }
    }
    return settings;
}

std::string Settings::text() const {
    std::string rulesText;
    for (const bool on : rules)
        rulesText += on ? '1' : '0';
    return "rules=" + rulesText + "\r\nguillemets=" + (guillemets ? "1" : "0") +
           "\r\nthin_initials=" + (thinInitials ? "1" : "0") + "\r\n";
}

Options optionsFor(const Settings& settings, platform::TextEncoding encoding, bool babelDashes) {
    Options options;
    options.rules = settings.rules;
    options.guillemets = settings.guillemets && encoding == platform::TextEncoding::Utf8;
    options.thinInitials = settings.thinInitials;
    options.babelDashes = babelDashes;
    return options;
}

} // namespace typography
