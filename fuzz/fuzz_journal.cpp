// The recovery journal reader on any bytes; what it takes is written and read back alike.
// Each input is also read with its check line made right, so that mutations of the header
// and the text reach the reader's fields instead of stopping at the check.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "journal/journal_format.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void readAndWriteBack(std::string_view bytes) {
    std::optional<journal::JournalRecord> record = journal::parseJournal(bytes);
    if (!record) return;
    check(record->caret >= 0 && record->text.size() <= journal::kMaxJournalText);
    check(!record->path.contains(QChar(0)));
    check(journal::parseIsoTimeUtc(journal::isoTimeUtc(record->writtenAtMs)) ==
          record->writtenAtMs);
    std::string again = journal::serializeJournal(*record);
    check(journal::parseJournal(again) == record);
    // Only the escapes of the name may be written differently, and a journal of the first
    // form is written in the second.
    if (bytes.find('%') == std::string_view::npos && bytes.starts_with("KolBAX journal 2\n"))
        check(again == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    readAndWriteBack(bytes);

    std::string checked(bytes.substr(0, bytes.rfind("crc32 ")));
    char line[32];
    std::snprintf(line, sizeof line, "crc32 %08x\n",
                  static_cast<unsigned>(journal::crc32(checked)));
    readAndWriteBack(checked + line);
    return 0;
}
