#include "imaging/plugin_filter.h"

#include "common/child_processes.h"
#include "common/error.h"
#include "common/out_of_memory.h"
#include "imaging/pnm_codec.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace corvane::imaging {

namespace {

namespace fs = std::filesystem;

// What a plug-in may write, by the size of the picture it was given: a filter that enlarges
// the picture 4 times each way (16 times the bytes) still fits, as does any result of a
// small picture up to 64 MB; a runaway program is stopped long before it fills the memory.
// Never more than 4 GB, the most a picture we can hold takes.
constexpr std::size_t outputFactor = 16;
constexpr std::size_t smallestOutputCap = std::size_t(64) << 20;
constexpr std::size_t largestOutputCap = std::size_t(4) << 30;
constexpr std::size_t maxErrorTextBytes = 4096;
// The plug-in's own words quoted in our message: one line a person reads, not a page.
constexpr std::size_t quotedErrorChars = 200;

std::size_t outputCap(std::size_t inputBytes)
{
    const std::size_t scaled =
        inputBytes > largestOutputCap / outputFactor ? largestOutputCap : inputBytes * outputFactor;
    return std::clamp(scaled, smallestOutputCap, largestOutputCap);
}

// A file descriptor that closes itself.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& o) noexcept : fd_(std::exchange(o.fd_, -1)) {}
    Fd& operator=(Fd&& o) noexcept
    {
        reset();
        fd_ = std::exchange(o.fd_, -1);
        return *this;
    }
    ~Fd() { reset(); }
    int get() const { return fd_; }
    void reset()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

struct Pipe {
    Fd read, write;
};

Pipe makePipe(const std::string& name)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw Error(name, std::string("cannot create a pipe: ") + std::strerror(errno));
    return {Fd(fds[0]), Fd(fds[1])};
}

// Writes the whole buffer to the program's input from its own thread, so a program that
// writes its output before it has read all its input cannot deadlock with us. A program
// that stops reading early gives EPIPE here (SIGPIPE is blocked in this thread), which is
// not our failure: its exit status tells. `fed` counts the bytes handed over, for progress.
void feedInput(Fd input, const std::string& bytes, std::atomic<std::size_t>& fed)
{
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 20);
        const ssize_t n = ::write(input.get(), bytes.data() + done, chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
        fed.store(done, std::memory_order_relaxed);
    }
    input.reset();
    // Collect the SIGPIPE a closed pipe raised, so it does not stay pending on the thread.
    timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) > 0) {
    }
}

struct Captured {
    std::string output, errors;
    bool overflow = false;
    bool stopped = false; // the user stopped the program
};

// Reads the program's output and error streams until both are closed, giving the caller a
// checkpoint whenever nothing arrived for a tenth of a second (and at least that often).
Captured capture(Fd output, Fd errors, pid_t group, std::size_t maxOutputBytes, RunControl& control,
                 const std::function<void()>& showProgress)
{
    Captured c;
    pollfd fds[2] = {{output.get(), POLLIN, 0}, {errors.get(), POLLIN, 0}};
    char buffer[65536];
    int open = 2;
    auto lastCheck = std::chrono::steady_clock::now();
    while (open > 0) {
        const int ready = ::poll(fds, 2, 100);
        if (ready < 0 && errno != EINTR)
            break;
        const auto now = std::chrono::steady_clock::now();
        if (ready <= 0 || now - lastCheck > std::chrono::milliseconds(100)) {
            lastCheck = now;
            showProgress();
            control.checkpoint();
            if (control.escapePressed() || control.takeStopRequest()) {
                ::kill(-group, SIGKILL);
                c.stopped = true;
                return c;
            }
        }
        if (ready <= 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                fds[i].fd = -1;
                --open;
                continue;
            }
            std::string& into = i == 0 ? c.output : c.errors;
            const std::size_t limit = i == 0 ? maxOutputBytes : maxErrorTextBytes;
            if (into.size() + std::size_t(n) > limit) {
                if (i == 0) {
                    c.overflow = true;
                    ::kill(-group, SIGKILL);
                    return c;
                }
                // The error text's start is what is quoted: keep it, drop the rest.
                into.append(buffer, limit - std::min(limit, into.size()));
                continue;
            }
            into.append(buffer, std::size_t(n));
        }
    }
    return c;
}

// The first line of what the plug-in wrote on its error stream, cut to a length a person
// reads (never inside a UTF-8 character) with "..." where it was cut.
std::string firstLine(const std::string& text)
{
    std::string line = text.substr(0, text.find_first_of("\r\n"));
    if (line.size() <= quotedErrorChars)
        return line;
    std::size_t cut = quotedErrorChars;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut;
    return line.substr(0, cut) + "...";
}

