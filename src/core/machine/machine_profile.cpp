#include "machine/machine_profile.h"

#include "relief/parameter_checks.h"

#include <algorithm>

namespace corvane::machine {

const std::array<std::string, 4>& machineNames()
{
    static const std::array<std::string, 4> names{"As Written", "GRBL", "LinuxCNC", "Mach3"};
    return names;
}

std::optional<Machine> machineFromName(const std::string& name)
{
    const auto& names = machineNames();
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end())
        return std::nullopt;
    return Machine(it - names.begin());
}

const std::string& machineName(Machine machine)
{
    return machineNames()[std::size_t(machine)];
}

const std::array<std::string, 2>& unitsNames()
{
    static const std::array<std::string, 2> names{"inch", "mm"};
    return names;
}

std::optional<Units> unitsFromName(const std::string& name)
{
    const auto& names = unitsNames();
    const auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end())
        return std::nullopt;
    return Units(it - names.begin());
}

const std::string& unitsName(Units units)
{
    return unitsNames()[std::size_t(units)];
}

const Controller& controllerOf(Machine machine)
{
    static const Controller asWritten{{"Dnc"}, "DNC Files"};
    static const Controller grbl{{"nc", "gcode"}, "GRBL Programs", "M2", 3, false, 80};
    static const Controller linuxCnc{{"ngc"}, "LinuxCNC Programs", "M2", 0, true, 255};
    static const Controller mach3{{"tap"}, "Mach3 Programs", "M30", 0, true, 255};
    switch (machine) {
    case Machine::Grbl:
        return grbl;
    case Machine::LinuxCnc:
        return linuxCnc;
    case Machine::Mach3:
        return mach3;
    case Machine::AsWritten:
        break;
    }
    return asWritten;
}

std::vector<std::string> programExtensions(Machine machine)
{
    std::vector<std::string> out = controllerOf(machine).extensions;
    for (Machine other : {Machine::AsWritten, Machine::Grbl, Machine::LinuxCnc, Machine::Mach3})
        for (const std::string& e : controllerOf(other).extensions)
            if (std::find(out.begin(), out.end(), e) == out.end())
                out.push_back(e);
    return out;
}

void checkMachineSettings(const MachineSettings& settings, double feedRate)
{
    if (settings.machine == Machine::AsWritten)
        return;
    relief::checkSize(feedRate, "Feedrate");
    relief::checkSize(settings.spindleSpeed, "Spindle Speed");
    if (settings.plungeFeedrate != 0)
        relief::checkSize(settings.plungeFeedrate, "Plunge Feedrate");
}

} // namespace corvane::machine
