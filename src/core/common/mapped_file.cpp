#include "common/mapped_file.h"

#include "common/error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

// Closes the descriptor on every way out; the mapping stays valid without it.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

MappedFile::MappedFile(const std::string& path)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer before we can refuse it.
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        throw Error(path, std::string("cannot open the file: ") + std::strerror(errno));
    struct stat info {};
    if (::fstat(file.fd, &info) != 0)
        throw Error(path, std::string("cannot read the file: ") + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        throw Error(path, "is not a regular file");
    size_ = std::size_t(info.st_size);
    if (size_ == 0)
        return; // mmap refuses a length of 0
    data_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file.fd, 0);
    if (data_ == MAP_FAILED) {
        data_ = nullptr;
        size_ = 0;
        throw Error(path, std::string("cannot map the file: ") + std::strerror(errno));
    }
    // Read ahead generously: the readers go through the bytes once, front to back.
    ::madvise(data_, size_, MADV_SEQUENTIAL);
}

MappedFile::~MappedFile()
{
    if (data_)
        ::munmap(data_, size_);
}

} // namespace corvane
