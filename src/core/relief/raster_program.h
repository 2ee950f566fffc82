// The raster program as text (a "DNC file"): a comment line naming the date and the source
// picture, "G90 T0 F<feed>", then one line per move that changes something. A line carries
// its move word only when the kind changes (otherwise it starts with a blank) and only the
// coordinates that differ from the previous move. CR LF line ends, "%.4f" numbers.
#pragma once

#include "common/run_control.h"
#include "relief/byte_sink.h"
#include "relief/raster_move.h"

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
    ~RasterProgramBody() override = default;
    void add(const RasterMove& move) override;
    // Hands over what is still buffered. Call once after the last move.
    void flush();

private:
    static constexpr std::size_t BlockSize = 1 << 20;
    ByteSink& out_;
    std::string block_;
    int previousKind_ = -1;
    double previousX_ = 0, previousY_ = 0, previousZ_ = 0;
};

// Writes the header and the moves to fileName, replacing it only when complete. Esc before
// or during the writing leaves whatever file was there untouched (returns false): a machine
// must never run half a program. Throws corvane::Error naming the file on failure.
bool WriteRasterProgram(const std::string& fileName, const std::string& sourceName,
                        const std::vector<RasterMove>& moves, double feedRate, RunControl& control);

} // namespace corvane::relief
