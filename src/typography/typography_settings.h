#pragma once
// What the user chose in "Типографика": the rules checked and the two forms of a fix. Kept
// in a file of the settings folder, one "name=value" a line; a missing or unreadable file, or
// a line not understood, leaves the defaults.
#include <QString>
#include <array>
#include <string>

#include "platform/text_encoding.h"
#include "typography/typography_rules.h"

namespace typography {

struct Settings {
    static constexpr const char* kFile = "typography.set";

    std::array<bool, kRules> rules{true, true, true, true, true};
    bool guillemets = true;    // « » in UTF-8 documents (8-bit ones always take << >>)
    bool thinInitials = false; // А.\,С.~Пушкин

    bool operator==(const Settings&) const = default;
    static Settings read(const QString& path);
    std::string text() const;
};

// The options a document's checks run with: its encoding decides whether « » may stand, its
// own use of the babel dash whether a dash fix takes it.
Options optionsFor(const Settings& settings, platform::TextEncoding encoding, bool babelDashes);

} // namespace typography
