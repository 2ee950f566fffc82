// Writing a file so that a failure never leaves a half-written file under the chosen name
// and never destroys the file that was there: the data go to a temporary file in the same
// folder, which replaces the target only when complete (commit). A target that exists and is
// not a regular file (a device such as /dev/full, a pipe) is written in place instead; a
// pipe that no program reads from is refused rather than waited on.
//
// As a save in any editor: a symbolic link is followed and the file it names is replaced
// (the link stays), the replaced file's permissions (and owner, where allowed) are kept, and
// a write-protected file (no write bit for anyone) is refused, whoever runs the program.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace corvane {

class AtomicFile {
public:
    // Opens the temporary file; throws corvane::Error naming the target on failure and for
    // a write-protected target.
    explicit AtomicFile(std::string targetPath);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Buffered writes; throw corvane::Error naming the target when the system refuses them.
    void write(std::string_view bytes);
    void write(const char* data, std::size_t size);

    // Where the bytes go, for libraries that want a file name of their own to write to
    // (close the stream first with closeForExternalWriter()).
    const std::string& workingPath() const { return workingPath_; }
    void closeForExternalWriter();

    // Flushes, syncs and moves the temporary file into place. Throws corvane::Error.
    void commit();
    // Drops everything written; the target stays as it was.
    void discard();

    const std::string& targetPath() const { return target_; }

private:
    [[noreturn]] void fail(const std::string& what, int err);
    std::string target_;   // as given, for messages
    std::string replaced_; // the file that commit replaces: target_ with links followed
    std::string workingPath_;
    std::FILE* file_ = nullptr;
    int registration_ = -1; // of the temporary file, removed by an interrupt (temporary_files.h)
    bool inPlace_ = false;
    bool done_ = false;
};

} // namespace corvane
