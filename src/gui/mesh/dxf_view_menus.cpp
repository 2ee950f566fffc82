// The mesh view's menu bar, which takes the place of the frame's while the view is active.
#include "gui/app/child_menus.h"
#include "gui/app/exception_hook.h"
#include "gui/app/window_frame.h"
#include "gui/mesh/dxf_view.h"

#include <QAction>
#include <QMenu>

void TfrmDXFView::buildMenus()
{
    QMenu* file = newMenu(QStringLiteral("&File"));
    corvane::gui::addFrameFileItems(items_, *file, frame_);
    addSeparator(*file, QStringLiteral("N1"));
    // Writing toolpaths needs regions, which Create > Toolpaths builds.
    addItem(*file, QStringLiteral("SaveDNC1"), QStringLiteral("Save D&NC"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDNC1Click));
    addItem(*file, QStringLiteral("SaveDXF1"), QStringLiteral("Save &DXF"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDXF1Click));
    addSeparator(*file, QStringLiteral("N3"));
    addCloseAndExit(*file);

    QMenu* view = newViewMenu();
    addSeparator(*view, QStringLiteral("N2"));
    QAction* mesh =
        addItem(*view, QStringLiteral("Mesh1"), QStringLiteral("&Mesh"), [this] { Mesh1Click(); });
    mesh->setCheckable(true);
    mesh->setChecked(true);
    QAction* toolpaths = addItem(*view, QStringLiteral("Toolpaths2"), QStringLiteral("&Tool&paths"),
                                 [this] { Toolpaths2Click(); });
    toolpaths->setCheckable(true);
    toolpaths->setChecked(true);

    QMenu* create = newMenu(QStringLiteral("&Create"));
    items_.remember(QStringLiteral("Create1"), create->menuAction());
    addItem(*create, QStringLiteral("Toolpaths1"), QStringLiteral("Toolpaths"),
            [this] { ToolPaths1Click(); });
    addItem(*create, QStringLiteral("DepthMap1"), QStringLiteral("&Depth Map"),
            corvane::gui::guardedCall(this, &TfrmDXFView::DepthMap1Click));

    setMenus({file, newCopyMenu(), view, create});
}
