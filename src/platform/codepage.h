#pragma once
// The Windows Cyrillic code page (CP1251), the editor's own characters: its typing layouts,
// data files, messages and stored names; and its mapping to Unicode.
#include <QString>
#include <string>
#include <string_view>

namespace platform {

// The Unicode character of a CP1251 byte (0x98, unassigned, maps to U+0098).
char16_t cp1251ToUnicode(unsigned char byte);

// The CP1251 byte of a Unicode character; false when CP1251 has no such character.
bool unicodeToCp1251(char16_t ch, unsigned char& byte);

// The upper-case form of a CP1251 letter (Latin and Cyrillic, ё/Ё included); other bytes
// are returned unchanged.
unsigned char upperCaseCp1251(unsigned char byte);

QString fromCp1251(std::string_view bytes);

// Characters that CP1251 lacks become "?".
std::string toCp1251(QStringView text);

// A path held in CP1251 (as the editor state holds names) in the form the file system takes.
QString fsPath(const std::string& cp1251Path);

// A file-system path as the editor state holds it.
std::string fromFsPath(const QString& path);

} // namespace platform
