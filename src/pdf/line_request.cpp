#include "pdf/line_request.h"

#include <QDir>
#include <QList>

namespace pdf {
namespace {

const QByteArray kMagic = QByteArrayLiteral("KOLBAX-LINE 1");

} // namespace

std::optional<int32_t> parseLineNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    int64_t value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    if (value < 1 || value > kMaxLine) return std::nullopt;
    return static_cast<int32_t>(value);
}

QString lineNumberProblem(const QString& text) {
    return QStringLiteral("номер строки должен быть целым числом от 1 до %1, а не «%2»")
        .arg(kMaxLine)
        .arg(text.left(40));
}

QByteArray encodeRequest(const LineRequest& request) {
    return kMagic + '\n' + QByteArray::number(request.line) + '\n' + request.path.toUtf8() + '\n';
}

std::optional<LineRequest> decodeRequest(const QByteArray& bytes) {
    if (bytes.size() > kMaxRequestBytes || !bytes.endsWith('\n')) return std::nullopt;
    const QList<QByteArray> parts = bytes.left(bytes.size() - 1).split('\n');
    if (parts.size() != 3 || parts[0] != kMagic) return std::nullopt;
    const std::optional<int32_t> line = parseLineNumber(QString::fromLatin1(parts[1]));
    if (!line) return std::nullopt;
    const QString path = QString::fromUtf8(parts[2]);
    // A path that is not valid UTF-8, has a NUL or is relative names no file of this user's.
    if (path.toUtf8() != parts[2] || parts[2].contains('\0') || !QDir::isAbsolutePath(path))
        return std::nullopt;
    return LineRequest{path, *line};
}

} // namespace pdf
