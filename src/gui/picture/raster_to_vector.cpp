// Create > Raster to Vector: the picture becomes the program's grid surface (one grid point
// per pixel, its height the darkness), and a "Vector Conversion" window opens on it with the
// toolpaths dialog.
#include "gui/app/frame.h"
#include "gui/app/gui_run_control.h"
#include "gui/app/hourglass.h"
#include "gui/app/shared_state.h"
#include "gui/mesh/dxf_view.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
#include "gui/toolpaths/toolpaths_dialog.h"
#include "mesh/raster_grid.h"

#include <QMdiSubWindow>

using corvane::gui::shared;

void TfrmPicture::RastertoDXF1Click()
{
    if (!TP->HasImage())
        return;
    if (QMdiSubWindow* window = SubWindow()) {
        shared().SavedViewWidth = window->width();
        shared().SavedViewHeight = window->height();
    }
    TfrmDXFView* view = nullptr;
    {
        corvane::gui::Hourglass busy;
        showStatus(QStringLiteral("Mapping 3D Grid... Please Wait..."));
        // An Esc or Cancel left over from earlier work would stop the sort at once, and an
        // unsorted list makes slicing miss triangles without a word.
        shared().EscapePressed = false;
        if (corvane::mesh::needsRebuild(shared().VectorGrid, shared().PictureChanged)) {
            FillHeightGrid(false);
            shared().VectorGridColumns = shared().HeightGrid.cols;
            shared().VectorGridRows = shared().HeightGrid.rows;
            corvane::gui::GuiRunControl control(frame_.StatusBar1());
            if (!corvane::mesh::buildGridSurface(shared().VectorGrid, shared().HeightGrid,
                                                 control)) {
                // Esc during the sort: the surface is marked to be built again next time.
                shared().EscapePressed = false;
                showStatus(QStringLiteral("Process Cancelled..."));
                return;
            }
        }
        shared().CurrentJob = corvane::gui::JobRasterToVector;
        view = frame_.OpenMeshView();
    }
    RecordTargetIndex();
    shared().TargetChildIndex -= 1;
    showStatus(QStringLiteral("Done..."));
    frame_.frmToolPaths().ShowFor(*view);
}
