// The controller a program is written for. "As Written" keeps the program as it has always
// been (byte for byte); the others make it run on that controller as it is: the modes and
// units it relies on, the spindle started and stopped, a retract and the program end, and a
// plunge feed rate for the moves that go down.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace corvane::machine {

enum class Machine { AsWritten, Grbl, LinuxCnc, Mach3 };
enum class Units { Inch, Millimetre };

// The names the user picks from, in the order of Machine: "As Written", "GRBL", "LinuxCNC",
// "Mach3".
const std::array<std::string, 4>& machineNames();
std::optional<Machine> machineFromName(const std::string& name);
const std::string& machineName(Machine machine);

// "inch" and "mm".
const std::array<std::string, 2>& unitsNames();
std::optional<Units> unitsFromName(const std::string& name);
const std::string& unitsName(Units units);

// What a program writer needs to know about a controller.
struct Controller {
    // File kinds, without the dot; the first is the one a save prompt proposes.
    std::vector<std::string> extensions;
    std::string filterName; // "GRBL Programs", shown with the extensions in a save prompt
    // M2 or M30: M30 also rewinds the program where the controller keeps one loaded (Mach3).
    const char* programEnd = "M2";
    // Seconds to wait after M3. GRBL starts moving at once (it has no spindle feedback), so
    // the program waits for the spindle; LinuxCNC waits for spindle-at-speed when it is
    // wired and Mach3 has its own spin-up delay setting (and reads G4 P as milliseconds or
    // seconds by configuration), so they get none.
    double spindleDwell = 0;
    // "T1 M6" before the spindle starts. GRBL 1.1 parses T but only keeps it and refuses M6
    // (error 20), so the tool is named in the comments instead.
    bool toolChange = false;
    // The longest line written. GRBL's line buffer holds 80 characters; the others read
    // 255 at least.
    std::size_t maxLineLength = 255;
};

// Only meaningful for the profiles other than As Written.
const Controller& controllerOf(Machine machine);

// The file kinds of `machine` first, then every other kind a program is saved as, each
// once: what a save prompt offers. As Written proposes "Dnc".
std::vector<std::string> programExtensions(Machine machine);

// The choices that go with the Feedrate and Rapid Height when a program is written.
struct MachineSettings {
    Machine machine = Machine::AsWritten;
    Units units = Units::Millimetre;
    double spindleSpeed = 0;   // rpm, > 0 with a profile
    double plungeFeedrate = 0; // units per minute, > 0 with a profile; 0: the Feedrate
};

// Throws corvane::Error naming the field ("Spindle Speed must be ...") for a value a profile
// cannot use, the program's Feedrate included (the controllers refuse a feed move at F0);
// As Written uses none of them.
void checkMachineSettings(const MachineSettings& settings, double feedRate);

// The feed rate for feed moves that go down: the Plunge Feedrate, or the Feedrate when it
// is 0 (not given).
inline double plungeRate(const MachineSettings& settings, double feedRate)
{
    return settings.plungeFeedrate > 0 ? settings.plungeFeedrate : feedRate;
}

} // namespace corvane::machine
