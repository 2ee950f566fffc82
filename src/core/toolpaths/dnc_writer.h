// Writing regions as a G-code program ("DNC file"): a four-line header, then per region a
// rapid move to its first point, a plunge to its depth, one feed move per segment and a
// rapid retract. Lines end with CR LF; coordinates are "%.4f", the feed, the depths and
// the rapid height use the general conversion; "." whatever the locale.
#pragma once

#include "common/run_control.h"
#include "machine/machine_profile.h"
#include "toolpaths/region.h"

#include <cstddef>
#include <string>
#include <vector>

namespace corvane::toolpaths {

struct DncHeader {
    std::string timestamp;  // date and time, as programTimestamp() gives them
    std::string sourceName; // the mesh file's name, or "Vector Conversion"
    double feedrate = 0;
    double rapidHeight = 0;
};

// The program for regions[order[0]], regions[order[1]], ..., written for `machine`. As
// Written is the four-line header above and nothing after the last block; a profile
// brackets the same blocks with its preamble and ending and gives the plunges its Plunge
// Feedrate. Throws corvane::Error naming the field for settings the profile cannot use.
std::string dncProgramText(const TRegionArray& regions, const std::vector<std::size_t>& order,
                           const DncHeader& header, const machine::MachineSettings& machine = {});

// Orders the regions (OptimizeToolpaths) and writes them to `path`, whole or not at all:
// status "Optimizing toolpaths...", "Writing toolpaths to file...", then "Ready...".
// Throws corvane::Error naming the file when it cannot be written ("Ready..." is still
// shown, and whatever was at `path` stays). Esc while ordering throws corvane::Cancelled
// after "Process Cancelled...", nothing written.
void SaveDncProgram(const std::string& path, const TRegionArray& regions, const DncHeader& header,
                    RunControl& control, const machine::MachineSettings& machine = {});

} // namespace corvane::toolpaths
