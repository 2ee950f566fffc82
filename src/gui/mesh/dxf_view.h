// TfrmDXFView: the child window that shows a surface mesh as a rotatable 3D wire-frame, a 3D
// window (TView3DWindow). Opened by "&Import DXF Mesh" or "Import &Mesh" (and by a mesh file
// on the command line), which loads a DXF, STL, OBJ, PLY, OFF or 3MF file into it, or by a
// picture's "&Raster to Vector", which makes it a "Vector Conversion" window over the program's
// grid surface with fewer commands. The mouse turns, pans and zooms the view; while a button is
// held (and while a file loads) only the mesh's bounding box is drawn, so dragging stays fluid on
// meshes of millions of edges.
#pragma once

#include "geometry/mesh_records.h"
#include "gui/draw3d/view3d_window.h"
#include "gui/mesh/mesh_paint.h"
#include "mesh/depth_map.h"
#include "toolpaths/toolpaths_fields.h"

#include <QString>
#include <memory>

namespace corvane::gui {
class WindowFrame;
}

class TfrmDXFView : public corvane::gui::TView3DWindow {
public:
    // Creates the window in the frame, shown and active; a "Vector Conversion" window when
    // the shared CurrentJob is raster to vector.
    explicit TfrmDXFView(corvane::gui::WindowFrame& frame);
    ~TfrmDXFView() override;

    // Reads the mesh file into this window (once, right after creation), its kind told by
    // the extension. Esc, or closing the window, stops it (LoadStopped; the caller closes
    // the window). A fault in the file is reported to the user naming the file; a DXF file
    // keeps and shows the faces read before it, other kinds show nothing. False when there
    // is nothing to show (stopped, no such file, no face, a file that cannot be read): the
    // user has been told, and the caller closes the window.
    bool LoadMesh(const QString& fileName);

    // Create > Depth Map: asks for the pixel size (or width) and Invert, then renders.
    void DepthMap1Click();
    // Renders the top view of the mesh file into a 16-bit grey picture (the file is read
    // again, so that flat triangles count) and opens it in a new picture window, unsaved,
    // named after the mesh. Esc stops it; a failure is told with the file's name. False when
    // no picture was opened.
    bool CreateDepthMap(const corvane::mesh::DepthMapOptions& options);

    // --- the regions built over this mesh (the toolpaths dialog's Create, Undo, Clear) ---
    // A Create over the view's own triangles, or over the program's raster grid for a
    // "Vector Conversion" window; the run's values are read by the dialog.
    corvane::toolpaths::BuildResult CreateRegions(const corvane::toolpaths::ToolpathsRun& run,
                                                  corvane::RunControl& control);
    corvane::toolpaths::BuildResult CreateGridRegions(const corvane::toolpaths::ToolpathsRun& run,
                                                      corvane::RunControl& control);
    void UndoRegions();
    void ClearRegions();
    const corvane::toolpaths::RegionList& Regions() const { return regions_; }
    bool RegionsExist() const;
    // Every region over the mesh, with the scale and base line of the paint.
    void DrawRegions(corvane::gui::TCanvas3D& canvas);
    void DrawRegion(corvane::gui::TCanvas3D& canvas, const corvane::toolpaths::TRegion& region);

    // --- handlers ---
    void Mesh1Click();
    void Toolpaths2Click();
    void ToolPaths1Click();
    void SaveDNC1Click();
    void SaveDXF1Click();

    // TChildWindow
    void FormActivate() override;

    // --- what tests and the toolpath commands look at ---
    const corvane::FacetMesh& Mesh() const { return mesh_; }
    bool IsVectorConversion() const { return vectorConversion_; }
    // The caption without its unsaved-changes mark: the file name, "DXF Surface Mesh" or
    // "Vector Conversion". The window is marked modified while it holds regions that have
    // not been saved (as DNC or DXF) since they last changed.
    QString DocumentName() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    corvane::Extents3D drawingExtents() const override { return mesh_.extents; }
    void paintView(corvane::gui::TCanvas3D& canvas) override;

private:
    void buildMenus();
    void finishLoad(const QString& fileName);
    void setDocumentName(const QString& name);
    void warn(const QString& text);
    void showStatus(const QString& text);
    corvane::toolpaths::BuildResult runCreate(const corvane::TTriangleArray& triangles,
                                              const corvane::toolpaths::ToolpathsRun& run,
                                              corvane::RunControl& control);
    void showRegionCount();
    // Save D&NC and Save DXF are there exactly while the view holds regions.
    void enableSaveItems();
    // The folder of the mesh file, where the save prompts start; empty for a grid window.
    QString documentFolder() const;

    corvane::FacetMesh mesh_;
    corvane::toolpaths::RegionList regions_;
    // What a running Create has found so far, drawn with the regions until it ends.
    corvane::toolpaths::TRegionArray pending_;
    bool vectorConversion_ = false;
    // The file the mesh was read from; empty until it loaded, and for a grid window.
    QString meshFile_;
};

namespace corvane::gui {

// The frame's way of opening a mesh file of any kind the view reads (import and command
// line): a new mesh view in 3D mode, rotation and elevation 0, that loads the file; closed
// again when Esc stopped it or when the file gave nothing to show.
void OpenMeshFile(corvane::gui::WindowFrame& frame, const QString& fileName);

} // namespace corvane::gui
