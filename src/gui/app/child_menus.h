// The menus and items every child window's menu bar shares: File's Close and Exit, an Edit
// menu with Copy, and the Window and Help menus. Exit, Window and Help show the frame's own
// actions. Their items go into the child's named items (Close1, Exit1, Copy1, Tile1,
// Cascade1, Contents1, About1).
#pragma once

#include <QKeyCombination>
#include <functional>

class QMenu;
class QWidget;

namespace corvane::gui {

class MenuItems;
class WindowFrame;

// The shortcuts every window answers the same way: Load Image, Close (the active window) and
// Exit. Load Image and Exit are the frame's own actions, which the frame answers whichever
// window is active; each child's Close item carries the Close key.
inline constexpr QKeyCombination kLoadKey{Qt::CTRL | Qt::Key_O};
inline constexpr QKeyCombination kCloseKey{Qt::CTRL | Qt::Key_W};
inline constexpr QKeyCombination kExitKey{Qt::CTRL | Qt::Key_Q};
// Home: the whole drawing, centred, in a 3D window.
inline constexpr QKeyCombination kZoomToFitKey{Qt::Key_Home};

// The frame's New, Load, Import DNC and Import DXF items at the start of a File menu.
void addFrameFileItems(MenuItems& items, QMenu& file, WindowFrame& frame);
// Close (Ctrl+W) running `close`, then the frame's Exit (Ctrl+Q), at the end of a File menu.
void addCloseAndExit(MenuItems& items, QMenu& file, QWidget& owner, WindowFrame& frame,
                     std::function<void()> close);
// An Edit menu whose one item, Copy (Ctrl+C), runs `copy`.
QMenu* makeCopyMenu(MenuItems& items, QWidget& owner, std::function<void()> copy);
QMenu* makeWindowMenu(MenuItems& items, QWidget& owner, WindowFrame& frame);
QMenu* makeHelpMenu(MenuItems& items, QWidget& owner, WindowFrame& frame);
// "Zoom to Fit" (Home) running `fit`, at the end of a 3D window's View menu.
void addZoomToFit(MenuItems& items, QMenu& view, QWidget& owner, std::function<void()> fit);

} // namespace corvane::gui
