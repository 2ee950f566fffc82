// The mesh view's regions: the toolpaths dialog's Create, Undo and Clear act here, the
// builder itself is the core's; this file only connects it to the panel and the status bar.
#include "gui/app/shared_state.h"
#include "gui/app/window_frame.h"
#include "gui/draw3d/draw3d_panel.h"
#include "gui/mesh/dxf_view.h"

#include <QAction>

using corvane::gui::shared;
namespace tp = corvane::toolpaths;

bool TfrmDXFView::RegionsExist() const
{
    return tp::regionCount(regions_.regions) > 0;
}

void TfrmDXFView::DrawRegion(corvane::gui::TCanvas3D& canvas, const tp::TRegion& region)
{
    corvane::gui::drawRegion(canvas, region, ViewScale());
}

void TfrmDXFView::DrawRegions(corvane::gui::TCanvas3D& canvas)
{
    for (std::size_t i = 1; i < regions_.regions.size(); ++i)
        DrawRegion(canvas, regions_.regions[i]);
    for (const tp::TRegion& region : pending_)
        DrawRegion(canvas, region);
}

void TfrmDXFView::showRegionCount()
{
    frame_.StatusBar1().setText(1, QString::number(tp::regionCount(regions_.regions)));
    enableSaveItems();
}

void TfrmDXFView::enableSaveItems()
{
    // At once, not at the next activation: a view that is the only child window is never
    // activated again while the user works in the dialog.
    const bool regions = RegionsExist();
    MenuItem(QStringLiteral("SaveDNC1"))->setEnabled(regions);
    MenuItem(QStringLiteral("SaveDXF1"))->setEnabled(regions);
}

tp::BuildResult TfrmDXFView::runCreate(const corvane::TTriangleArray& triangles,
                                       const tp::ToolpathsRun& run, corvane::RunControl& control)
{
    shared().RegionFeedrate = run.params.feedrate;
    tp::BuildHooks hooks;
    hooks.repaintView = [this] { Draw3D().Repaint(); };
    // The panel draws only in its paint: a level's regions wait in pending_ until the next
    // checkpoint lets the paint through.
    hooks.drawRegion = [this](const tp::TRegion& region) {
        pending_.push_back(region);
        Draw3D().Invalidate();
    };
    hooks.drawRegions = [this](const tp::RegionList&) {
        pending_.clear();
        Draw3D().Repaint();
    };
    const std::size_t before = tp::regionCount(regions_.regions);
    tp::BuildResult result;
    try {
        result = tp::RunToolpathsCreate(regions_, triangles, run, control, hooks);
    } catch (...) {
        pending_.clear();
        Draw3D().Invalidate();
        throw;
    }
    if (!pending_.empty()) {
        pending_.clear();
        Draw3D().Invalidate();
    }
    if (tp::regionCount(regions_.regions) != before)
        setWindowModified(RegionsExist());
    // Regions the user has just asked for are shown, even if View > Toolpaths was off.
    QAction* toolpaths = MenuItem(QStringLiteral("Toolpaths2"));
    if (tp::regionCount(regions_.regions) > before && !toolpaths->isChecked()) {
        toolpaths->setChecked(true);
        Draw3D().Repaint();
    }
    showRegionCount();
    return result;
}

tp::BuildResult TfrmDXFView::CreateRegions(const tp::ToolpathsRun& run,
                                           corvane::RunControl& control)
{
    return runCreate(mesh_.triangles, run, control);
}

tp::BuildResult TfrmDXFView::CreateGridRegions(const tp::ToolpathsRun& run,
                                               corvane::RunControl& control)
{
    // The window draws the grid's regions in units: its extents become the grid's, scaled.
    const double scale = run.grid ? run.grid->gridScale : 1;
    corvane::Extents3D extents = shared().VectorGrid.extents;
    for (double* v : {&extents.minX, &extents.maxX, &extents.minY, &extents.maxY, &extents.minZ,
                      &extents.maxZ, &extents.rangeY, &extents.rangeX})
        *v *= scale;
    mesh_.extents = extents;
    Draw3D().Repaint();
    frame_.StatusBar1().setGaugeVisible(true);
    return runCreate(shared().VectorGrid.triangles, run, control);
}

void TfrmDXFView::UndoRegions()
{
    const std::size_t before = tp::regionCount(regions_.regions);
    const std::string removed = tp::UndoRegions(regions_);
    if (tp::regionCount(regions_.regions) != before)
        setWindowModified(RegionsExist());
    frame_.StatusBar1().setText(0, QString::fromStdString(removed));
    Draw3D().Repaint();
    showRegionCount();
}

void TfrmDXFView::ClearRegions()
{
    tp::ClearRegions(regions_);
    setWindowModified(false);
    Draw3D().Repaint();
    frame_.StatusBar1().setText(1, QStringLiteral("0"));
    enableSaveItems();
    frame_.StatusBar1().setText(0, QStringLiteral("Ready..."));
}
