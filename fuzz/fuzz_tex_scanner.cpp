// The project index's scanner on any text (the input's UTF-8): every place it gives lies
// inside its line and holds what it names, the lists of a float and its labels agree, and the
// root comment is read from any text without harm.
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "project/tex_scanner.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// The text at a place, checked to lie inside its line.
QString at(const QStringList& lines, const project::Place& place) {
    check(place.file == -1 && place.line >= 0 && place.line < lines.size());
    const QString& line = lines[place.line];
    check(place.column >= 0 && place.length >= 0 && place.column + place.length <= line.size());
    return line.mid(place.column, place.length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const project::FileIndex index = project::scanTex(text);
    const QStringList lines = text.split(u'\n');
    // A key broken over lines keeps its first line's place: only one-line keys are compared.
    for (const project::Label& label : index.labels)
        if (!label.key.contains(u'\n')) check(at(lines, label.at) == label.key);
    for (const project::Use& use : index.uses)
        if (!use.key.contains(u'\n')) check(at(lines, use.at) == use.key);
    for (const project::Definition& definition : index.definitions)
        if (!definition.name.contains(u'\n')) check(at(lines, definition.at) == definition.name);
    for (const project::Heading& heading : index.headings) {
        check(heading.level >= 0 && heading.level <= 6);
        check(heading.at.line >= 0 && heading.at.line < lines.size());
    }
    (void)project::magicRoot(text);
    return 0;
}
