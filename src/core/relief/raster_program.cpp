#include "relief/raster_program.h"

#include "common/atomic_file.h"
#include "common/number_format.h"
#include "common/timestamp.h"
#include "relief/row_progress.h"

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

void RasterProgramBody::add(const RasterMove& move)
{
    const std::size_t lineStart = block_.size();
    if (move.kind != previousKind_)
        block_ += move.kind == RasterRapid ? "G00" : "G01";
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

} // namespace corvane::relief
