// The mesh view's menu bar, which takes the place of the frame's while the view is active.
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
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    items_[name] = action;
    return action;
}

QAction* TfrmDXFView::MenuItem(const QString& name) const
{
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void TfrmDXFView::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addItem(*file, QStringLiteral("New1"), QStringLiteral("&New Image"), [this] {
        frame_.New1Click();
    })->setIcon(toolIcon(corvane::gui::IconNew));
    addItem(*file, QStringLiteral("Load1"), QStringLiteral("&Load Image"), [this] {
        frame_.Load1Click();
    })->setIcon(toolIcon(corvane::gui::IconOpen));
    addItem(*file, QStringLiteral("ImportDNCFile1"), QStringLiteral("Import &DNC File"), [this] {
        frame_.ImportDNCFile1Click();
    })->setEnabled(frame_.HasFileKind(QStringLiteral("dnc")));
    addItem(*file, QStringLiteral("ImportDXFMesh1"), QStringLiteral("&Import DXF Mesh"),
            [this] { frame_.ImportDXFMesh1Click(); });
    items_[QStringLiteral("N1")] = file->addSeparator();
    // Writing toolpaths needs regions, which Create > Toolpaths builds.
    addItem(*file, QStringLiteral("SaveDNC1"), QStringLiteral("Save D&NC"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDNC1Click));
    addItem(*file, QStringLiteral("SaveDXF1"), QStringLiteral("Save &DXF"),
            corvane::gui::guardedCall(this, &TfrmDXFView::SaveDXF1Click));
    items_[QStringLiteral("N3")] = file->addSeparator();
    addItem(*file, QStringLiteral("Close1"), QStringLiteral("&Close"), [this] {
        Close1Click();
    })->setShortcut(QKeySequence::Close);
    addItem(*file, QStringLiteral("Exit1"), QStringLiteral("&Exit"), [this] { Exit1Click(); });

    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    QAction* copy =
        addItem(*edit, QStringLiteral("Copy1"), QStringLiteral("&Copy"), [this] { Copy1Click(); });
    copy->setIcon(toolIcon(corvane::gui::IconCopy));
    copy->setShortcut(QKeySequence::Copy);

    auto* view = new QMenu(QStringLiteral("&View"), this);
    addItem(*view, QStringLiteral("Top1"), QStringLiteral("&Top"), [this] { Top1Click(); });
    addItem(*view, QStringLiteral("Isometric1"), QStringLiteral("&Isometric"),
            [this] { Isometric1Click(); });
    items_[QStringLiteral("N2")] = view->addSeparator();
    QAction* mesh =
        addItem(*view, QStringLiteral("Mesh1"), QStringLiteral("&Mesh"), [this] { Mesh1Click(); });
    mesh->setCheckable(true);
    mesh->setChecked(true);
    QAction* toolpaths = addItem(*view, QStringLiteral("Toolpaths2"), QStringLiteral("&Tool&paths"),
                                 [this] { Toolpaths2Click(); });
    toolpaths->setCheckable(true);
    toolpaths->setChecked(true);

    auto* create = new QMenu(QStringLiteral("&Create"), this);
    items_[QStringLiteral("Create1")] = create->menuAction();
    addItem(*create, QStringLiteral("Toolpaths1"), QStringLiteral("Toolpaths"),
            [this] { ToolPaths1Click(); });

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    addItem(*window, QStringLiteral("Tile1"), QStringLiteral("&Tile"),
            [this] { frame_.Tile1Click(); });
    addItem(*window, QStringLiteral("Cascade1"), QStringLiteral("&Cascade"),
            [this] { frame_.Cascade1Click(); });

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    addItem(*help, QStringLiteral("Contents1"), QStringLiteral("&Contents"), [this] {
        frame_.Contents1Click();
    })->setIcon(toolIcon(corvane::gui::IconHelp));
    addItem(*help, QStringLiteral("About1"), QStringLiteral("&About"),
            [this] { frame_.About1Click(); });

    menus_ = {file, edit, view, create, window, help};
}
