#include "dnc/dnc_reader.h"

#include "common/error.h"
#include "common/regular_file.h"
#include "dnc/line_reader.h"
#include "dnc/two_thread_read.h"

#include <cerrno>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace corvane::dnc {

namespace {

// The whole file as it was when opened. A file that another program shortens, lengthens or
// rewrites while it is read would give half a program that looks whole: it is refused.
std::string readAll(const RegularFile& file)
{
    std::string bytes;
    try {
        bytes.resize(std::size_t(file.size()));
    } catch (const std::exception&) {
        throw Error(file.path(), "is too large to load");
    }
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.descriptor(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Error(file.path(), std::string("cannot be read: ") + std::strerror(errno));
        if (n == 0)
            throwChangedWhileRead(file.path()); // shorter than it was
        got += std::size_t(n);
    }
    file.checkUnchanged();
    return bytes;
}

} // namespace

DncProgram ParseDncProgramOnOneThread(std::string_view bytes, RunControl& control)
{
    DncProgram program;
    detail::reserveMoves(program.moves, bytes);
    detail::Reader reader(program.moves, program.extents);
    detail::ProgressPoints progress(control, 0, bytes.size());
    bool escaped = false;
    detail::readLines(reader, bytes, 0, bytes.size(), progress, escaped);
    control.endProgress(ProgressDisplay::Gauge);
    detail::finishExtents(program.extents);
    return program;
}

DncProgram ParseDncProgram(std::string_view bytes, RunControl& control)
{
    if (bytes.size() < TwoThreadBytes || std::thread::hardware_concurrency() < 2)
        return ParseDncProgramOnOneThread(bytes, control);
    return ParseDncProgramFromSeam(bytes, bytes.size() / 100 * SeamPercent, control);
}

DncFile LoadDncProgram(const std::string& fileName, RunControl& control)
{
    // A device or a pipe could deliver bytes for ever, so only regular files are taken.
    const RegularFile file(fileName, "cannot be opened");
    control.showStatus("Loading " + fileName + "... Esc to Cancel.");
    DncFile result;
    result.bytes = readAll(file);
    result.program = ParseDncProgram(result.bytes, control);
    control.checkpoint();
    return result;
}

} // namespace corvane::dnc
