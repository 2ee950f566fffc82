// Puts a picture dialog into the frame as a fixed-size child window with a single border and
// only the system menu, fully inside the visible area.
#pragma once

#include <QSize>

class QMdiSubWindow;
class QWidget;
class TCorvaneFrame;

namespace corvane::gui {

QMdiSubWindow* placePictureDialog(TCorvaneFrame& frame, QWidget& dialog, QSize clientArea);

} // namespace corvane::gui
