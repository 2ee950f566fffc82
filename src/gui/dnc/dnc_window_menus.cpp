// The DNC view's menu bar, which takes the place of the frame's while the view is active.
#include "gui/app/child_menus.h"
#include "gui/app/frame.h"
#include "gui/app/tool_icons.h"
#include "gui/dnc/dnc_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

QAction* TfrmDnc::addItem(QMenu& menu, const QString& name, const QString& caption,
                          std::function<void()> handler)
{
    return items_.add(menu, *this, name, caption, std::move(handler));
}

QAction* TfrmDnc::MenuItem(const QString& name) const
{
    return items_.find(name);
}

void TfrmDnc::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addItem(*file, QStringLiteral("NewImage1"), QStringLiteral("&New Image"),
            [this] { NewImage1Click(); });
    corvane::gui::addFrameItem(items_, *file, frame_, QStringLiteral("LoadImage1"),
                               QStringLiteral("Load1"));
    addItem(*file, QStringLiteral("ImportDNCFile1"), QStringLiteral("Import &DNC File"),
            [this] { ImportDNCFile1Click(); });
    addItem(*file, QStringLiteral("ImportDXFMesh1"), QStringLiteral("&Import DXF Mesh"), [this] {
        ImportDXFMesh1Click();
    })->setEnabled(frame_.HasFileKind(QStringLiteral("dxf")));
    items_.remember(QStringLiteral("N1"), file->addSeparator());
    corvane::gui::addCloseAndExit(items_, *file, *this, frame_, [this] { Close1Click(); });

    auto* view = new QMenu(QStringLiteral("&View"), this);
    addItem(*view, QStringLiteral("Top1"), QStringLiteral("&Top"), [this] { Top1Click(); });
    addItem(*view, QStringLiteral("Isometric1"), QStringLiteral("&Isometric"),
            [this] { Isometric1Click(); });
    corvane::gui::addZoomToFit(items_, *view, *this, [this] { ZoomToFit1Click(); });
    items_.remember(QStringLiteral("N2"), view->addSeparator());
    addItem(*view, QStringLiteral("Simulate1"), QStringLiteral("&Simulate..."),
            [this] { Simulate1Click(); });

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    addItem(*window, QStringLiteral("Tile1"), QStringLiteral("&Tile"), [this] { Tile1Click(); });
    addItem(*window, QStringLiteral("Cascade1"), QStringLiteral("&Cascade"),
            [this] { Cascade1Click(); });

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    addItem(*help, QStringLiteral("Contents1"), QStringLiteral("&Contents"), [this] {
        Contents1Click();
    })->setIcon(corvane::gui::toolIcon(corvane::gui::IconHelp));
    addItem(*help, QStringLiteral("About1"), QStringLiteral("&About"), [this] { About1Click(); });

    menus_ = {file, view, window, help};
}
