// The program-wide variables through which child windows and dialogs hand work to each
// other. They live in one struct so that a reader sees every one of them in one place, and
// so that tests can put the program back into its start-up state with resetShared().
#pragma once

#include "mesh/raster_grid.h"
#include "relief/zgrid.h"

#include <QString>
#include <cstdint>

namespace corvane::gui {

// What the surface, mesh and toolpaths dialogs are opened for (CurrentJob).
enum JobKind : int {
    JobMeshImport = 0,
    JobDxfSurface = 10,
    JobGCode = 20,
    JobRasterToVector = 35,
    JobMeshToolpaths = 40,
};

struct SharedState {
    // Which job the dialog being opened works for (see JobKind).
    int CurrentJob = JobMeshImport;
    // Position, in the frame's child list (most recently active first), of the window a
    // dialog works on, counted as it will be once the new dialog is active.
    int TargetChildIndex = 0;
    // Set by Esc anywhere in the program (the frame's key filter, nothing else); cleared by
    // LongRun as a job starts and when Esc has stopped it (see gui/app/long_run.h).
    bool EscapePressed = false;
    // Set by every picture edit, creation and close; nothing clears it.
    bool PictureChanged = false;
    // Folder of the imaging control's plug-ins; empty when none was chosen.
    QString PluginPath;
    // The one height grid: filled from a picture, read by the surface dialog.
    corvane::relief::TZGrid HeightGrid;
    // Counts every rebuild and emptying of HeightGrid, so that a dialog can tell whether the
    // grid is still the one built for it.
    unsigned HeightGridStamp = 0;
    // File-name part of the picture a G-code program is made from.
    QString SourcePictureName;
    // Light direction for Emboss, 3D Shade and Gradient Edge, 1..8.
    std::uint8_t LightDirection = 1;
    // Where the current progress run stands, in steps of 10 percent.
    int ProgressStep = 0;
    // The picture mapped to a 3D grid by Raster to Vector: its triangles and extents, shared
    // by every "Vector Conversion" window and sliced by the toolpaths dialog.
    corvane::mesh::GridSurface VectorGrid;
    int VectorGridColumns = 1;
    int VectorGridRows = 1;
    int SavedViewWidth = 0;
    int SavedViewHeight = 0;
    // Feedrate and rapid height of the last toolpaths Create, written by every Save DNC of
    // every mesh view until the next Create.
    double RegionFeedrate = 0;
    double RapidHeight = 0;
};

// The one instance, alive for the whole program.
SharedState& shared();

// Back to the values the program starts with.
void resetShared();

} // namespace corvane::gui
