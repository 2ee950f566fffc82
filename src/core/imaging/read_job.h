// What every picture decoder gets, and the steps they share: sizing the pixels within the
// memory there is, and reporting progress row by row with a chance to stop.
#pragma once

#include "common/error.h"
#include "common/run_control.h"
#include "imaging/byte_input.h"
#include "imaging/picture.h"

#include <cstdint>
#include <limits>
#include <string>

namespace corvane::imaging {

// The user stopped a read (Esc). A corvane::Error, so callers that only report errors still
// report it; callers that close the window instead catch this type first.
class ReadStopped : public Cancelled {
public:
    explicit ReadStopped(const std::string& file) : Cancelled(file, "reading stopped by the user")
    {
    }
};

constexpr std::uint64_t noMemoryLimit = std::numeric_limits<std::uint64_t>::max();

// Memory the system can still give without swapping anything out (MemAvailable plus free
// swap); noMemoryLimit when it cannot tell.
std::uint64_t availableMemory();

// "not enough memory to <step> a picture of W x H pixels: it needs N MB" and, when known,
// how much is free. The one wording for every step that sizes a whole picture.
std::string notEnoughMemory(const std::string& step, int width, int height, std::uint64_t needed,
                            std::uint64_t available = noMemoryLimit);

struct ReadJob {
    ByteInput& in;
    std::string name; // the file, or what the bytes are, for messages
    RunControl& control;
    std::uint64_t memoryLimit = noMemoryLimit; // bytes the picture's pixels may take
};

// Sets width, height and bitCount and sizes the pixels (rowStride() x height). Throws
// corvane::Error naming the file, the size and the memory needed when the picture is larger
// than the job's memory limit or the system refuses the memory; never std::bad_alloc.
void allocatePixels(Picture& picture, int width, int height, int bitCount, const ReadJob& job);

// A palette of `entries` greys from black to white, padded with black to 2^bitCount entries.
std::vector<Rgb> greyPalette(int bitCount, int entries);

// Row progress of a read on the status-bar gauge: reports whenever the percentage grows,
// lets the caller process events there, and throws ReadStopped when Esc (or a Cancel) asks
// the read to stop.
class RowProgress {
public:
    RowProgress(const ReadJob& job, long long total) : job_(job), total_(total > 0 ? total : 1) {}
    void advance(long long done)
    {
        if (done * 100 / total_ > lastPercent_)
            report(done);
    }
    void finish() { report(total_); }

private:
    void report(long long done);
    const ReadJob& job_;
    long long total_;
    long long lastPercent_ = -1;
};

// Refuses, naming the file, what is missing, a folder, a device or a pipe (which could feed
// a decoder without end) and an empty file.
void checkIsReadableFile(const std::string& path);

// Thrown by the decoders for data that end early or contradict themselves.
[[noreturn]] void throwDamaged(const ReadJob& job, const std::string& reason);

} // namespace corvane::imaging