// The plug-in's process group, which holds it and whatever it starts: remembered for the
// interrupt handler while it may run, and ended on every way out, so that nothing the
// plug-in started outlives the filter.
class ChildGroup {
public:
    explicit ChildGroup(pid_t group) : group_(group), registration_(registerChildGroup(group)) {}
    ~ChildGroup()
    {
        ::kill(-group_, SIGKILL);
        forgetChildGroup(registration_);
    }
    ChildGroup(const ChildGroup&) = delete;
    ChildGroup& operator=(const ChildGroup&) = delete;

private:
    pid_t group_;
    int registration_;
};

pid_t spawn(const std::string& programPath, Pipe& in, Pipe& out, Pipe& err)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.read.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.write.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.write.get(), STDERR_FILENO);
    std::string program = programPath;
    char* argv[] = {program.data(), nullptr};
    // A group of its own (numbered by the plug-in's process id), so that it can be ended
    // with everything it starts. It then no longer gets the terminal's Ctrl+C: the interrupt
    // handler ends it instead.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int status = posix_spawn(&pid, programPath.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (status != 0)
        throw Error(pluginName(programPath),
                    std::string("cannot start the plug-in: ") + std::strerror(status));
    return pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// A grey result of a palette picture goes back into the palette when that loses nothing:
// a plug-in should not turn a 4-bit grey picture into an 8-bit one behind the user's back.
Picture keepPaletteWherePossible(Picture result, const Picture& original)
{
    if (!original.indexed() || !result.indexed() || result.width != original.width ||
        result.height != original.height)
        return result;
    std::vector<int> indexOfGrey(256, -1);
    for (std::size_t i = 0; i < original.palette.size(); ++i) {
        const Rgb c = original.palette[i];
        if (c.r == c.g && c.g == c.b && indexOfGrey[c.r] < 0)
            indexOfGrey[c.r] = int(i);
    }
    Picture kept = original;
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
        const int index = indexOfGrey[result.palette[result.pixels[i]].r];
        if (index < 0)
            return result;
        kept.pixels[i] = std::uint8_t(index);
    }
    return kept;
}

} // namespace

std::vector<std::string> listPlugins(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string path = it->path().string();
        if (fs::is_regular_file(it->path(), ec) && ::access(path.c_str(), X_OK) == 0)
            found.push_back(path);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string pluginName(const std::string& programPath)
{
    return fs::path(programPath).filename().string();
}

Picture runPluginFilter(const std::string& programPath, const Picture& picture, RunControl& control)
{
    const std::string name = pluginName(programPath);
    if (picture.empty())
        throw Error(name, "there is no picture to filter");
    std::string input = encodePnm(picture);
    Pipe in = makePipe(name), out = makePipe(name), err = makePipe(name);
    const pid_t pid = spawn(programPath, in, out, err);
    // Remembered at once, though an interrupt in the moment between the start and this line
    // still misses it.
    std::optional<ChildGroup> group(std::in_place, pid);
    in.read.reset();
    out.write.reset();
    err.write.reset();

    control.showStatus("Running plug-in " + name + "... Esc to Cancel.");
    std::atomic<std::size_t> fed{0};
    const auto showProgress = [&] {
        const std::size_t done = fed.load(std::memory_order_relaxed);
        control.showProgress(ProgressDisplay::Gauge,
                             int(std::min<std::size_t>(100, done * 100 / input.size())));
    };
    std::thread feeder(feedInput, std::move(in.write), std::cref(input), std::ref(fed));
    Captured captured;
    try {
        captured = capture(std::move(out.read), std::move(err.read), pid, outputCap(input.size()),
                           control, showProgress);
    } catch (...) {
        ::kill(-pid, SIGKILL); // a checkpoint threw: the program must not outlive the run
        waitFor(pid);
        feeder.join();
        control.endProgress(ProgressDisplay::Gauge);
        throw;
    }
    const int status = waitFor(pid);
    group.reset(); // what the plug-in left running goes with it
    feeder.join();
    control.endProgress(ProgressDisplay::Gauge);
    if (captured.stopped)
        throw Cancelled(name);

    const std::string detail = captured.errors.empty() ? "" : ": " + firstLine(captured.errors);
    if (captured.overflow)
        throw Error(name, "plug-in wrote more than " + memoryText(outputCap(input.size())) +
                              ", more than any result of this picture needs; stopped");
    if (WIFSIGNALED(status))
        throw Error(name,
                    "plug-in crashed (signal " + std::to_string(WTERMSIG(status)) + ")" + detail);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(name, "plug-in failed with exit status " + std::to_string(WEXITSTATUS(status)) +
                              detail);
    Picture result;
    try {
        result = decodePnm(captured.output);
    } catch (const Error& e) {
        throw Error(name, "plug-in gave no usable picture: " + e.reason() + detail);
    }
    result.xRes = picture.xRes;
    result.yRes = picture.yRes;
    return keepPaletteWherePossible(std::move(result), picture);
}

} // namespace corvane::imaging
