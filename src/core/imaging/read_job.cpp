#include "imaging/read_job.h"

#include "common/huge_pages.h"

#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>

namespace corvane::imaging {

std::uint64_t availableMemory()
{
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    std::uint64_t available = 0, swapFree = 0;
    bool known = false;
    while (std::getline(meminfo, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kilobytes = 0;
        fields >> key >> kilobytes;
        if (key == "MemAvailable:") {
            available = kilobytes * 1024;
            known = true;
        } else if (key == "SwapFree:") {
            swapFree = kilobytes * 1024;
        }
    }
    return known ? available + swapFree : noMemoryLimit;
}

namespace {

std::string megabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1u << 20) - 1) >> 20) + " MB";
}
} // namespace

std::string notEnoughMemory(const std::string& step, int width, int height, std::uint64_t needed,
                            std::uint64_t available)
{
    std::string text = "not enough memory to " + step + " a picture of " + std::to_string(width) +
                       " x " + std::to_string(height) + " pixels: it needs " + megabytes(needed);
    if (available != noMemoryLimit)
        text += ", " + megabytes(available) + " are free";
    return text;
}

void allocatePixels(Picture& picture, int width, int height, int bitCount, const ReadJob& job)
{
    if (width <= 0 || height <= 0)
        throw Error(job.name, "picture has no pixels (" + std::to_string(width) + " x " +
                                  std::to_string(height) + ")");
    picture.width = width;
    picture.height = height;
    picture.bitCount = bitCount;
    const std::uint64_t bytes = std::uint64_t(picture.rowStride()) * std::uint64_t(height);
    if (bytes > job.memoryLimit)
        throw Error(job.name, notEnoughMemory("read", width, height, bytes, job.memoryLimit));
    try {
        picture.pixels.reserve(std::size_t(bytes));
        adviseHugePages(picture.pixels.data(), std::size_t(bytes));
        picture.pixels.resize(std::size_t(bytes));
    } catch (const std::bad_alloc&) {
        throw Error(job.name, notEnoughMemory("read", width, height, bytes, availableMemory()));
    } catch (const std::length_error&) {
        throw Error(job.name, notEnoughMemory("read", width, height, bytes, availableMemory()));
    }
}

std::vector<Rgb> greyPalette(int bitCount, int entries)
{
    std::vector<Rgb> palette(std::size_t(1) << bitCount);
    for (int i = 0; i < entries; ++i) {
        const auto v = std::uint8_t(entries > 1 ? i * 255 / (entries - 1) : 0);
        palette[std::size_t(i)] = {v, v, v};
    }
    return palette;
}

void RowProgress::report(long long done)
{
    lastPercent_ = done * 100 / total_;
    job_.control.showProgress(ProgressDisplay::Gauge, int(lastPercent_));
    job_.control.checkpoint();
    if (job_.control.escapePressed() || job_.control.takeStopRequest())
        throw ReadStopped(job_.name);
}

void checkIsReadableFile(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status))
        throw Error(path, "file not found");
    if (fs::is_directory(status))
        throw Error(path, "is a folder, not a picture file");
    if (!fs::is_regular_file(status))
        throw Error(path, "is not a regular file");
    if (fs::file_size(path, ec) == 0)
        throw Error(path, "file is empty");
}

void throwDamaged(const ReadJob& job, const std::string& reason)
{
    throw Error(job.name, "file is truncated or damaged: " + reason);
}

} // namespace corvane::imaging
