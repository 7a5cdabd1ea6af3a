#include "project/project_model.h"

#include "project/project_files.h"

namespace project {

int Snapshot::FileIndexOf(const QString& path) const {
    const auto found = fileNumbers.constFind(path);
    if (found != fileNumbers.constEnd()) return *found;
    return fileNumbers.value(normalPath(path), -1);
}

} // namespace project
