// What a machine profile adds around a program's moves: the comment header, the preamble
// (modes, units, tool change, retract, spindle start), the F words that switch between the
// Feedrate and the Plunge Feedrate, and the ending (retract, spindle stop, program end).
// Lines end in CR LF; numbers keep the program's own format.
#pragma once

#include "machine/machine_profile.h"

#include <string>

namespace corvane::machine {

// How a program writes its numbers: the raster programs "%.4f", the regions' program the
// general conversion for the feed and heights.
enum class NumberStyle { Fixed, General };
std::string programNumber(double value, NumberStyle style);

// What the comment header tells the operator.
struct ProgramFacts {
    std::string timestamp;  // programTimestamp()
    std::string sourceName; // the picture or mesh the program was made from
    std::string toolName;   // empty: no tool line (the regions know no tool)
    double toolDiameter = 0;
    std::string sizeLabel = "Relief"; // what sizeX, sizeY and depth measure
    double sizeX = 0, sizeY = 0, depth = 0;
    double feedRate = 0;
    double cuttingMinutes = 0; // the feed moves at their rates (the simulation's clock)
};

// "( text )" and CR LF, cut to the controller's line length. Parentheses inside become
// brackets (no controller nests comments) and bytes outside printable ASCII become "?".
std::string commentLine(const std::string& text, std::size_t maxLength);

// Everything before the first move; the tool ends at the rapid height with the spindle
// running. Not for As Written.
std::string programPreamble(const MachineSettings& settings, const ProgramFacts& facts,
                            double rapidHeight, NumberStyle style);

// Everything after the last move: a retract to the rapid height unless the tool is there
// already (lastZ), the spindle stop and the program end. Not for As Written.
std::string programEnding(const MachineSettings& settings, double lastZ, double rapidHeight,
                          NumberStyle style);

// The F word of each feed move: feed moves that go down run at the Plunge Feedrate, the
// others at the Feedrate. The word is written only when the rate changes, so a program
// whose two rates are equal names its feed rate once, on its first feed move.
class FeedWords {
public:
    FeedWords(const MachineSettings& settings, double feedRate, NumberStyle style)
        : feedRate_(feedRate), plungeRate_(plungeRate(settings, feedRate)), style_(style)
    {
    }
    double rateFor(double fromZ, double toZ) const { return toZ < fromZ ? plungeRate_ : feedRate_; }
    // Appends " F<rate>" when the move's rate is not the one in force, and returns the rate.
    double append(std::string& line, double fromZ, double toZ);

private:
    double feedRate_, plungeRate_;
    NumberStyle style_;
    double inForce_ = -1;
};

} // namespace corvane::machine
