// The context of every place in any line (its UTF-8 is the line): a completion's range holds
// the place and lies inside the line, its prefix is the text from the range's start to the
// place; a target's key is the text of its range and stands between its braces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "project/source_context.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString line =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const int length = static_cast<int>(line.size());
    for (int column = -1; column <= length + 1; ++column) {
        const project::CompletionContext context = project::completionContextAt(line, column);
        if (context.kind != project::CompletionKind::None) {
            check(0 <= context.start && context.start <= column && column <= context.end &&
                  context.end <= length);
            check(context.prefix == line.mid(context.start, column - context.start));
        }
        const project::PositionTarget target = project::targetAt(line, column);
        if (!target.IsEmpty()) {
            check(0 <= target.start && target.start < target.end && target.end <= length);
            if (!target.key.isEmpty())
                check(target.key == line.mid(target.start, target.end - target.start));
        }
    }
    return 0;
}
