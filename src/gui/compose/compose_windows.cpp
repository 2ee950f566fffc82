#include "gui/compose/compose_windows.h"

#include "gui/app/frame.h"
#include "gui/app/shared_state.h"
#include "gui/dnc/dnc_window.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/direction_dialog.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/relief/surface_dialog.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "imaging/picture_model.h"

namespace corvane::gui {

ComposedWindows composeWindows(TCorvaneFrame& frame)
{
    ComposedWindows made;
    made.toolpaths = new TfrmToolPaths(frame);
    made.direction = new TfrmDirection(&frame);

    WindowOpeners openers;
    // Each new window is owned by its sub-window, which frees both when the window closes.
    openers.newPicture = [&frame]() -> QWidget* { return NewPicture(frame); };
    openers.openPictureFile = [&frame](const QString& fileName) -> QWidget* {
        return OpenPictureFile(frame, fileName);
    };
    openers.openPicture = [&frame](imaging::Picture picture, const QString& caption) -> QWidget* {
        TfrmPicture* window = NewPicture(frame);
        window->TP->Model().assign(std::move(picture));
        window->SetCaption(caption);
        window->Modified = true; // made here, not read from a file: unsaved
        shared().PictureChanged = true;
        window->FitWindowToImage();
        window->TP->update();
        return window;
    };
    openers.openSurfaceDialog = [&frame] { new TDXF(frame); };
    openers.openMeshView = [&frame]() -> QWidget* { return new TfrmDXFView(frame); };
    // Mesh views are the one kind that asks for the toolpaths dialog.
    openers.showToolpathsDialog = [dialog = made.toolpaths](QWidget& view) {
        dialog->ShowFor(dynamic_cast<TfrmDXFView&>(view));
    };
    openers.meshViewClosing = [dialog = made.toolpaths](QWidget& view) {
        dialog->ViewClosing(dynamic_cast<TfrmDXFView&>(view));
    };
    // However it is closed, the command goes on with the direction it leaves.
    openers.chooseLightDirection = [dialog = made.direction] { dialog->exec(); };
    frame.SetOpeners(std::move(openers));

    for (const char* kind : {"dxf", "stl", "obj", "ply", "off", "3mf"})
        frame.RegisterFileKind(QString::fromLatin1(kind), OpenMeshFile);
    frame.RegisterFileKind(QStringLiteral("dnc"), OpenDncFile);
    return made;
}

} // namespace corvane::gui
