#pragma once
// Lets GoogleTest print QStrings (as UTF-8) in its failure messages.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
