#include "relief/raster_program.h"

#include "common/atomic_file.h"
#include "common/number_format.h"
#include "common/timestamp.h"
#include "relief/row_progress.h"

#include <limits>

namespace corvane::relief {

std::string rasterProgramHeader(const std::string& timestamp, const std::string& sourceName,
                                double feedRate)
{
    std::string header = "( Created " + timestamp + " From " + sourceName + ")\r\n";
    header += "G90 T0 F";
    appendFixed(header, feedRate, 4);
    header += "\r\n";
    return header;
}

RasterProgramBody::RasterProgramBody(ByteSink& out, const machine::FeedWords& feeds,
                                     double rapidHeight)
    : RasterProgramBody(out)
{
    feeds_.emplace(feeds);
    // Rapids are not timed: their rate is the machine's, not the program's.
    clock_.emplace(std::numeric_limits<double>::infinity());
    previousKind_ = RasterRapid;
    previousX_ = previousY_ = std::numeric_limits<double>::quiet_NaN();
    previousZ_ = rapidHeight;
}

void RasterProgramBody::add(const RasterMove& move)
{
    const std::size_t lineStart = block_.size();
    if (move.kind != previousKind_)
        block_ += move.kind == RasterRapid ? "G00" : "G01";
    const std::size_t wordsStart = block_.size();
    if (move.x != previousX_) {
        block_ += " X";
        appendFixed(block_, move.x, 4);
    }
    if (move.y != previousY_) {
        block_ += " Y";
        appendFixed(block_, move.y, 4);
    }
    if (move.z != previousZ_) {
        block_ += " Z";
        appendFixed(block_, move.z, 4);
    }
    if (feeds_) {
        double rate = 0;
        if (move.kind == RasterFeed && block_.size() != wordsStart)
            rate = feeds_->append(block_, previousZ_, move.z);
        dnc::DncMove timed;
        timed.kind = move.kind == RasterRapid ? dnc::DncRapid : dnc::DncFeed;
        timed.feed = rate;
        timed.x = move.x, timed.y = move.y, timed.z = move.z;
        clock_->add(timed);
    }
    if (block_.size() != lineStart)
        block_ += "\r\n";
    previousKind_ = move.kind;
    previousX_ = move.x;
    previousY_ = move.y;
    previousZ_ = move.z;
    if (block_.size() >= BlockSize)
        flush();
}

void RasterProgramBody::flush()
{
    if (!block_.empty())
        out_.write(block_);
    block_.clear();
}

bool WriteRasterProgram(const std::string& fileName, const std::string& sourceName,
                        const std::vector<RasterMove>& moves, double feedRate, RunControl& control)
{
    control.checkpoint();
    if (control.escapePressed())
        return false;
    AtomicFile file(fileName);
    AtomicFileSink sink(file);
    sink.write(rasterProgramHeader(programTimestamp(), sourceName, feedRate));
    RasterProgramBody body(sink);
    const long long n = static_cast<long long>(moves.size());
    ProgressStride stride(0, (n - 1) / 10);
    for (long long i = 0; i < n; ++i) {
        if (stride.due(i) && gaugePointStopsForEscape(control, i, n - 1)) {
            control.endProgress(ProgressDisplay::Gauge);
            file.discard();
            return false;
        }
        body.add(moves[std::size_t(i)]);
    }
    body.flush();
    file.commit();
    control.endProgress(ProgressDisplay::Gauge);
    return true;
}

RasterProgramBody rasterProgramBody(ByteSink& out, const machine::MachineSettings& machine,
                                    double feedRate, double rapidHeight)
{
    if (machine.machine == machine::Machine::AsWritten)
        return RasterProgramBody(out);
    return RasterProgramBody(
        out, machine::FeedWords(machine, feedRate, machine::NumberStyle::Fixed), rapidHeight);
}

machine::ProgramFacts rasterFacts(const std::string& sourceName, const ReliefParameters& relief,
                                  std::optional<ToolShape> tool, double toolDiameter,
                                  double feedRate, double cuttingMinutes)
{
    machine::ProgramFacts facts;
    facts.timestamp = programTimestamp();
    facts.sourceName = sourceName;
    if (tool) {
        facts.toolName = toolShapeNames()[std::size_t(*tool) - 1];
        facts.toolDiameter = toolDiameter;
    }
    facts.sizeX = relief.sizeX;
    facts.sizeY = relief.sizeY;
    facts.depth = relief.depth;
    facts.feedRate = feedRate;
    facts.cuttingMinutes = cuttingMinutes;
    return facts;
}

std::string rasterProgramStart(const machine::MachineSettings& machine,
                               const machine::ProgramFacts& facts, double rapidHeight)
{
    if (machine.machine == machine::Machine::AsWritten)
        return rasterProgramHeader(facts.timestamp, facts.sourceName, facts.feedRate);
    return machine::programPreamble(machine, facts, rapidHeight, machine::NumberStyle::Fixed);
}

std::string rasterProgramEnd(const machine::MachineSettings& machine, const RasterProgramBody& body,
                             double rapidHeight)
{
    if (machine.machine == machine::Machine::AsWritten)
        return {};
    return machine::programEnding(machine, body.lastZ(), rapidHeight, machine::NumberStyle::Fixed);
}

} // namespace corvane::relief
