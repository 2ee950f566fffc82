#include "imaging/byte_input.h"

#include "common/error.h"
#include "common/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane::imaging {

std::size_t MemoryInput::read(void* into, std::size_t size)
{
    const std::size_t n = std::min(size, bytes_.size() - pos_);
    if (n)
        std::memcpy(into, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
}

bool MemoryInput::seek(std::uint64_t offset)
{
    if (offset > bytes_.size())
        return false;
    pos_ = std::size_t(offset);
    return true;
}

FileInput::FileInput(const std::string& path)
{
    // Opened without waiting: a FIFO put in a picture's place is refused, not waited on.
    RegularFile file(path, "cannot open");
    size_ = file.size();
    file_ = ::fdopen(file.descriptor(), "rb");
    if (!file_)
        throw Error(path, std::string("cannot open: ") + std::strerror(errno));
    file.release();
    // Large blocks: the decoders ask for a row or a few kilobytes at a time.
    std::setvbuf(file_, nullptr, _IOFBF, std::size_t(1) << 20);
}

FileInput::~FileInput()
{
    std::fclose(file_);
}

std::size_t FileInput::read(void* into, std::size_t size)
{
    const std::size_t n = std::fread(into, 1, size, file_);
    pos_ += n;
    return n;
}

bool FileInput::seek(std::uint64_t offset)
{
    if (offset > size_ || fseeko(file_, off_t(offset), SEEK_SET) != 0)
        return false;
    pos_ = offset;
    return true;
}

} // namespace corvane::imaging
