// WindowFrame: what a child window or dialog may ask of the frame it lives in. Windows hold
// a WindowFrame&, never the frame's class, so that the frame (gui/app) knows no window
// folder and each window folder depends on gui/app alone plus the folders it really uses.
//
// The frame opens windows of other folders through WindowOpeners, handed to it once at
// start-up by the composition (gui/compose); an opener not handed over does nothing.
#pragma once

#include "gui/app/file_dialogs.h"
#include "gui/app/status_panels.h"
#include "imaging/picture.h"

#include <QList>
#include <QSize>
#include <QString>
#include <functional>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace corvane::gui {

// How the frame opens the windows of other folders (see compose_windows.h).
struct WindowOpeners {
    // An empty "New Picture" window, shown and active.
    std::function<QWidget*()> newPicture;
    // A picture window loading the file; closed again (null returned) when it did not load.
    std::function<QWidget*(const QString& fileName)> openPictureFile;
    // A new picture window handed the picture as an unsaved document under the caption
    // (a full file name it would be saved as), shown and active.
    std::function<QWidget*(imaging::Picture picture, const QString& caption)> openPicture;
    // The surface dialog for the job in CurrentJob over the height grid just filled.
    std::function<void()> openSurfaceDialog;
    // A new mesh view for the job in CurrentJob, shown and active.
    std::function<QWidget*()> openMeshView;
    // The one toolpaths dialog, shown for the mesh view.
    std::function<void(QWidget& meshView)> showToolpathsDialog;
    // The mesh view is closing: the toolpaths dialog hides if it serves that view.
    std::function<void(QWidget& meshView)> meshViewClosing;
    // The light direction dialog, modal; its choice goes to LightDirection.
    std::function<void()> chooseLightDirection;
};

class WindowFrame {
public:
    virtual ~WindowFrame() = default;

    // --- the status bar ---
    virtual TStatusPanels& StatusBar1() = 0;
    // "Ready..." in panel 0.
    virtual void ShowReady() = 0;

    // --- the area and its children ---
    virtual QMdiArea& MdiArea() = 0;
    // Places a child window (a QWidget, usually also a TChildWindow) in the frame, shows and
    // activates it. The sub-window frees itself and the content when closed.
    virtual QMdiSubWindow* AddChildWindow(QWidget* content) = 0;
    // Moves the child so that all of it shows in the area; when it is larger than the area,
    // the frame first grows (as far as the screen allows) to make room for it.
    virtual void KeepChildInside(QMdiSubWindow* window) = 0;
    // Sizes a 3D view to width x height, but no larger than the visible part of the area,
    // and moves it in from the right and bottom edges so that it shows whole.
    virtual void PlaceChildInside(QMdiSubWindow& window, int width, int height) = 0;
    // The room the area offers a child window.
    virtual QSize FreeAreaSize() const = 0;
    // Most recently active first: position 0 is the active child.
    virtual QList<QMdiSubWindow*> ChildWindows() const = 0;
    virtual QMdiSubWindow* ActiveChild() const = 0;

    // --- what windows share with the frame ---
    // The frame as a widget: the parent of top-level dialogs, the owner of timers, the icon.
    virtual QWidget& Widget() = 0;
    virtual TOpenDialog& OpenDialog1() = 0;
    virtual TSaveDialog& SaveDialog1() = 0;
    // The frame's own command of that name (New1, Load1, ImportDNCFile1, ImportDXFMesh1,
    // ImportMesh1, Exit1, Tile1, Cascade1, Contents1, About1, ...), for a child's menu bar to
    // show the very same action; null when there is none.
    virtual QAction* MenuItem(const QString& name) const = 0;
    // Save, Cut, Paste and Copy tool buttons off (true) or on (false).
    virtual void DisablePictureTools(bool disable) = 0;
    // What Esc does: the running job stops at its next checkpoint. The frame's key filter
    // calls it for the key; a Cancel button that stands for Esc calls it too. Nothing else
    // sets the Esc flag (see long_run.h).
    virtual void PressEscape() = 0;
    // Asks for the plug-in folder (into PluginPath).
    virtual void SetPluginPath1Click() = 0;

    // --- windows of other folders, through the openers ---
    virtual QWidget* NewPicture() = 0;
    virtual QWidget* OpenPictureFile(const QString& fileName) = 0;
    virtual QWidget* OpenPicture(imaging::Picture picture, const QString& caption) = 0;
    virtual void OpenSurfaceDialog() = 0;
    virtual QWidget* OpenMeshView() = 0;
    virtual void ShowToolpathsDialog(QWidget& meshView) = 0;
    virtual void MeshViewClosing(QWidget& meshView) = 0;
    virtual void ChooseLightDirection() = 0;
};

} // namespace corvane::gui
