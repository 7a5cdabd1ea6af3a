#pragma once
// The recovery journal file: one document's unsaved text and where it belongs.
//
//   KolBAX journal 2\n
//   path /home/user/статья.bib\n       UTF-8; %XX for control bytes and "%"; empty: untitled
//   encoding koi8-r\n                  the file's encoding: cp866 | utf8 | cp1251 | koi8-r
//   layout lf 1 0 0\n                  its line end (crlf | lf | cr), whether its last line
//                                      ends (1 | 0), its byte-order mark (1 | 0), and the
//                                      0x1A bytes that pad it
//   written 2024-05-01T12:34:56.789Z\n  UTC
//   caret 1234\n                       as the control counts (a line break is two)
//   text 1000000\n                     the number of text bytes that follow
//   <text: the editor's text in UTF-8, "\n" ending a line>\n
//   crc32 89abcdef\n                   CRC-32 of every byte before this line
//
// The header is plain text a user can read; the reader is strict (fixed order, one form of
// each number) and takes a file only when the length and the check agree and nothing
// follows the check, so a truncated, torn or foreign file is refused, never half read.
// Journals of the first form ("KolBAX journal 1", written by earlier editors: no layout
// line, the path in characters CP1251 holds, the text in CP1251 with CR LF line breaks) are
// read too, as the same record.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace journal {

struct JournalRecord {
    QString path; // the document's full path; empty: untitled
    platform::TextEncoding encoding = platform::TextEncoding::Cp866;
    platform::FileLayout layout;
    std::int64_t writtenAtMs = 0; // UTC, milliseconds since 1970 (years 1970 to 9999)
    int caret = 0;                // >= 0
    std::string text;             // UTF-8; "\n" ends a line

    bool operator==(const JournalRecord&) const = default;
};

// The largest text a journal holds: the reader refuses a longer one and the store does not
// write one (the editor's own limit is far below).
inline constexpr std::size_t kMaxJournalText = 64u << 20;

std::string serializeJournal(const JournalRecord& record);

// The record of a whole journal file, or nullopt for anything else.
std::optional<JournalRecord> parseJournal(std::string_view bytes);

// The standard CRC-32 (as zlib computes it), continued from crc (0 to start).
std::uint32_t crc32(std::string_view bytes, std::uint32_t crc = 0);

// "2024-05-01T12:34:56.789Z" and back; nullopt for any other form or an impossible date.
std::string isoTimeUtc(std::int64_t msSinceEpoch);
std::optional<std::int64_t> parseIsoTimeUtc(std::string_view text);

} // namespace journal
