#include "common/regular_file.h"

#include "common/error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvane {

namespace {

std::string because(const std::string& what, int err)
{
    return what + ": " + std::strerror(err);
}

// Back to waiting reads and writes: only the open was not to wait.
void waitAgain(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

} // namespace

RegularFile::RegularFile(const std::string& path, const std::string& openFailure) : path_(path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0)
        throw Error(path, because(openFailure, errno));
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        const int err = errno;
        ::close(fd_);
        throw Error(path, because(openFailure, err));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd_);
        throw Error(path,
                    S_ISDIR(info.st_mode) ? "is a folder, not a file" : "is not a regular file");
    }
    waitAgain(fd_);
    size_ = std::uint64_t(info.st_size);
    modifiedSeconds_ = info.st_mtim.tv_sec;
    modifiedNanoseconds_ = info.st_mtim.tv_nsec;
}

RegularFile::~RegularFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int RegularFile::release()
{
    return std::exchange(fd_, -1);
}

bool RegularFile::changed() const
{
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0)
        return true;
    return std::uint64_t(info.st_size) != size_ || info.st_mtim.tv_sec != modifiedSeconds_ ||
           info.st_mtim.tv_nsec != modifiedNanoseconds_;
}

void RegularFile::checkUnchanged() const
{
    if (changed())
        throwChangedWhileRead(path_);
}

void throwChangedWhileRead(const std::string& path)
{
    throw Error(path, "changed while it was read");
}

std::FILE* openInPlaceForWriting(const std::string& path, const std::string& openFailure)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENXIO) // a FIFO without a reader; waiting would wait for ever
            throw Error(path, "is a pipe that no program reads from");
        if (errno == EISDIR)
            throw Error(path, "is a folder, not a file");
        throw Error(path, because(openFailure, errno));
    }
    waitAgain(fd);
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        const int err = errno;
        ::close(fd);
        throw Error(path, because(openFailure, err));
    }
    return file;
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace corvane
