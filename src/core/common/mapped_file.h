// A whole file's bytes, read-only, without copying them: the file is mapped into memory so a
// reader can parse a file of gigabytes as one buffer while the system pages it in behind the
// parser. Only regular files are accepted: a pipe or a device would block or never end.
#pragma once

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

private:
    void* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace corvane
