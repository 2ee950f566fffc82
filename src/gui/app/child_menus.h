// The Window and Help menus that a child window's menu bar ends with: they run the frame's
// own commands, so every child offers them alike. Their items go into the child's named
// items (Tile1, Cascade1, Contents1, About1).
#pragma once

class QMenu;
class QWidget;
class TCorvaneFrame;

namespace corvane::gui {

class MenuItems;

QMenu* makeWindowMenu(MenuItems& items, QWidget& owner, TCorvaneFrame& frame);
QMenu* makeHelpMenu(MenuItems& items, QWidget& owner, TCorvaneFrame& frame);

} // namespace corvane::gui
