#include "relief/program_spool.h"

#include "common/error.h"
#include "relief/row_progress.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace corvane::relief {

namespace {

[[noreturn]] void spoolFailure(const char* what, int err)
{
    throw Error("temporary program file", std::string(what) + ": " + std::strerror(err));
}

} // namespace

ProgramSpool::ProgramSpool()
{
    file_ = std::tmpfile();
    if (!file_)
        spoolFailure("cannot be created", errno);
}

ProgramSpool::~ProgramSpool()
{
    if (file_)
        std::fclose(file_);
}

void ProgramSpool::write(std::string_view bytes)
{
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
        spoolFailure("write failed", errno);
    size_ += static_cast<long long>(bytes.size());
}

bool ProgramSpool::copyTo(AtomicFile& target, RunControl& control)
{
    if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0)
        spoolFailure("cannot be read back", errno);
    constexpr std::size_t ChunkSize = 1 << 20;
    std::vector<char> chunk(ChunkSize);
    const long long chunks =
        (size_ + static_cast<long long>(ChunkSize) - 1) / static_cast<long long>(ChunkSize);
    ProgressStride stride(0, (chunks - 1) / 10);
    for (long long i = 0; i < chunks; ++i) {
        if (stride.due(i) && gaugePointStopsForEscape(control, i, chunks - 1))
            return false;
        const std::size_t got = std::fread(chunk.data(), 1, ChunkSize, file_);
        if (got == 0 && std::ferror(file_))
            spoolFailure("cannot be read back", errno);
        target.write(chunk.data(), got);
    }
    control.endProgress(ProgressDisplay::Gauge);
    return true;
}

} // namespace corvane::relief
