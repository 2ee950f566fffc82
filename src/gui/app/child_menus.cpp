#include "gui/app/child_menus.h"

#include "gui/app/frame.h"
#include "gui/app/menu_items.h"
#include "gui/app/tool_icons.h"

#include <QAction>
#include <QMenu>

namespace corvane::gui {

QMenu* makeWindowMenu(MenuItems& items, QWidget& owner, TCorvaneFrame& frame)
{
    auto* window = new QMenu(QStringLiteral("&Window"), &owner);
    items.add(*window, owner, QStringLiteral("Tile1"), QStringLiteral("&Tile"),
              [&frame] { frame.Tile1Click(); });
    items.add(*window, owner, QStringLiteral("Cascade1"), QStringLiteral("&Cascade"),
              [&frame] { frame.Cascade1Click(); });
    return window;
}

QMenu* makeHelpMenu(MenuItems& items, QWidget& owner, TCorvaneFrame& frame)
{
    auto* help = new QMenu(QStringLiteral("&Help"), &owner);
    items
        .add(*help, owner, QStringLiteral("Contents1"), QStringLiteral("&Contents"),
             [&frame] { frame.Contents1Click(); })
        ->setIcon(toolIcon(IconHelp));
    items.add(*help, owner, QStringLiteral("About1"), QStringLiteral("&About"),
              [&frame] { frame.About1Click(); });
    return help;
}

} // namespace corvane::gui
