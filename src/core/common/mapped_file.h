// A whole file's bytes, read-only, without copying them: the file is mapped into memory so a
// reader can parse a file of gigabytes as one buffer while the system pages it in behind the
// parser. Only regular files are accepted: a pipe or a device would block or never end.
//
// Another program may shorten or rewrite the file while it is read. The mapping is guarded
// (mapping_guard.h): pages lost to a shortening read as zeros instead of ending the process,
// and checkUnchanged() tells the reader afterwards that what it read cannot be trusted.
#pragma once

#include "common/regular_file.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

class MappedFile {
public:
    // Throws corvane::Error naming the file when it cannot be opened, is not a regular file,
    // or cannot be mapped.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Empty for an empty file. Valid as long as this object lives.
    std::string_view bytes() const { return {static_cast<const char*>(data_), size_}; }

    // Throws corvane::Error(path, "changed while it was read") when pages of the mapping were
    // lost or the file's size or modification time differ from when it was mapped.
    void checkUnchanged() const;

private:
    RegularFile file_;
    void* data_ = nullptr;
    std::size_t size_ = 0;
    int guard_ = -1;
};

} // namespace corvane
