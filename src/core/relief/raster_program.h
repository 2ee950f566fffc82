// The raster program as text (a "DNC file"): a comment line naming the date and the source
// picture, "G90 T0 F<feed>", then one line per move that changes something. A line carries
// its move word only when the kind changes (otherwise it starts with a blank) and only the
// coordinates that differ from the previous move. CR LF line ends, "%.4f" numbers.
#pragma once

#include "common/run_control.h"
#include "machine/program_frame.h"
#include "relief/byte_sink.h"
#include "relief/raster_move.h"
#include "relief/relief_parameters.h"
#include "simulation/tool_moves.h"

#include <optional>
#include <string>
#include <vector>

namespace corvane::relief {

// Lines 1 and 2. timestamp is the date and time text (see common/timestamp.h).
std::string rasterProgramHeader(const std::string& timestamp, const std::string& sourceName,
                                double feedRate);

// Formats moves into program lines as they arrive and hands them to `out` in large blocks.
class RasterProgramBody : public MoveSink {
public:
    explicit RasterProgramBody(ByteSink& out) : out_(out) { block_.reserve(BlockSize + 256); }
    // For a machine profile: the preamble has left the tool at the rapid height over a
    // place the program does not know, so the first move names X and Y; feed moves carry
    // the F words of `feeds`, and the feed moves are timed.
    RasterProgramBody(ByteSink& out, const machine::FeedWords& feeds, double rapidHeight);
    ~RasterProgramBody() override = default;
    void add(const RasterMove& move) override;
    // Hands over what is still buffered. Call once after the last move.
    void flush();

    double lastZ() const { return previousZ_; }
    // The feed moves at their rates, for the comment header (0 without a profile).
    double cuttingMinutes() const { return clock_ ? clock_->time().minutes : 0; }

private:
    static constexpr std::size_t BlockSize = 1 << 20;
    ByteSink& out_;
    std::string block_;
    int previousKind_ = -1;
    double previousX_ = 0, previousY_ = 0, previousZ_ = 0;
    std::optional<machine::FeedWords> feeds_;
    std::optional<simulation::MachiningClock> clock_;
};

// Writes the header and the moves to fileName, replacing it only when complete. Esc before
// or during the writing leaves whatever file was there untouched (returns false): a machine
// must never run half a program. Throws corvane::Error naming the file on failure.
bool WriteRasterProgram(const std::string& fileName, const std::string& sourceName,
                        const std::vector<RasterMove>& moves, double feedRate, RunControl& control);

// The body a program for `machine` is formatted with.
RasterProgramBody rasterProgramBody(ByteSink& out, const machine::MachineSettings& machine,
                                    double feedRate, double rapidHeight);

// The comment header's facts of a relief program; no tool line without a tool.
machine::ProgramFacts rasterFacts(const std::string& sourceName, const ReliefParameters& relief,
                                  std::optional<ToolShape> tool, double toolDiameter,
                                  double feedRate, double cuttingMinutes);

// The header of a raster program written for `machine`: today's two lines for As Written,
// the profile's comments and preamble otherwise. `facts` is read only for a profile.
std::string rasterProgramStart(const machine::MachineSettings& machine,
                               const machine::ProgramFacts& facts, double rapidHeight);
// Nothing for As Written; the profile's retract, spindle stop and program end otherwise.
std::string rasterProgramEnd(const machine::MachineSettings& machine, const RasterProgramBody& body,
                             double rapidHeight);

} // namespace corvane::relief
