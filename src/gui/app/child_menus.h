// The menus and items every child window's menu bar shares: File's Close and Exit, an Edit
// menu with Copy, and the Window and Help menus. Exit, Window and Help show the frame's own
// actions. Their items go into the child's named items (Close1, Exit1, Copy1, Tile1,
// Cascade1, Contents1, About1).
#pragma once

#include <functional>

class QMenu;
class QWidget;

namespace corvane::gui {

class MenuItems;
class WindowFrame;

// The frame's New, Load, Import DNC and Import DXF items at the start of a File menu.
void addFrameFileItems(MenuItems& items, QMenu& file, WindowFrame& frame);
// Close (Ctrl+W) running `close`, then Exit, at the end of a File menu.
void addCloseAndExit(MenuItems& items, QMenu& file, QWidget& owner, WindowFrame& frame,
                     std::function<void()> close);
// An Edit menu whose one item, Copy (Ctrl+C), runs `copy`.
QMenu* makeCopyMenu(MenuItems& items, QWidget& owner, std::function<void()> copy);
QMenu* makeWindowMenu(MenuItems& items, QWidget& owner, WindowFrame& frame);
QMenu* makeHelpMenu(MenuItems& items, QWidget& owner, WindowFrame& frame);

} // namespace corvane::gui
