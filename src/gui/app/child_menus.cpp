#include "gui/app/child_menus.h"

#include "gui/app/menu_items.h"
#include "gui/app/tool_icons.h"
#include "gui/app/window_frame.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace corvane::gui {

void addFrameFileItems(MenuItems& items, QMenu& file, WindowFrame& frame)
{
    for (const char* name : {"New1", "Load1", "ImportDNCFile1", "ImportDXFMesh1", "ImportMesh1"})
        items.share(file, QString::fromLatin1(name), frame.MenuItem(QString::fromLatin1(name)));
}

void addCloseAndExit(MenuItems& items, QMenu& file, QWidget& owner, WindowFrame& frame,
                     std::function<void()> close)
{
    items.add(file, owner, QStringLiteral("Close1"), QStringLiteral("&Close"), std::move(close))
        ->setShortcut(kCloseKey);
    items.share(file, QStringLiteral("Exit1"), frame.MenuItem(QStringLiteral("Exit1")));
}

void addZoomToFit(MenuItems& items, QMenu& view, QWidget& owner, std::function<void()> fit)
{
    items
        .add(view, owner, QStringLiteral("ZoomToFit1"), QStringLiteral("&Zoom to Fit"),
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

QMenu* makeWindowMenu(MenuItems& items, QWidget& owner, WindowFrame& frame)
{
    auto* window = new QMenu(QStringLiteral("&Window"), &owner);
    items.share(*window, QStringLiteral("Tile1"), frame.MenuItem(QStringLiteral("Tile1")));
    items.share(*window, QStringLiteral("Cascade1"), frame.MenuItem(QStringLiteral("Cascade1")));
    return window;
}

QMenu* makeHelpMenu(MenuItems& items, QWidget& owner, WindowFrame& frame)
{
    auto* help = new QMenu(QStringLiteral("&Help"), &owner);
    items.share(*help, QStringLiteral("Contents1"), frame.MenuItem(QStringLiteral("Contents1")));
    items.share(*help, QStringLiteral("About1"), frame.MenuItem(QStringLiteral("About1")));
    return help;
}

} // namespace corvane::gui
