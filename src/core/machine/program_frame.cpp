#include "machine/program_frame.h"

#include "common/general_number.h"
#include "common/number_format.h"
#include "simulation/simulation_figures.h"

namespace corvane::machine {

namespace {

// The spindle runs for this long after M3 before the first move where the controller does
// not wait for it: a router needs a few seconds to reach its speed, and cutting before
// that stalls it or breaks the tool.
std::string dwellSeconds(double seconds)
{
    return formatGeneral(seconds);
}

} // namespace

std::string programNumber(double value, NumberStyle style)
{
    return style == NumberStyle::Fixed ? fixedText(value, 4) : formatGeneral(value);
}

std::string commentLine(const std::string& text, std::size_t maxLength)
{
    std::string inside;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        inside += c == '(' ? '[' : c == ')' ? ']' : (u < 0x20 || u > 0x7e) ? '?' : c;
    }
    const std::size_t room = maxLength > 4 ? maxLength - 4 : 0;
    if (inside.size() > room)
        inside.resize(room);
    return "( " + inside + " )\r\n";
}

std::string programPreamble(const MachineSettings& settings, const ProgramFacts& facts,
                            double rapidHeight, NumberStyle style)
{
    const Controller& controller = controllerOf(settings.machine);
    const std::size_t width = controller.maxLineLength;
    const auto number = [style](double v) { return programNumber(v, style); };
    std::string out;
    out += commentLine("Created " + facts.timestamp + " From " + facts.sourceName, width);
    out +=
        commentLine(machineName(settings.machine) + ", units " + unitsName(settings.units), width);
    if (!facts.toolName.empty())
        out += commentLine("Tool " + facts.toolName + ", diameter " + number(facts.toolDiameter),
                           width);
    out += commentLine(facts.sizeLabel + " " + number(facts.sizeX) + " x " + number(facts.sizeY) +
                           ", depth " + number(facts.depth),
                       width);
    out += commentLine("Feedrate " + number(facts.feedRate) + ", plunge " +
                           number(plungeRate(settings, facts.feedRate)) + ", spindle " +
                           formatGeneral(settings.spindleSpeed) + " rpm",
                       width);
    out += commentLine("Machining " + simulation::machiningTimeText(facts.cuttingMinutes) +
                           " at the feed rates, rapids not counted",
                       width);
    // Modes first, then the units: every number after them means what the program means.
    out += "G90 G17 G94\r\n";
    out += settings.units == Units::Inch ? "G20\r\n" : "G21\r\n";
    if (controller.toolChange)
        out += "T1 M6\r\n";
    out += "G00 Z" + number(rapidHeight) + "\r\n";
    out += "M3 S" + formatGeneral(settings.spindleSpeed) + "\r\n";
    if (controller.spindleDwell > 0)
        out += "G4 P" + dwellSeconds(controller.spindleDwell) + "\r\n";
    return out;
}

std::string programEnding(const MachineSettings& settings, double lastZ, double rapidHeight,
                          NumberStyle style)
{
    std::string out;
    if (lastZ != rapidHeight)
        out += "G00 Z" + programNumber(rapidHeight, style) + "\r\n";
    out += "M5\r\n";
    out += std::string(controllerOf(settings.machine).programEnd) + "\r\n";
    return out;
}

double FeedWords::append(std::string& line, double fromZ, double toZ)
{
    const double rate = rateFor(fromZ, toZ);
    if (rate != inForce_) {
        line += " F";
        line += programNumber(rate, style_);
        inForce_ = rate;
    }
    return rate;
}

} // namespace corvane::machine
