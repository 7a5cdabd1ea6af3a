#include "tabs/session_file.h"

#include <QByteArray>
#include <QList>
#include <charconv>

namespace tabs {
namespace {

constexpr std::string_view kCurrent = "current ";

// A whole non-negative decimal number, or -1.
int numberOf(std::string_view text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return -1;
    return value;
}

} // namespace

std::string sessionFileText(const Session& session) {
    std::string text = std::string(kCurrent) + std::to_string(session.current) + "\n";
    for (const SessionDocument& document : session.documents) {
        // A path holding a line break could not be read back as one line: it is left out.
        if (document.path.isEmpty() || document.path.contains(QLatin1Char('\n'))) continue;
        text += std::to_string(document.caret) + " " + document.path.toUtf8().toStdString() + "\n";
    }
    return text;
}

Session parseSessionFile(std::string_view bytes) {
    Session session;
    int current = 0;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes = end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with(kCurrent)) {
            current = std::max(numberOf(line.substr(kCurrent.size())), 0);
            continue;
        }
        const size_t blank = line.find(' ');
        if (blank == std::string_view::npos) continue;
        const int caret = numberOf(line.substr(0, blank));
        const std::string_view path = line.substr(blank + 1);
        if (caret < 0 || path.empty() || path.front() != '/') continue;
        session.documents.push_back(
            {QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())), caret});
    }
    const int count = static_cast<int>(session.documents.size());
    session.current = count == 0 ? 0 : std::min(current, count - 1);
    return session;
}

} // namespace tabs
