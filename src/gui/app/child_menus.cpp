#include "gui/app/child_menus.h"

#include "gui/app/frame.h"
#include "gui/app/menu_items.h"
#include "gui/app/tool_icons.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace corvane::gui {

void addFrameItem(MenuItems& items, QMenu& menu, TCorvaneFrame& frame, const QString& name,
                  const QString& frameName)
{
    QAction* action = frame.MenuItem(frameName);
    menu.addAction(action);
    items.remember(name, action);
}

void addCloseAndExit(MenuItems& items, QMenu& file, QWidget& owner, TCorvaneFrame& frame,
                     std::function<void()> close)
{
    items.add(file, owner, QStringLiteral("Close1"), QStringLiteral("&Close"), std::move(close))
        ->setShortcut(kCloseKey);
    addFrameItem(items, file, frame, QStringLiteral("Exit1"), QStringLiteral("Exit1"));
}

void addZoomToFit(MenuItems& items, QMenu& view, QWidget& owner, std::function<void()> fit)
{
    items.add(view, owner, QStringLiteral("ZoomToFit1"), QStringLiteral("&Zoom to Fit"),
              std::move(fit))
        ->setShortcut(kZoomToFitKey);
}

QMenu* makeCopyMenu(MenuItems& items, QWidget& owner, std::function<void()> copy)
{
    auto* edit = new QMenu(QStringLiteral("&Edit"), &owner);
    QAction* item =
        items.add(*edit, owner, QStringLiteral("Copy1"), QStringLiteral("&Copy"), std::move(copy));
    item->setIcon(toolIcon(IconCopy));
    item->setShortcut(QKeySequence::Copy);
    return edit;
}

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
