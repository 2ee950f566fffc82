// The two branches of the surface dialog's "Create": the DXF surface and the raster G-code
// program, from the parameters to the file, with gouge control, status texts, progress,
// Cancel (the run's stop request) and Esc. The desktop dialog and the command line both
// run these, so they write identical files.
#pragma once

#include "common/run_control.h"
#include "machine/machine_profile.h"
#include "relief/relief_parameters.h"
#include "relief/zgrid.h"

#include <functional>
#include <optional>
#include <string>

namespace corvane::relief {

struct CreateHooks {
    // The save prompt. Returns the chosen path, or nothing when the user cancels it.
    // The DXF run asks before writing, the G-code run only after its passes.
    std::function<std::optional<std::string>()> askFileName;
    // A message box ("Tool Diameter can not be 0!"); the run waits for it to return.
    std::function<void(const std::string&)> showMessage;
};

enum class CreateOutcome {
    Saved,        // the file is in place (a DXF stopped by Cancel is whole, just shorter)
    SaveDeclined, // the save prompt was cancelled: nothing written
    Abandoned,    // G-code with Esc: the passes ran, nothing was saved
    Stopped,      // G-code with Cancel during the passes: nothing saved
    ZeroDiameter, // G-code with a tool of diameter 0: no pass was made
};

struct CreateResult {
    CreateOutcome outcome = CreateOutcome::Saved;
    std::string fileName;    // set when saved
    bool closeDialog = true; // false after Stopped and ZeroDiameter: the dialog stays open
};

// The DXF branch: asks for the file, writes the head, applies gouge control to a copy of
// `grid` (a zero diameter shows the message and goes on without it), writes the facets and
// the trailer. `grid` itself is never changed, so any number of runs give the same file.
// Ends with "Ready..." or, when Esc was pressed, "Process Cancelled...". Throws
// corvane::Error for refused parameters (before anything is asked or written) and for a
// failed write (the file that was there stays as it was; no "Ready...").
CreateResult CreateDxfSurface(const TZGrid& grid, const ReliefParameters& params,
                              RunControl& control, const CreateHooks& hooks);

// The STL branch (stl_surface.h): the same steps as the DXF branch, writing the closed solid
// of `grid` (without the white frame) with a base of baseThickness. A run stopped by Cancel
// or Esc keeps whatever file was there (Stopped) and ends with "Process Cancelled...".
CreateResult CreateStlSurface(const TZGrid& grid, const ReliefParameters& params,
                              double baseThickness, RunControl& control, const CreateHooks& hooks);

// The G-code branch: gouge control on a copy of `grid`, the passes streamed through the
// rapid filter into a temporary spool, then, unless Esc was pressed, the save prompt and the
// program moved into place whole. `grid` is never changed. sourceName is the picture's file
// name, quoted in the header. `machine` is the controller the program is written for
// (checked with the other parameters, before any work).
CreateResult CreateRasterProgram(const TZGrid& grid, const ReliefParameters& params,
                                 const std::string& sourceName, RunControl& control,
                                 const CreateHooks& hooks,
                                 const machine::MachineSettings& machine = {});

// The gouge step, for callers that want only that step: shows "Applying Gouge Control.
// Please Wait...", builds the tool of params (tool, diameter > 0, included angle) with the
// height scale of params.depth (> 0) for cells of the given size in the user's unit, and
// adjusts `grid`. Returns false when Esc stopped it early.
bool applyGougeStep(TZGrid& grid, const ReliefParameters& params, double cellWidth,
                    double cellHeight, RunControl& control);

// The gouge step as both branches run it: cells of SizeX / cols by SizeY / rows. A Depth of
// 0 is a flat relief that no tool can gouge: the grid stays as it is.
bool applyGougeForRun(TZGrid& grid, const ReliefParameters& params, RunControl& control);

} // namespace corvane::relief
