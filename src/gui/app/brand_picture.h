// The program's own picture for the splash and the about box: a shaded relief of rings, as
// a grey picture becomes once it is milled. Drawn at run time, so nothing is borrowed.
#pragma once

#include <QPixmap>
#include <QSize>

namespace corvane::gui {

// The rings alone, centred (the about box).
QPixmap reliefEmblem(QSize size);

// The rings with the program's name beside them (the splash).
QPixmap brandPicture(QSize size);

} // namespace corvane::gui
