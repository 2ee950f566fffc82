// The picture window's menu bar, which takes the place of the frame's while the window is
// active: captions, shortcuts, icons and the handlers behind them.
#include "gui/app/child_menus.h"
#include "gui/app/exception_hook.h"
#include "gui/app/tool_icons.h"
#include "gui/app/window_frame.h"
#include "gui/picture/image_menu.h"
#include "gui/picture/picture_window.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>

using corvane::gui::toolIcon;

QAction* TfrmPicture::addItem(QMenu& menu, const QString& name, const QString& caption,
                              std::function<void()> handler)
{
    QAction* action = menu.addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, corvane::gui::guardedCall(std::move(handler)));
    items_[name] = action;
    return action;
}

void TfrmPicture::shareFrameItem(QMenu& menu, const QString& name, const QString& frameName)
{
    QAction* action = frame_.MenuItem(frameName);
    menu.addAction(action);
    items_[name] = action;
}

QAction* TfrmPicture::MenuItem(const QString& name) const
{
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void TfrmPicture::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    // The frame's own commands appear here as the frame's actions, so that their state
    // (an import enabled, a shortcut) is one and the same in both menu bars.
    shareFrameItem(*file, QStringLiteral("mnuNew"), QStringLiteral("New1"));
    shareFrameItem(*file, QStringLiteral("mnuLoad"), QStringLiteral("Load1"));
    shareFrameItem(*file, QStringLiteral("ImportDNCFile1"), QStringLiteral("ImportDNCFile1"));
    shareFrameItem(*file, QStringLiteral("ImportDXFMesh1"), QStringLiteral("ImportDXFMesh1"));
    shareFrameItem(*file, QStringLiteral("ImportMesh1"), QStringLiteral("ImportMesh1"));
    file->addSeparator();
    // Its own caption: "&S" belongs to Save in this menu.
    addItem(*file, QStringLiteral("SetPluginPath1"), QStringLiteral("Set Plu&gin Path"),
            [this] { frame_.SetPluginPath1Click(); });
    addItem(*file, QStringLiteral("LoadPlugins1"), QStringLiteral("Load &Plugins"),
            [this] { LoadPlugins1Click(); });
    file->addSeparator();
    QAction* save = addItem(*file, QStringLiteral("mnuSave"), QStringLiteral("&Save"),
                            [this] { mnuSaveClick(); });
    save->setIcon(toolIcon(corvane::gui::IconSave));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(*file, QStringLiteral("mnuSaveAs"), QStringLiteral("Save &As"),
            [this] { mnuSaveAsClick(); });
    addItem(*file, QStringLiteral("PictureInformation1"), QStringLiteral("Picture In&formation"),
            [this] { PictureInformation1Click(); });
    file->addSeparator();
    addItem(*file, QStringLiteral("mnuClose"), QStringLiteral("&Close"), [this] {
        mnuCloseClick();
    })->setShortcut(corvane::gui::kCloseKey);
    shareFrameItem(*file, QStringLiteral("mnuExit"), QStringLiteral("Exit1"));

    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    QAction* undo = addItem(*edit, QStringLiteral("mnuUndo"), QStringLiteral("&Undo"),
                            [this] { mnuUndoClick(); });
    undo->setIcon(toolIcon(corvane::gui::IconUndo));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addSeparator();
    QAction* cut =
        addItem(*edit, QStringLiteral("mnuCut"), QStringLiteral("C&ut"), [this] { mnuCutClick(); });
    cut->setIcon(toolIcon(corvane::gui::IconCut));
    cut->setShortcuts(
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), QKeySequence(Qt::CTRL | Qt::Key_X)});
    QAction* copy = addItem(*edit, QStringLiteral("mnuCopy"), QStringLiteral("&Copy"),
                            [this] { mnuCopyClick(); });
    copy->setIcon(toolIcon(corvane::gui::IconCopy));
    copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    QAction* paste = addItem(*edit, QStringLiteral("mnuPaste"), QStringLiteral("&Paste"),
                             [this] { mnuPasteClick(); });
    paste->setIcon(toolIcon(corvane::gui::IconPaste));
    paste->setShortcuts(
        {QKeySequence(Qt::SHIFT | Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_V)});
    edit->addSeparator();
    addItem(*edit, QStringLiteral("mnuCrop"), QStringLiteral("C&rop"), [this] { mnuCropClick(); });

    QMenu* image = corvane::gui::buildImageMenu(this, items_);
    wireImageMenu();

    auto* create = new QMenu(QStringLiteral("&Create"), this);
    addItem(*create, QStringLiteral("DXFSurface1"), QStringLiteral("&DXF Surface"),
            [this] { DXFSurface1Click(); });
    addItem(*create, QStringLiteral("GCode1"), QStringLiteral("&G-Code"),
            [this] { GCode1Click(); });
    addItem(*create, QStringLiteral("RastertoDXF1"), QStringLiteral("&Raster to Vector"),
            [this] { RastertoDXF1Click(); });

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    shareFrameItem(*window, QStringLiteral("Tile1"), QStringLiteral("Tile1"));
    shareFrameItem(*window, QStringLiteral("Cascade1"), QStringLiteral("Cascade1"));
    window->addSeparator();
    viewModes_ = new QActionGroup(this);
    viewModes_->setExclusive(true);
    auto addMode = [&](const QString& name, const QString& caption, std::function<void()> handler) {
        QAction* mode = addItem(*window, name, caption, std::move(handler));
        mode->setCheckable(true);
        viewModes_->addAction(mode);
        return mode;
    };
    addMode(QStringLiteral("Fit1"), QStringLiteral("&Fit Window"), [this] {
        Fit1Click();
    })->setChecked(true);
    addMode(QStringLiteral("FitPicture1"), QStringLiteral("Fit &Picture"),
            [this] { FitPicture1Click(); });
    addMode(QStringLiteral("UseScrollBars1"), QStringLiteral("Use &Scroll Bars"),
            [this] { UseScrollBars1Click(); });

    auto* help = new QMenu(QStringLiteral("&Help"), this);
    shareFrameItem(*help, QStringLiteral("Contents1"), QStringLiteral("Contents1"));
    shareFrameItem(*help, QStringLiteral("About1"), QStringLiteral("About1"));

    menus_ = {file, edit, image, create, window, help};
}
