#pragma once
// The status file kept beside each document: its project link, whether the Smart Keyboard
// is on for it, and the caret position, one per line. The project link is held in the
// stored form of platform::storedPath: CP1251 when it can hold the name.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace document {

// What a status file gave, field by field: reading stops at the first number that is not
// one, and the fields read before it stay filled.
struct StatusRecord {
    std::optional<QString> mainFile;
    std::optional<bool> smartKeyboardOn;
    std::optional<int32_t> caret;
};

// Fills the record from a status file's bytes, in order; throws InvalidNumericInput at a
// number that cannot be read, leaving the fields read before it filled. A missing line
// reads as empty, a missing number as 0. Only the low byte of the second number counts.
void parseStatusFile(std::string_view bytes, StatusRecord& record);

// Reads the file (throws InOutError) and parses it as above.
void readStatusFile(const QString& path, StatusRecord& record);

// The three lines, each ended by CR LF.
std::string statusFileText(const QString& mainFile, bool smartKeyboardOn, int32_t caret);

} // namespace document
