// The mesh view's menu bar, which takes the place of the frame's while the view is active.
#include "gui/app/child_menus.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/tool_icons.h"
#include "gui/mesh/dxf_view.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

using corvane::gui::toolIcon;

QAction* TfrmDXFView::addItem(QMenu& menu, const QString& name, const QString& caption,
                              std::function<void()> handler)
{
    return items_.add(menu, *this, name, caption, std::move(handler));
}

QAction* TfrmDXFView::MenuItem(const QString& name) const
{
    return items_.find(name);
}

void TfrmDXFView::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addItem(*file, QStringLiteral("New1"), QStringLiteral("&New Image"), [this] {
        frame_.New1Click();
    })->setIcon(toolIcon(corvane::gui::IconNew));
    corvane::gui::addFrameItem(items_, *file, frame_, QStringLiteral("Load1"),
                               QStringLiteral("Load1"));
    addItem(*file, QStringLiteral("ImportDNCFile1"), QStringLiteral("Import &DNC File"), [this] {
        frame_.ImportDNCFile1Click();
    })->setEnabled(frame_.HasFileKind(QStringLiteral("dnc")));
    addItem(*file, QStringLiteral("ImportDXFMesh1"), QStringLiteral("&Import DXF Mesh"),
            [this] { frame_.ImportDXFMesh1Click(); });
    items_.remember(QStringLiteral("N1"), file->addSeparator());
    // Writing toolpaths needs regions, which Create > Toolpaths builds.
    addItem(*file, QStringLiteral("SaveDNC1"), QStringLiteral("Save D&NC"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDNC1Click));
    addItem(*file, QStringLiteral("SaveDXF1"), QStringLiteral("Save &DXF"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDXF1Click));
    items_.remember(QStringLiteral("N3"), file->addSeparator());
    corvane::gui::addCloseAndExit(items_, *file, *this, frame_, [this] { Close1Click(); });
    QMenu* edit = corvane::gui::makeCopyMenu(items_, *this, [this] { Copy1Click(); });

    auto* view = new QMenu(QStringLiteral("&View"), this);
    addItem(*view, QStringLiteral("Top1"), QStringLiteral("&Top"), [this] { Top1Click(); });
    addItem(*view, QStringLiteral("Isometric1"), QStringLiteral("&Isometric"),
            [this] { Isometric1Click(); });
    corvane::gui::addZoomToFit(items_, *view, *this, [this] { ZoomToFit1Click(); });
    items_.remember(QStringLiteral("N2"), view->addSeparator());
    QAction* mesh =
        addItem(*view, QStringLiteral("Mesh1"), QStringLiteral("&Mesh"), [this] { Mesh1Click(); });
    mesh->setCheckable(true);
    mesh->setChecked(true);
    QAction* toolpaths = addItem(*view, QStringLiteral("Toolpaths2"), QStringLiteral("&Tool&paths"),
                                 [this] { Toolpaths2Click(); });
    toolpaths->setCheckable(true);
    toolpaths->setChecked(true);

    auto* create = new QMenu(QStringLiteral("&Create"), this);
    items_.remember(QStringLiteral("Create1"), create->menuAction());
    addItem(*create, QStringLiteral("Toolpaths1"), QStringLiteral("Toolpaths"),
            [this] { ToolPaths1Click(); });

    menus_ = {file,
              edit,
              view,
              create,
              corvane::gui::makeWindowMenu(items_, *this, frame_),
              corvane::gui::makeHelpMenu(items_, *this, frame_)};
}
