// The mesh view's Create > Depth Map: the dialog, the render and the hand-off of the picture
// to a new picture window.
#include "common/error.h"
#include "gui/app/long_run.h"
#include "gui/app/window_frame.h"
#include "gui/mesh/depth_map_dialog.h"
#include "gui/mesh/dxf_view.h"
#include "mesh/mesh_file_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

namespace {

// NAME-depth.png beside the mesh file; NAME-depth-2.png and so on when that is taken, so
// that a Save of the new picture never replaces a file that was there.
QString depthMapName(const QString& meshFile)
{
    const QFileInfo mesh(meshFile);
    const QDir folder = mesh.absoluteDir();
    const QString base = mesh.completeBaseName() + QStringLiteral("-depth");
    QString name = folder.filePath(base + QStringLiteral(".png"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = folder.filePath(base + QStringLiteral("-%1.png").arg(n));
    return name;
}

} // namespace

void TfrmDXFView::DepthMap1Click()
{
    if (meshFile_.isEmpty())
        return;
    // The extents' z is negated; the dialog needs x and y alone.
    QPointer<TfrmDXFView> view(this);
    auto* dialog = new TfrmDepthMap(*this, mesh_.extents,
                                    [view](const corvane::mesh::DepthMapOptions& options) {
                                        if (view)
                                            view->CreateDepthMap(options);
                                    });
    dialog->open();
}

bool TfrmDXFView::CreateDepthMap(const corvane::mesh::DepthMapOptions& options)
{
    if (meshFile_.isEmpty())
        return false;
    const std::string path = QFile::encodeName(meshFile_).toStdString();
    corvane::imaging::Picture picture;
    corvane::gui::LongRun run(frame_); // no window takes input meanwhile: Esc stops it
    const corvane::gui::RunReport report = run.run([&](corvane::RunControl& control) {
        control.showStatus("Loading " + path + "... Esc to Cancel.");
        corvane::mesh::TriangleSoup soup;
        if (!corvane::mesh::readMeshTriangles(path, soup, control))
            return false;
        control.showStatus("Rendering Depth Map... Esc to Cancel.");
        try {
            picture = corvane::mesh::renderDepthMap(soup.corners, options, control);
        } catch (const corvane::Cancelled&) {
            throw;
        } catch (const corvane::Error& error) {
            if (!error.file().empty())
                throw;
            throw corvane::Error(path, error.reason()); // the file the fault is in
        }
        return true;
    });
    frame_.StatusBar1().setGaugeVisible(false);
    if (report.outcome != corvane::gui::RunOutcome::Completed)
        return false;
    frame_.OpenPicture(std::move(picture), depthMapName(meshFile_));
    frame_.ShowReady();
    return true;
}
