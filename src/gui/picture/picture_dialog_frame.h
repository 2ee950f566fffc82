// Puts a picture dialog into the frame as a fixed-size child window with a single border and
// only the system menu, fully inside the visible area.
//
// Such a dialog works on the picture window it was opened for, whichever window the user
// clicks afterwards: its title names that window's file (and follows a Save As), and it
// closes when that window closes, so it can never act on another document.
#pragma once

#include <QSize>

class QMdiSubWindow;
class QWidget;
class TCorvaneFrame;
class TfrmPicture;

namespace corvane::gui {

QMdiSubWindow* placePictureDialog(TCorvaneFrame& frame, QWidget& dialog, QSize clientArea,
                                  TfrmPicture& target);

} // namespace corvane::gui
