#include "cli/machine_options.h"

#include "common/error.h"

#include <charconv>

namespace corvane::cli {

namespace {

double numberOf(const std::string& text, const char* field)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        throw Error(std::string(field) + " must be a number: \"" + text + "\"");
    return value;
}

std::string quotedChoices()
{
    std::string out;
    for (const std::string& name : machine::machineNames())
        out += (out.empty() ? "\"" : ", \"") + name + "\"";
    return out;
}

} // namespace

void addMachineOptions(CLI::App& command, MachineOptions& options)
{
    command.add_option("--machine", options.machine,
                       "Machine: \"As Written\" (as always), GRBL, LinuxCNC or Mach3");
    command.add_option("--units", options.units,
                       "Units of the numbers for the machine: inch or mm (G20 or G21)");
    command.add_option("--spindle-speed", options.spindleSpeed, "Spindle Speed, rpm (M3 S)");
    command.add_option("--plunge-feed", options.plungeFeed,
                       "Plunge Feedrate for feed moves that go down (the Feedrate)");
}

machine::MachineSettings machineSettingsFor(const MachineOptions& options)
{
    machine::MachineSettings settings;
    const auto chosen = machine::machineFromName(options.machine);
    if (!chosen)
        throw Error("Machine must be one of " + quotedChoices() + ": \"" + options.machine + "\"");
    settings.machine = *chosen;
    if (settings.machine == machine::Machine::AsWritten) {
        if (options.units || options.spindleSpeed || options.plungeFeed)
            throw Error("--units, --spindle-speed and --plunge-feed need --machine GRBL, "
                        "LinuxCNC or Mach3: \"As Written\" writes none of them");
        return settings;
    }
    if (!options.units)
        throw Error("Units must be given for " + options.machine + ": --units inch or mm");
    const auto units = machine::unitsFromName(*options.units);
    if (!units)
        throw Error("Units must be inch or mm: \"" + *options.units + "\"");
    settings.units = *units;
    if (!options.spindleSpeed)
        throw Error("Spindle Speed must be given for " + options.machine + ": --spindle-speed N");
    settings.spindleSpeed = numberOf(*options.spindleSpeed, "Spindle Speed");
    if (options.plungeFeed)
        settings.plungeFeedrate = numberOf(*options.plungeFeed, "Plunge Feedrate");
    if (settings.plungeFeedrate == 0 && options.plungeFeed)
        throw Error("Plunge Feedrate must be a number greater than 0");
    return settings;
}

} // namespace corvane::cli
