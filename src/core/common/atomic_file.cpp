#include "common/atomic_file.h"

#include "common/error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

std::string systemReason(int err) { return std::strerror(err); }

bool isSpecialFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

} // namespace

AtomicFile::AtomicFile(std::string targetPath) : target_(std::move(targetPath))
{
    if (target_.empty())
        throw Error("no file name given");
    if (isSpecialFile(target_)) {
        if (std::filesystem::is_directory(target_))
            throw Error(target_, "is a folder, not a file");
        inPlace_ = true;
        workingPath_ = target_;
        file_ = std::fopen(target_.c_str(), "wb");
        if (!file_)
            fail("cannot open for writing", errno);
        return;
    }
    const std::filesystem::path target(target_);
    std::string folder = target.parent_path().string();
    if (folder.empty())
        folder = ".";
    std::string pattern = folder + "/." + target.filename().string() + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        fail("cannot create a file in " + folder, errno);
    // Keep the permissions a newly created file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    workingPath_ = pattern;
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int err = errno;
        ::close(fd);
        ::unlink(workingPath_.c_str());
        fail("cannot open for writing", err);
    }
}

AtomicFile::~AtomicFile()
{
    if (!done_)
        discard();
}

void AtomicFile::fail(const std::string& what, int err)
{
    throw Error(target_, what + ": " + systemReason(err));
}

void AtomicFile::write(std::string_view bytes) { write(bytes.data(), bytes.size()); }

void AtomicFile::write(const char* data, std::size_t size)
{
    if (!file_)
        throw Error(target_, "file is not open for writing");
    if (size && std::fwrite(data, 1, size, file_) != size)
        fail("write failed", errno);
}

void AtomicFile::closeForExternalWriter()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

void AtomicFile::commit()
{
    if (file_) {
        if (std::fflush(file_) != 0) {
            const int err = errno;
            std::fclose(file_);
            file_ = nullptr;
            fail("write failed", err);
        }
        if (!inPlace_ && ::fsync(::fileno(file_)) != 0) {
            const int err = errno;
            std::fclose(file_);
            file_ = nullptr;
            fail("write failed", err);
        }
        const int closed = std::fclose(file_);
        file_ = nullptr;
        if (closed != 0)
            fail("write failed", errno);
    }
    if (!inPlace_ && std::rename(workingPath_.c_str(), target_.c_str()) != 0)
        fail("cannot replace the file", errno);
    done_ = true;
}

void AtomicFile::discard()
{
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!inPlace_ && !workingPath_.empty())
        ::unlink(workingPath_.c_str());
    done_ = true;
}

} // namespace corvane
