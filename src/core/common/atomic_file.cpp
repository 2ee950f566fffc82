#include "common/atomic_file.h"

#include "common/error.h"
#include "common/regular_file.h"
#include "common/temporary_files.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

std::string systemReason(int err)
{
    return std::strerror(err);
}

bool isSpecialFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

// The file a path names once every symbolic link on the way is followed, so that saving
// through a link replaces the file it points to and the link stays a link. A link that
// points nowhere yet names the file to create.
std::string followLinks(const std::string& path, const std::string& shownName)
{
    namespace fs = std::filesystem;
    fs::path current(path);
    for (int hops = 0; hops < 40; ++hops) { // the system's own limit on a chain of links
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(current, ec)))
            return current.string();
        const fs::path next = fs::read_symlink(current, ec);
        if (ec)
            throw Error(shownName, "cannot follow the link: " + ec.message());
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    throw Error(shownName, "cannot follow the link: " + systemReason(ELOOP));
}

// The permissions the new file starts with: those of the file it replaces, else what a
// newly created file gets under the umask.
mode_t permissionsFor(const struct stat* existing)
{
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Twelve letters and digits: a name nobody else picks by chance.
std::string randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, 0) != ssize_t(sizeof bits)) {
        static std::atomic<std::uint64_t> counter{0};
        bits = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (std::uint64_t(::getpid()) << 32) ^ (counter++ * 0x9e3779b97f4a7c15ULL);
    }
    std::string suffix;
    for (int i = 0; i < 12; ++i, bits /= 62)
        suffix += letters[bits % 62];
    return suffix;
}

// The part of the target's name the hidden temporary file starts with: "." + name + "." +
// the twelve letters of the suffix must stay within the folder's longest name, or a target
// whose own name is near that limit could never be saved. A cut never splits a UTF-8
// character.
std::string temporaryStem(const std::string& name, const std::string& folder)
{
    constexpr std::size_t added = 14; // the two dots and the suffix
    long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0)
        longest = NAME_MAX;
    const std::size_t room = std::size_t(longest) > added ? std::size_t(longest) - added : 1;
    if (name.size() <= room)
        return name;
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut);
}

// Creates prefix + a random suffix exclusively, registering the name for removal on an
// interrupt before the file exists: registering after mkstemp would leave a moment in which
// an interrupt finds a file it does not know. Returns the descriptor, or -1 with errno set.
int createRegisteredSibling(const std::string& prefix, std::string& path, int& registration)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = prefix + randomSuffix();
        registration = registerTemporaryFile(path.c_str());
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            return fd;
        const int err = errno;
        forgetTemporaryFile(registration);
        registration = -1;
        if (err != EEXIST) {
            errno = err;
            return -1;
        }
    }
    errno = EEXIST;
    return -1;
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
        file_ = openInPlaceForWriting(target_, "cannot open for writing");
        return;
    }
    replaced_ = followLinks(target_, target_);
    struct stat existing {};
    const bool exists = ::stat(replaced_.c_str(), &existing) == 0;
    // Renaming over a file needs only a writable folder, so its own protection must be
    // honoured here, for root too (who may write anything): no write bit means "keep".
    if (exists && (existing.st_mode & 0222) == 0)
        throw Error(target_, "is write-protected and was left as it was");
    if (exists && ::access(replaced_.c_str(), W_OK) != 0 && errno == EACCES)
        throw Error(target_, "may not be replaced by you and was left as it was");

    const std::filesystem::path target(replaced_);
    std::string folder = target.parent_path().string();
    if (folder.empty())
        folder = ".";
    const int fd = createRegisteredSibling(
        folder + "/." + temporaryStem(target.filename().string(), folder) + ".", workingPath_,
        registration_);
    if (fd < 0)
        fail("cannot create a file in " + folder, errno);
    // Keep the owner and group where the system lets us (root may; others may keep a group
    // they belong to); otherwise the file is ours, as any new file would be. Permissions
    // come after, since a change of owner clears the set-id bits.
    if (exists && ::fchown(fd, existing.st_uid, existing.st_gid) != 0 &&
        ::fchown(fd, ::geteuid(), existing.st_gid) != 0) {
    }
    ::fchmod(fd, permissionsFor(exists ? &existing : nullptr));
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        const int err = errno;
        ::close(fd);
        ::unlink(workingPath_.c_str());
        forgetTemporaryFile(registration_);
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

void AtomicFile::write(std::string_view bytes)
{
    write(bytes.data(), bytes.size());
}

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
    } else if (!inPlace_) {
        // A library wrote the file under its own handle: it reaches the disk before it
        // replaces the old one all the same, so a crash never leaves a half-written picture.
        const int fd = ::open(workingPath_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            fail("write failed", errno);
        const int synced = ::fsync(fd);
        const int err = errno;
        ::close(fd);
        if (synced != 0)
            fail("write failed", err);
    }
    if (!inPlace_ && std::rename(workingPath_.c_str(), replaced_.c_str()) != 0)
        fail("cannot replace the file", errno);
    // Only now: an interrupt between the rename and this finds nothing left to remove.
    forgetTemporaryFile(registration_);
    registration_ = -1;
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
    forgetTemporaryFile(registration_);
    registration_ = -1;
    done_ = true;
}

} // namespace corvane
