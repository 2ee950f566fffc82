// What every picture dialog (adjustment, texture shade, resize) shares: its place in the
// frame, a fixed-size child window with a single border and only the system menu, fully
// inside the visible area; its keys, as in a dialog box; and how it closes.
//
// Such a dialog works on the picture window it was opened for, whichever window the user
// clicks afterwards: its title names that window's file (and follows a Save As), and it
// closes when that window closes, so it can never act on another document.
#pragma once

#include <QSize>

class QKeyEvent;
class QMdiSubWindow;
class QPushButton;
class QWidget;
class TfrmPicture;
namespace corvane::gui {
class WindowFrame;
}

namespace corvane::gui {

QMdiSubWindow* placePictureDialog(WindowFrame& frame, QWidget& dialog, QSize clientArea,
                                  TfrmPicture& target);

// Enter presses `enterButton` (the default button; none when null), Esc presses
// `escButton`. True when the key was one of them.
bool pressDialogKey(const QKeyEvent& event, QPushButton* enterButton, QPushButton* escButton);

// Closes the dialog with the child window around it.
void closePictureDialog(QWidget& dialog);

} // namespace corvane::gui
