// The recovery journal reader on any bytes; what it takes is written and read back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/journal_format.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::optional<app::JournalRecord> record = app::parseJournal(bytes);
    if (!record) return 0;
    check(record->caret >= 0 && record->text.size() <= app::kMaxJournalText);
    check(record->path.find('\0') == std::string::npos);
    check(app::parseIsoTimeUtc(app::isoTimeUtc(record->writtenAtMs)) == record->writtenAtMs);
    std::string again = app::serializeJournal(*record);
    check(app::parseJournal(again) == record);
    // Only the escapes of the name may be written differently.
    if (bytes.find('%') == std::string_view::npos) check(again == bytes);
    return 0;
}
