// The picture window's menu bar, which takes the place of the frame's while the window is
// active: captions, shortcuts, icons and the handlers behind them.
#include "gui/app/frame.h"
#include "gui/app/tool_icons.h"
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
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    items_[name] = action;
    return action;
}

QAction* TfrmPicture::MenuItem(const QString& name) const
{
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void TfrmPicture::buildMenus()
{
    auto* file = new QMenu(QStringLiteral("&File"), this);
    addItem(*file, QStringLiteral("mnuNew"), QStringLiteral("&New Image"),
            [this] { mnuNewClick(); });
    addItem(*file, QStringLiteral("mnuLoad"), QStringLiteral("&Load Image"), [this] {
        mnuLoadClick();
    })->setIcon(toolIcon(corvane::gui::IconOpen));
    addItem(*file, QStringLiteral("ImportDNCFile1"), QStringLiteral("Import &DNC File"), [this] {
        ImportDNCFile1Click();
    })->setEnabled(frame_.HasFileKind(QStringLiteral("dnc")));
    addItem(*file, QStringLiteral("ImportDXFMesh1"), QStringLiteral("&Import DXF Mesh"), [this] {
        ImportDXFMesh1Click();
    })->setEnabled(frame_.HasFileKind(QStringLiteral("dxf")));
    file->addSeparator();
    addItem(*file, QStringLiteral("SetPluginPath1"), QStringLiteral("Set Plu&gin Path"),
            [this] { SetPluginPath1Click(); });
    addItem(*file, QStringLiteral("LoadPlugins1"), QStringLiteral("Load &Plugins"),
            [this] { LoadPlugins1Click(); });
    file->addSeparator();
    QAction* save = addItem(*file, QStringLiteral("mnuSave"), QStringLiteral("&Save"),
                            [this] { mnuSaveClick(); });
    save->setIcon(toolIcon(corvane::gui::IconSave));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(*file, QStringLiteral("mnuSaveAs"), QStringLiteral("Save &As"),
            [this] { mnuSaveAsClick(); });
    file->addSeparator();
    addItem(*file, QStringLiteral("mnuClose"), QStringLiteral("&Close"),
            [this] { mnuCloseClick(); });
    addItem(*file, QStringLiteral("mnuExit"), QStringLiteral("&Exit"), [this] { mnuExitClick(); });

    auto* edit = new QMenu(QStringLiteral("&Edit"), this);
    addItem(*edit, QStringLiteral("mnuUndo"), QStringLiteral("&Undo"), [this] {
        mnuUndoClick();
    })->setIcon(toolIcon(corvane::gui::IconUndo));
    edit->addSeparator();
    QAction* cut =
        addItem(*edit, QStringLiteral("mnuCut"), QStringLiteral("C&ut"), [this] { mnuCutClick(); });
    cut->setIcon(toolIcon(corvane::gui::IconCut));
    cut->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    addItem(*edit, QStringLiteral("mnuCopy"), QStringLiteral("&Copy"), [this] {
        mnuCopyClick();
    })->setIcon(toolIcon(corvane::gui::IconCopy));
    QAction* paste = addItem(*edit, QStringLiteral("mnuPaste"), QStringLiteral("&Paste"),
                             [this] { mnuPasteClick(); });
    paste->setIcon(toolIcon(corvane::gui::IconPaste));
    paste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    edit->addSeparator();
    addItem(*edit, QStringLiteral("mnuCrop"), QStringLiteral("C&rop"), [this] { mnuCropClick(); });

    QMenu* image = corvane::gui::buildImageMenu(this, items_);

    auto* create = new QMenu(QStringLiteral("&Create"), this);
    addItem(*create, QStringLiteral("DXFSurface1"), QStringLiteral("&DXF Surface"),
            [this] { DXFSurface1Click(); });
    addItem(*create, QStringLiteral("GCode1"), QStringLiteral("&G-Code"),
            [this] { GCode1Click(); });
    addItem(*create, QStringLiteral("RastertoDXF1"), QStringLiteral("&Raster to Vector"),
            [this] { RastertoDXF1Click(); });

    auto* window = new QMenu(QStringLiteral("&Window"), this);
    addItem(*window, QStringLiteral("Tile1"), QStringLiteral("&Tile"), [this] { Tile1Click(); });
    addItem(*window, QStringLiteral("Cascade1"), QStringLiteral("&Cascade"),
            [this] { Cascade1Click(); });
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
    addItem(*help, QStringLiteral("Contents1"), QStringLiteral("&Contents"), [this] {
        Contents1Click();
    })->setIcon(toolIcon(corvane::gui::IconHelp));
    addItem(*help, QStringLiteral("About1"), QStringLiteral("&About"), [this] { About1Click(); });

    menus_ = {file, edit, image, create, window, help};
}
