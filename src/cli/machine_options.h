// --machine, --units, --spindle-speed and --plunge-feed: the controller a program is written
// for, on gcode (and its roughing program) and regions.
#pragma once

#include "machine/machine_profile.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace corvane::cli {

struct MachineOptions {
    std::string machine = "As Written";
    std::optional<std::string> units, spindleSpeed, plungeFeed;
};

void addMachineOptions(CLI::App& command, MachineOptions& options);

// Throws corvane::Error naming the field: an unknown machine or units, a number that is not
// one, a profile without its Units or Spindle Speed (a program in the wrong units or with
// the spindle at rest breaks tools), or the profile's fields with As Written (they would do
// nothing).
machine::MachineSettings machineSettingsFor(const MachineOptions& options);

} // namespace corvane::cli
