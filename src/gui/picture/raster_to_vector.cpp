// Create > Raster to Vector: the picture becomes the program's grid surface (one grid point
// per pixel, its height the darkness), and a "Vector Conversion" window opens on it with the
// toolpaths dialog.
#include "gui/app/hourglass.h"
#include "gui/app/long_run.h"
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/picture/picture_window.h"
#include "gui/picture/twisted_pixel.h"
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
    showStatus(QStringLiteral("Mapping 3D Grid... Please Wait..."));
    if (corvane::mesh::needsRebuild(shared().VectorGrid, shared().PictureChanged)) {
        FillHeightGrid(false);
        shared().VectorGridColumns = shared().HeightGrid.cols;
        shared().VectorGridRows = shared().HeightGrid.rows;
        // The run starts with no Esc left over from earlier work: it would stop the sort at
        // once, and an unsorted list makes slicing miss triangles without a word. A stop
        // marks the surface to be built again next time.
        corvane::gui::LongRun run(frame_);
        const corvane::gui::RunReport report = run.run([](corvane::RunControl& control) {
            return corvane::mesh::buildGridSurface(shared().VectorGrid, shared().HeightGrid,
                                                   control);
        });
        if (report.outcome != corvane::gui::RunOutcome::Completed)
            return;
    }
    QWidget* view = nullptr;
    {
        corvane::gui::Hourglass busy;
        shared().CurrentJob = corvane::gui::JobRasterToVector;
        view = frame_.OpenMeshView();
    }
    RecordTargetIndex();
    shared().TargetChildIndex -= 1;
    showStatus(QStringLiteral("Done..."));
    if (view)
        frame_.ShowToolpathsDialog(*view);
}
