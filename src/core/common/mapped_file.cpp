#include "common/mapped_file.h"

#include "common/error.h"
#include "common/mapping_guard.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>

namespace corvane {

MappedFile::MappedFile(const std::string& path) : file_(path, "cannot open the file")
{
    size_ = std::size_t(file_.size());
    if (size_ == 0)
        return; // mmap refuses a length of 0
    data_ = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, file_.descriptor(), 0);
    if (data_ == MAP_FAILED) {
        data_ = nullptr;
        size_ = 0;
        throw Error(path, std::string("cannot map the file: ") + std::strerror(errno));
    }
    guard_ = guardMapping(data_, size_);
    // Read ahead generously: the readers go through the bytes once, front to back.
    ::madvise(data_, size_, MADV_SEQUENTIAL);
}

MappedFile::~MappedFile()
{
    unguardMapping(guard_);
    if (data_)
        ::munmap(data_, size_);
}

void MappedFile::checkUnchanged() const
{
    if (mappingLostPages(guard_))
        throwChangedWhileRead(file_.path());
    file_.checkUnchanged();
}

} // namespace corvane
