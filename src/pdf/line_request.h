#pragma once
// "kolbax --line N FILE": the line number as the command line gives it, and the request
// that hands the file and the line to the editor already running, as it goes over the
// socket (instance_channel.h): "KOLBAX-LINE 1", the line, the absolute path in UTF-8, each
// ending in LF.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace pdf {

struct LineRequest {
    QString path;
    int32_t line = 1;
};

// The largest line a request may name: more than any document the editor holds has.
inline constexpr int32_t kMaxLine = 100'000'000;

// A line number of --line: decimal digits only (no sign, no blank), from 1 to kMaxLine.
std::optional<int32_t> parseLineNumber(const QString& text);
// The message for a number parseLineNumber refused.
QString lineNumberProblem(const QString& text);

// A request on the wire has at most this many bytes.
inline constexpr qsizetype kMaxRequestBytes = 16 * 1024;

QByteArray encodeRequest(const LineRequest& request);
// Null for anything but a whole, well-formed request with an absolute path.
std::optional<LineRequest> decodeRequest(const QByteArray& bytes);

} // namespace pdf
