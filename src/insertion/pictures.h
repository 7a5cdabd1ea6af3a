#pragma once
// The two pictures of the insertion aids, compiled into the program (pictures/*.png,
// drawn by tools/draw_pictures together with data/letters.grd and data/symbols.grd).
#include <QPixmap>

namespace insertion {

QPixmap letterPicture(); // 508 x 320
QPixmap symbolPicture(); // 552 x 404

} // namespace insertion
