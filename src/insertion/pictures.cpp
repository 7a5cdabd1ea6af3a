#include "insertion/pictures.h"

#include <QDir>

// The resource lives in a static library: register it explicitly.
static void registerPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace insertion {

namespace {

QPixmap load(const char* path) {
    registerPictures();
    return QPixmap(QString::fromLatin1(path));
}

} // namespace

QPixmap letterPicture() {
    return load(":/insertion/letters.png");
}
QPixmap symbolPicture() {
    return load(":/insertion/symbols.png");
}

} // namespace insertion
