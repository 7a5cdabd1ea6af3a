#include "journal/journal_format.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>

#include "platform/codepage.h"
#include "platform/utf8.h"

namespace journal {
namespace {

constexpr std::string_view kMagic = "KolBAX journal 2\n";
constexpr std::string_view kFirstMagic = "KolBAX journal 1\n";
constexpr std::string_view kCheckKey = "crc32 ";

// Slicing-by-8 tables of the reflected polynomial 0xEDB88320.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int s = 1; s < 8; ++s)
            t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

constexpr CrcTables kCrc = makeCrcTables();

std::string encodingName(platform::TextEncoding encoding) {
    return std::string(platform::encodingOf(encoding).inputenc);
}

std::optional<platform::TextEncoding> encodingOfName(std::string_view name) {
    for (const platform::Encoding& encoding : platform::encodings())
        if (encoding.inputenc == name) return encoding.id;
    return std::nullopt;
}

constexpr std::array<std::string_view, 3> kLineEndNames = {"crlf", "lf", "cr"};

std::string layoutText(const platform::FileLayout& layout) {
    return std::string(kLineEndNames[static_cast<size_t>(layout.lineEnd)]) + " " +
           (layout.lastLineEnds ? "1 " : "0 ") + (layout.byteOrderMark ? "1 " : "0 ") +
           std::to_string(layout.endMarks);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The path line holds UTF-8; control bytes and "%" are written as %XX so the line stays one
// line of text whatever the name holds.
std::string escapedPath(const QString& path) {
    static const char digits[] = "0123456789ABCDEF";
    QByteArray utf8 = path.toUtf8();
    std::string out;
    out.reserve(static_cast<size_t>(utf8.size()));
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || byte == '%') {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

// The path of a path line; nullopt when it is not one that escapedPath writes for some
// path (a raw control byte, a bad escape, a NUL, bytes that are not UTF-8).
std::optional<QString> unescapedPath(std::string_view line) {
    std::string utf8;
    for (size_t i = 0; i < line.size(); ++i) {
        auto byte = static_cast<unsigned char>(line[i]);
        if (byte < 0x20 || byte == 0x7F) return std::nullopt;
        if (byte != '%') {
            utf8 += line[i];
            continue;
        }
        if (i + 2 >= line.size()) return std::nullopt;
        int high = hexValue(line[i + 1]), low = hexValue(line[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        char decoded = static_cast<char>(high * 16 + low);
        if (decoded == '\0') return std::nullopt;
        utf8 += decoded;
        i += 2;
    }
    if (!platform::utf8::isStrict(utf8)) return std::nullopt;
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// "crlf 1 0 0": the line end, the last line's end, the byte-order mark, the padding.
std::optional<platform::FileLayout> parseLayout(std::string_view text) {
    platform::FileLayout layout;
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const auto name = std::find(kLineEndNames.begin(), kLineEndNames.end(), text.substr(0, blank));
    if (name == kLineEndNames.end()) return std::nullopt;
    layout.lineEnd = static_cast<platform::LineEnd>(name - kLineEndNames.begin());
    text.remove_prefix(blank + 1);
    const auto flag = [&text](bool& value) {
        if (text.size() < 2 || (text[0] != '0' && text[0] != '1') || text[1] != ' ') return false;
        value = text[0] == '1';
        text.remove_prefix(2);
        return true;
    };
    if (!flag(layout.lastLineEnds) || !flag(layout.byteOrderMark)) return std::nullopt;
    if (text.empty() || text.size() > 10) return std::nullopt;
    std::uint64_t marks = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        marks = marks * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if ((text.size() > 1 && text[0] == '0') || marks > 0xFFFFFFFFu) return std::nullopt;
    layout.endMarks = static_cast<std::uint32_t>(marks);
    return layout;
}

// The text of a first-form journal (CP1251, CR LF line breaks) as the second form holds it.
std::string textOfFirstForm(std::string_view cp1251) {
    QString text = platform::fromCp1251(cp1251);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.toStdString();
}

// A decimal number without sign or leading zeros, at most limit.
std::optional<std::uint64_t> parseNumber(std::string_view text, std::uint64_t limit) {
    if (text.empty() || text.size() > 19 || (text.size() > 1 && text[0] == '0'))
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > limit) return std::nullopt;
    return value;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    std::int64_t era = y / 400;
    auto yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
    z += 719468;
    std::int64_t era = z / 146097;
    auto doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

constexpr std::int64_t kMsPerDay = 86400000;
// 10000-01-01T00:00:00.000Z: the first instant the four-digit year cannot hold.
constexpr std::int64_t kEndOfTime = 253402300800000;

// Splits off the next "key value\n" line; nullopt when the key differs or no line ends.
std::optional<std::string_view> takeField(std::string_view& rest, std::string_view key) {
    if (rest.substr(0, key.size()) != key || rest.size() <= key.size() || rest[key.size()] != ' ')
        return std::nullopt;
    size_t end = rest.find('\n', key.size() + 1);
    if (end == std::string_view::npos) return std::nullopt;
    std::string_view value = rest.substr(key.size() + 1, end - key.size() - 1);
    rest.remove_prefix(end + 1);
    return value;
}

} // namespace

std::uint32_t crc32(std::string_view bytes, std::uint32_t crc) {
    crc = ~crc;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    while (n >= 8) {
        std::uint32_t low = crc ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                   std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
        crc = kCrc[7][low & 0xFF] ^ kCrc[6][(low >> 8) & 0xFF] ^ kCrc[5][(low >> 16) & 0xFF] ^
              kCrc[4][low >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
        p += 8;
        n -= 8;
    }
    while (n-- > 0)
        crc = kCrc[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::string isoTimeUtc(std::int64_t ms) {
    if (ms < 0) ms = 0;
    if (ms >= kEndOfTime) ms = kEndOfTime - 1;
    std::int64_t days = ms / kMsPerDay, rest = ms % kMsPerDay;
    std::int64_t year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(days, year, month, day);
    char text[96]; // room for any int, so the compiler sees no truncation
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(year),
                  month, day, static_cast<int>(rest / 3600000), static_cast<int>(rest / 60000 % 60),
                  static_cast<int>(rest / 1000 % 60), static_cast<int>(rest % 1000));
    return text;
}

std::optional<std::int64_t> parseIsoTimeUtc(std::string_view t) {
    // YYYY-MM-DDTHH:MM:SS.mmmZ
    if (t.size() != 24 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || t[19] != '.' || t[23] != 'Z')
        return std::nullopt;
    auto field = [&](size_t at, size_t length) -> int {
        int value = 0;
        for (size_t i = at; i < at + length; ++i) {
            if (t[i] < '0' || t[i] > '9') return -1;
            value = value * 10 + (t[i] - '0');
        }
        return value;
    };
    int year = field(0, 4), month = field(5, 2), day = field(8, 2), hour = field(11, 2),
        minute = field(14, 2), second = field(17, 2), ms = field(20, 3);
    if (year < 1970 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59 || ms < 0)
        return std::nullopt;
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > monthDays[month - 1] || (month == 2 && day == 29 && !leap)) return std::nullopt;
    std::int64_t days =
        daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return days * kMsPerDay + hour * 3600000LL + minute * 60000LL + second * 1000LL + ms;
}

std::string serializeJournal(const JournalRecord& record) {
    std::string header;
    header += kMagic;
    header += "path " + escapedPath(record.path) + "\n";
    header += "encoding " + encodingName(record.encoding) + "\n";
    header += "layout " + layoutText(record.layout) + "\n";
    header += "written " + isoTimeUtc(record.writtenAtMs) + "\n";
    header += "caret " + std::to_string(record.caret < 0 ? 0 : record.caret) + "\n";
    header += "text " + std::to_string(record.text.size()) + "\n";

    std::string bytes;
    bytes.reserve(header.size() + record.text.size() + 32);
    bytes += header;
    bytes += record.text;
    bytes += '\n';
    char check[32];
    std::snprintf(check, sizeof check, "crc32 %08x\n", static_cast<unsigned>(crc32(bytes)));
    bytes += check;
    return bytes;
}

std::optional<JournalRecord> parseJournal(std::string_view bytes) {
    std::string_view rest = bytes;
    const bool firstForm = rest.starts_with(kFirstMagic);
    if (!firstForm && !rest.starts_with(kMagic)) return std::nullopt;
    rest.remove_prefix(kMagic.size());

    JournalRecord record;
    auto path = takeField(rest, "path");
    if (!path) return std::nullopt;
    auto decodedPath = unescapedPath(*path);
    if (!decodedPath) return std::nullopt;
    record.path = std::move(*decodedPath);

    auto encodingText = takeField(rest, "encoding");
    auto encoding = encodingText ? encodingOfName(*encodingText) : std::nullopt;
    // The first form knew two encodings.
    if (!encoding || (firstForm && *encoding != platform::TextEncoding::Cp866 &&
                      *encoding != platform::TextEncoding::Utf8))
        return std::nullopt;
    record.encoding = *encoding;

    if (firstForm) {
        // The layout was not kept then: a document's came back from its file.
        record.layout = platform::FileLayout{};
    } else {
        auto layoutLine = takeField(rest, "layout");
        auto layout = layoutLine ? parseLayout(*layoutLine) : std::nullopt;
        if (!layout) return std::nullopt;
        record.layout = *layout;
    }

    auto written = takeField(rest, "written");
    auto time = written ? parseIsoTimeUtc(*written) : std::nullopt;
    if (!time) return std::nullopt;
    record.writtenAtMs = *time;

    auto caretText = takeField(rest, "caret");
    auto caret = caretText ? parseNumber(*caretText, INT_MAX) : std::nullopt;
    if (!caret) return std::nullopt;
    record.caret = static_cast<int>(*caret);

    auto lengthText = takeField(rest, "text");
    auto length = lengthText ? parseNumber(*lengthText, kMaxJournalText) : std::nullopt;
    if (!length) return std::nullopt;

    // The text, its closing line break and the check line, and nothing after them.
    constexpr size_t kCheckLine = 6 + 8 + 1; // "crc32 " + 8 hex digits + "\n"
    if (rest.size() != *length + 1 + kCheckLine) return std::nullopt;
    std::string_view text = rest.substr(0, *length);
    std::string_view check = rest.substr(*length + 1);
    if (rest[*length] != '\n' || check.substr(0, kCheckKey.size()) != kCheckKey ||
        check.back() != '\n')
        return std::nullopt;
    std::uint32_t stored = 0;
    for (char c : check.substr(kCheckKey.size(), 8)) {
        // Lower-case hex digits only, as written.
        int digit = (c >= 'A' && c <= 'F') ? -1 : hexValue(c);
        if (digit < 0) return std::nullopt;
        stored = stored << 4 | static_cast<std::uint32_t>(digit);
    }
    if (crc32(bytes.substr(0, bytes.size() - kCheckLine)) != stored) return std::nullopt;
    if (firstForm) {
        record.text = textOfFirstForm(text);
    } else {
        if (!platform::utf8::isStrict(text)) return std::nullopt;
        record.text.assign(text);
    }
    return record;
}

} // namespace journal
