#include "dnc/dnc_reader.h"

#include "common/error.h"
#include "common/pages_ahead.h"
#include "common/regular_file.h"
#include "dnc/line_reader.h"

#include <cerrno>
#include <cstring>
#include <optional>
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

namespace {

// How far ahead of the reading the helper faults in the records' pages.
constexpr std::size_t WindowBytes = std::size_t(32) << 20;

DncProgram parse(std::string_view bytes, RunControl& control, bool pagesAhead)
{
    DncProgram program;
    detail::reserveMoves(program.moves, bytes);
    detail::Reader reader(program.moves, program.extents);
    detail::ProgressPoints progress(control, 0, bytes.size());
    const std::size_t room = program.moves.capacity();
    std::optional<PagesAhead> pages;
    if (pagesAhead)
        pages.emplace(std::vector<PagesAhead::Range>{{program.moves.data(), room * sizeof(DncMove)}},
                      WindowBytes);
    const char* const end = bytes.data() + bytes.size();
    detail::LineWords words;
    std::size_t pos = 0, lines = 0;
    while (pos < bytes.size()) {
        const char* lineEnd = words.scan(bytes.data() + pos, end);
        reader.line(words);
        pos = std::size_t(lineEnd - bytes.data()) + 1;
        if (pages && (++lines & 0xFFF) == 0) {
            pages->reached(0, program.moves.size() * sizeof(DncMove));
            // Lines shorter than the estimate allows outgrow the room: the records moved.
            if (program.moves.capacity() != room)
                pages.reset();
        }
        if (!progress.reached(pos))
            break;
    }
    pages.reset();
    control.endProgress(ProgressDisplay::Gauge);
    detail::finishExtents(program.extents);
    return program;
}

} // namespace

DncProgram ParseDncProgramOnOneThread(std::string_view bytes, RunControl& control)
{
    return parse(bytes, control, false);
}

DncProgram ParseDncProgram(std::string_view bytes, RunControl& control)
{
    return parse(bytes, control,
                 bytes.size() >= PagesAheadBytes && std::thread::hardware_concurrency() >= 2);
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
