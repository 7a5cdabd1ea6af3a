#include "support/data_folder.h"

#include <QDir>
#include <QFile>

namespace support {

QString sourceDataFolder() {
    return QStringLiteral(KOLBAX_SOURCE_DATA);
}

QString sourceDataFile(const char* name) {
    return sourceDataFolder() + QLatin1Char('/') + QLatin1String(name);
}

ProgramFolder::ProgramFolder() : dir(temporary_.path().toStdString()) {
    const QDir data(sourceDataFolder());
    for (const QString& name : data.entryList(QDir::Files))
        QFile::copy(data.filePath(name), temporary_.filePath(name));
}

} // namespace support
