// Opening the files the program reads and writes without ever waiting on the open itself.
//
// Opening a FIFO waits for the other end (a writer when reading, a reader when writing), and
// opening a terminal or a modem line may wait for a carrier: a command given such a name
// would hang before it could look at what it opened. Every open here asks the system not to
// wait (O_NONBLOCK) and looks at the file through the descriptor it got, so nothing can
// swap the file between the look and the open; the descriptor is then switched back to
// waiting reads and writes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace corvane {

// A regular file open for reading, remembered as it was when opened so that a change while
// it is read can be told (another program truncating or rewriting it).
class RegularFile {
public:
    // Throws corvane::Error naming the file: "<openFailure>: <system reason>" when it cannot
    // be opened, "is a folder, not a file", or "is not a regular file" (a FIFO, a device, a
    // socket).
    explicit RegularFile(const std::string& path, const std::string& openFailure = "cannot open");
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }
    std::uint64_t size() const { return size_; } // when opened

    // Hands the descriptor over (to fdopen); this object no longer closes it.
    int release();

    // Whether the file's size or modification time differ from when it was opened. A file
    // that can no longer be looked at counts as changed.
    bool changed() const;
    // Throws corvane::Error(path, "changed while it was read") when changed().
    void checkUnchanged() const;

private:
    std::string path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::int64_t modifiedSeconds_ = 0;
    long modifiedNanoseconds_ = 0;
};

// Throws corvane::Error(path, "changed while it was read").
[[noreturn]] void throwChangedWhileRead(const std::string& path);

// Opens something that is not a regular file (a device such as /dev/full, a FIFO, a serial
// line) for writing in place, without waiting: a FIFO that no program reads from is refused
// with corvane::Error naming it ("is a pipe that no program reads from"), as is a folder.
// Other failures throw "<openFailure>: <system reason>".
std::FILE* openInPlaceForWriting(const std::string& path, const std::string& openFailure);

// Whether both names lead to the same file (same device and inode, links followed). False
// when either does not exist, so a file about to be created is never "the same".
bool sameFile(const std::string& a, const std::string& b);

} // namespace corvane
