// The frame's menu bar and tool bar: captions, icons, hints and the handlers behind them.
#include "gui/app/child_menus.h"
#include "gui/app/exception_hook.h"
#include "gui/app/frame.h"
#include "gui/app/tool_icons.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

using corvane::gui::toolIcon;

namespace {

QAction* addMenuItem(QMenu& menu, std::map<QString, QAction*>& items, const QString& name,
                     const QString& caption)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    items[name] = action;
    return action;
}

} // namespace

void TCorvaneFrame::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    QAction* item =
        addMenuItem(*file, menuItems_, QStringLiteral("New1"), QStringLiteral("&New Image"));
    item->setIcon(toolIcon(corvane::gui::IconNew));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::New1Click));
    item = addMenuItem(*file, menuItems_, QStringLiteral("Load1"), QStringLiteral("&Load Image"));
    item->setIcon(toolIcon(corvane::gui::IconOpen));
    item->setShortcut(corvane::gui::kLoadKey);
    // Also the frame's own: the key works while a child's menu bar stands in for the frame's.
    addAction(item);
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::Load1Click));
    // The mesh and DNC views register their file kinds, which enables these three.
    item = addMenuItem(*file, menuItems_, QStringLiteral("ImportDNCFile1"),
                       QStringLiteral("Import &DNC File"));
    item->setEnabled(false);
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::ImportDNCFile1Click));
    item = addMenuItem(*file, menuItems_, QStringLiteral("ImportDXFMesh1"),
                       QStringLiteral("&Import DXF Mesh"));
    item->setEnabled(false);
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::ImportDXFMesh1Click));
    item = addMenuItem(*file, menuItems_, QStringLiteral("ImportMesh1"),
                       QStringLiteral("Import &Mesh"));
    item->setEnabled(false);
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::ImportMesh1Click));
    file->addSeparator();
    item = addMenuItem(*file, menuItems_, QStringLiteral("SetPluginPath1"),
                       QStringLiteral("&Set Plugin Path"));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::SetPluginPath1Click));
    file->addSeparator();
    item = addMenuItem(*file, menuItems_, QStringLiteral("Exit1"), QStringLiteral("&Exit"));
    item->setShortcut(corvane::gui::kExitKey);
    addAction(item);
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::Exit1Click));

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    item = addMenuItem(*window, menuItems_, QStringLiteral("Tile1"), QStringLiteral("&Tile"));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::Tile1Click));
    item = addMenuItem(*window, menuItems_, QStringLiteral("Cascade1"), QStringLiteral("&Cascade"));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::Cascade1Click));

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    item = addMenuItem(*help, menuItems_, QStringLiteral("Contents1"), QStringLiteral("&Contents"));
    item->setIcon(toolIcon(corvane::gui::IconHelp));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::Contents1Click));
    help->addSeparator();
    item = addMenuItem(*help, menuItems_, QStringLiteral("CorvaneHomePage1"),
                       QStringLiteral("Corvane HomePage"));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::CorvaneHomePage1Click));
    help->addSeparator();
    item = addMenuItem(*help, menuItems_, QStringLiteral("About1"), QStringLiteral("&About"));
    connect(item, &QAction::triggered, this,
            corvane::gui::guardedCall(this, &TCorvaneFrame::About1Click));

    frameMenus_ = {file, window, help};
    for (QMenu* menu : frameMenus_)
        menuBar()->addMenu(menu);
}

void TCorvaneFrame::buildToolBar()
{
    auto* bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));

    auto add = [&](int number, corvane::gui::ToolIcon icon, const QString& hint,
                   void (TCorvaneFrame::*handler)()) {
        QAction* button = bar->addAction(toolIcon(icon), hint);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(number));
        button->setToolTip(hint);
        connect(button, &QAction::triggered, this, corvane::gui::guardedCall(this, handler));
        toolButtons_[number] = button;
    };
    add(1, corvane::gui::IconNew, QStringLiteral("New Image"), &TCorvaneFrame::New1Click);
    add(2, corvane::gui::IconOpen, QStringLiteral("Open Image"), &TCorvaneFrame::Load1Click);
    add(3, corvane::gui::IconSave, QStringLiteral("Save Image"), &TCorvaneFrame::ToolButton3Click);
    bar->addSeparator();
    add(4, corvane::gui::IconCut, QStringLiteral("Cut Image"), &TCorvaneFrame::ToolButton4Click);
    add(6, corvane::gui::IconCopy, QStringLiteral("Copy Image"), &TCorvaneFrame::ToolButton6Click);
    add(7, corvane::gui::IconPaste, QStringLiteral("Paste Image"),
        &TCorvaneFrame::ToolButton7Click);
    bar->addSeparator();
    add(10, corvane::gui::IconHelp, QStringLiteral("Help Contents"),
        &TCorvaneFrame::Contents1Click);
    bar->addSeparator();
}

QAction* TCorvaneFrame::ToolButton(int number) const
{
    const auto found = toolButtons_.find(number);
    return found == toolButtons_.end() ? nullptr : found->second;
}

QAction* TCorvaneFrame::MenuItem(const QString& name) const
{
    const auto found = menuItems_.find(name);
    return found == menuItems_.end() ? nullptr : found->second;
}
