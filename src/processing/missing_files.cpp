#include "processing/missing_files.h"

#include <QRegularExpression>
#include <array>
#include <string_view>

#include "processing/log_parser.h"

namespace processing {

std::optional<std::string> missingFileOf(const LogEntry& entry) {
    if (entry.kind != LogEntryKind::Error) return std::nullopt;
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 2> forms = {{
        {"LaTeX Error: File `", "' not found."},
        {"I can't find file `", "'."},
    }};
    const std::string_view message = entry.message;
    for (const auto& [lead, tail] : forms) {
        if (!message.starts_with(lead)) continue;
        const size_t end = message.find(tail, lead.size());
        if (end == std::string_view::npos || end == lead.size()) continue;
        return std::string(message.substr(lead.size(), end - lead.size()));
    }
    return std::nullopt;
}

bool isTexLiveFile(const QString& file) {
    return file.endsWith(QLatin1String(".sty")) || file.endsWith(QLatin1String(".cls"));
}

QString missingFileMessage(const QString& file, const QString& package) {
    if (!isTexLiveFile(file)) return QStringLiteral("Нет файла «%1»").arg(file);
    const QString kind =
        file.endsWith(QLatin1String(".cls")) ? QStringLiteral("класса") : QStringLiteral("пакета");
    QString message = QStringLiteral("Нет файла «%1»: %2 LaTeX нет в системе").arg(file, kind);
    if (!package.isEmpty())
        message += QStringLiteral(", он в пакете Debian %1 (apt install %1)").arg(package);
    return message;
}

QStringList aptFileArguments(const QString& file) {
    return {QStringLiteral("search"), QStringLiteral("-l"), QStringLiteral("-x"),
            QStringLiteral("/%1$").arg(QRegularExpression::escape(file))};
}

QString packageFromAptFile(const QString& output) {
    QString first;
    for (const QString& line : output.split(u'\n')) {
        const QString name = line.trimmed();
        static const QRegularExpression packageName(QStringLiteral("^[a-z0-9][a-z0-9+.-]+$"));
        if (!packageName.match(name).hasMatch()) continue;
        if (name.startsWith(QLatin1String("texlive-"))) return name;
        if (first.isEmpty()) first = name;
    }
    return first;
}

} // namespace processing
