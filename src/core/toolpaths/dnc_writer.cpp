#include "toolpaths/dnc_writer.h"

#include "common/atomic_file.h"
#include "common/error.h"
#include "common/general_number.h"
#include "common/number_format.h"
#include "toolpaths/optimize_toolpaths.h"

namespace corvane::toolpaths {

namespace {

void appendPoint(std::string& out, double x, double y)
{
    out += "X";
    appendFixed(out, x, 4);
    out += " Y";
    appendFixed(out, y, 4);
}

} // namespace

std::string dncProgramText(const TRegionArray& regions, const std::vector<std::size_t>& order,
                           const DncHeader& header)
{
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
                    RunControl& control)
{
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
    file.write(dncProgramText(regions, order, header));
    file.commit();
}

} // namespace corvane::toolpaths
