#include "toolpaths/dnc_writer.h"

#include "common/atomic_file.h"
#include "common/error.h"
#include "common/general_number.h"
#include "common/number_format.h"
#include "machine/program_frame.h"
#include "simulation/tool_moves.h"
#include "toolpaths/optimize_toolpaths.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::toolpaths {

namespace {

void appendPoint(std::string& out, double x, double y)
{
    out += "X";
    appendFixed(out, x, 4);
    out += " Y";
    appendFixed(out, y, 4);
}

// The blocks for a machine profile: the plunge of each region and its segments carry the F
// words (the plunge runs at the Plunge Feedrate when it goes down), and the feed moves are
// timed for the comment header.
std::string profileProgramText(const TRegionArray& regions, const std::vector<std::size_t>& order,
                               const DncHeader& header, const machine::MachineSettings& settings)
{
    using machine::NumberStyle;
    machine::FeedWords feeds(settings, header.feedrate, NumberStyle::General);
    simulation::MachiningClock clock(std::numeric_limits<double>::infinity());
    const auto timed = [&clock](dnc::DncMoveKind kind, double feed, double x, double y, double z) {
        dnc::DncMove m;
        m.kind = kind;
        m.feed = feed;
        m.x = x, m.y = y, m.z = z;
        clock.add(m);
    };
    const std::string rapid = "G00 Z" + formatGeneral(header.rapidHeight) + "\r\n";
    std::string body;
    double minX = 0, maxX = 0, minY = 0, maxY = 0, depth = 0;
    bool first = true;
    timed(dnc::DncRapid, 0, 0, 0, header.rapidHeight);
    for (std::size_t index : order) {
        const TRegion& r = regions[index];
        if (r.entities.empty())
            continue;
        const double x = r.entities[0].x1, y = r.entities[0].y1;
        body += "G00 ";
        appendPoint(body, x, y);
        timed(dnc::DncRapid, 0, x, y, header.rapidHeight);
        const double z = -r.depth;
        body += "\r\nG01 Z" + formatGeneral(z);
        timed(dnc::DncFeed, feeds.append(body, header.rapidHeight, z), x, y, z);
        body += "\r\n";
        depth = std::max(depth, r.depth);
        for (const TMyEntity& s : r.entities) {
            if (first)
                minX = maxX = s.x1, minY = maxY = s.y1, first = false;
            for (const auto& [px, py] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
                minX = std::min(minX, px), maxX = std::max(maxX, px);
                minY = std::min(minY, py), maxY = std::max(maxY, py);
            }
            appendPoint(body, s.x2, s.y2);
            timed(dnc::DncFeed, feeds.append(body, z, z), s.x2, s.y2, z);
            body += "\r\n";
        }
        body += rapid;
        timed(dnc::DncRapid, 0, r.entities.back().x2, r.entities.back().y2, header.rapidHeight);
    }
    machine::ProgramFacts facts;
    facts.timestamp = header.timestamp;
    facts.sourceName = header.sourceName;
    facts.sizeLabel = "Toolpaths";
    facts.sizeX = maxX - minX;
    facts.sizeY = maxY - minY;
    facts.depth = depth;
    facts.feedRate = header.feedrate;
    facts.cuttingMinutes = clock.time().minutes;
    return machine::programPreamble(settings, facts, header.rapidHeight, NumberStyle::General) +
           body +
           machine::programEnding(settings, header.rapidHeight, header.rapidHeight,
                                  NumberStyle::General);
}

} // namespace

std::string dncProgramText(const TRegionArray& regions, const std::vector<std::size_t>& order,
                           const DncHeader& header, const machine::MachineSettings& machine)
{
    if (machine.machine != machine::Machine::AsWritten) {
        machine::checkMachineSettings(machine, header.feedrate);
        return profileProgramText(regions, order, header, machine);
    }
    const std::string rapid = "G00 Z" + formatGeneral(header.rapidHeight) + "\r\n";
    std::string out = "( Created " + header.timestamp + " From " + header.sourceName + ")\r\n";
    out += "G90 T0\r\n";
    out += "F" + formatGeneral(header.feedrate) + "\r\n";
    out += rapid;
    for (std::size_t index : order) {
        const TRegion& r = regions[index];
        if (r.entities.empty())
            continue;
        out += "G00 ";
        appendPoint(out, r.entities[0].x1, r.entities[0].y1);
        out += "\r\nG01 Z" + formatGeneral(-r.depth) + "\r\n";
        for (const TMyEntity& s : r.entities) {
            appendPoint(out, s.x2, s.y2);
            out += "\r\n";
        }
        out += rapid;
    }
    return out;
}

void SaveDncProgram(const std::string& path, const TRegionArray& regions, const DncHeader& header,
                    RunControl& control, const machine::MachineSettings& machine)
{
    machine::checkMachineSettings(machine, header.feedrate);
    struct StatusAtEnd {
        RunControl& control;
        const char* text = "Ready...";
        ~StatusAtEnd() { control.showStatus(text); }
    } atEnd{control};
    control.showStatus("Optimizing toolpaths...");
    std::vector<std::size_t> order;
    try {
        order = OptimizeToolpaths(regions, control);
    } catch (const Cancelled&) {
        atEnd.text = "Process Cancelled...";
        throw;
    }
    AtomicFile file(path);
    control.showStatus("Writing toolpaths to file...");
    file.write(dncProgramText(regions, order, header, machine));
    file.commit();
}

} // namespace corvane::toolpaths
