#include "dnc/two_thread_read.h"

#include "dnc/line_reader.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <sys/mman.h>
#include <thread>
#include <vector>

namespace corvane::dnc {

namespace {

using detail::ModalState;
using detail::Reader;

// How often the second thread notes its state: the first thread reads at most this many
// lines past the seam before it can take over, once the states have met.
constexpr std::size_t NoteLines = 4096;

struct Note {
    std::size_t pos = 0;   // the start of a line
    std::size_t moves = 0; // records made before that line
    ModalState state;      // the state before that line; its line count starts at the seam
    Extents3D box;         // of the records made from this note to the next one
};

// Where the first thread's list will take the second thread's records over: its storage and
// the records it is expected to hold before them. Fixed before the second thread starts.
struct Destination {
    DncMove* data = nullptr;
    std::size_t capacity = 0;
    std::size_t before = 0;
};

// Faults in the pages of the destination's room for `count` records after `before`, without
// touching their contents, so that taking the records over is a plain copy. Only a help:
// where the kernel lacks the call nothing changes; the room is the first thread's reserved
// storage, which it only ever writes below what it has reached, so nothing it holds changes.
void faultInRoom(const Destination& to, std::size_t count)
{
    constexpr std::uintptr_t Page = 4096;
    const std::size_t first = std::min(to.before, to.capacity);
    const std::size_t last = std::min(to.before + count, to.capacity);
    const auto start = (reinterpret_cast<std::uintptr_t>(to.data + first) + Page - 1) & ~(Page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(to.data + last) & ~(Page - 1);
    if (end > start)
        (void)::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}

struct SecondHalf {
    TGCodeArray moves;
    std::vector<Note> notes;
    std::exception_ptr failure; // out of memory: the first thread then reads on by itself
    bool stopped = false;
};

// The move kind of records made before the second thread's first G0 to G3 line.
constexpr std::int32_t UnknownMode = -1;

// The feed rate, z and the arc offsets start unknown (NaN, which no number read gives): they
// pass into records unchanged until a line sets them, so the first thread can fill them in.
// z widens nothing while unknown. So does the mode: an unknown mode reads lines as straight
// moves, which is right unless the mode in force is an arc (then the states do not meet).
// x and y start as at the file's start. The arc geometry never sees unknown offsets, since
// an arc needs a G2 or G3 line first, and that sets both.
ModalState guessedState()
{
    ModalState s;
    s.mode = UnknownMode;
    s.feed = s.z = s.i = s.j = std::numeric_limits<float>::quiet_NaN();
    return s;
}

bool unknown(float v)
{
    return std::isnan(v);
}

// The states meet when they are equal in every bit, except where the second thread's value
// is still unknown (the line counts differ by the lines before the seam).
bool meets(const ModalState& guessed, const ModalState& s)
{
    const auto same = [](float a, float b) {
        return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
    };
    const auto fits = [&](float a, float b) { return unknown(a) || same(a, b); };
    const bool straight = s.mode == DncNone || s.mode == DncRapid || s.mode == DncFeed;
    return (guessed.mode == s.mode || (guessed.mode == UnknownMode && straight)) &&
           same(guessed.x, s.x) && same(guessed.y, s.y) && same(guessed.startX, s.startX) &&
           same(guessed.startY, s.startY) && fits(guessed.feed, s.feed) && fits(guessed.z, s.z) &&
           fits(guessed.i, s.i) && fits(guessed.j, s.j);
}

void readSecondHalf(std::string_view bytes, std::size_t seam, const std::atomic<bool>& stop,
                    const Destination& to, SecondHalf& out)
{
    try {
        detail::reserveMoves(out.moves, bytes.substr(seam));
        Extents3D box;
        Reader reader(out.moves, box, guessedState());
        const char* const end = bytes.data() + bytes.size();
        detail::LineWords words;
        std::size_t pos = seam, lines = NoteLines;
        while (pos < bytes.size()) {
            if (lines == NoteLines) {
                if (stop.load(std::memory_order_relaxed)) {
                    out.stopped = true;
                    return;
                }
                if (!out.notes.empty())
                    out.notes.back().box = box;
                box = Extents3D();
                out.notes.push_back({pos, out.moves.size(), reader.state(), {}});
                lines = 0;
            }
            ++lines;
            const char* lineEnd = words.scan(bytes.data() + pos, end);
            reader.line(words);
            pos = std::size_t(lineEnd - bytes.data()) + 1;
        }
        if (!out.notes.empty())
            out.notes.back().box = box;
        if (!stop.load(std::memory_order_relaxed))
            faultInRoom(to, out.moves.size());
    } catch (...) {
        out.failure = std::current_exception();
    }
}

void widenBy(Extents3D& e, const Extents3D& by)
{
    e.minX = std::min(e.minX, by.minX);
    e.maxX = std::max(e.maxX, by.maxX);
    e.minY = std::min(e.minY, by.minY);
    e.maxY = std::max(e.maxY, by.maxY);
    e.minZ = std::min(e.minZ, by.minZ);
    e.maxZ = std::max(e.maxZ, by.maxZ);
}

// Appends the second thread's records from note `first` on, numbered after the lines the
// first thread read (saturating, as the reader counts), with the values still unknown there
// filled in from the first thread's state `s` at that note.
void takeOver(DncProgram& program, const SecondHalf& second, std::size_t first, const ModalState& s)
{
    const std::vector<Note>& notes = second.notes;
    const std::int64_t before = std::int64_t(s.line) - notes[first].state.line;
    program.moves.reserve(program.moves.size() + second.moves.size() - notes[first].moves);
    bool zWidens = false;
    for (std::size_t k = notes[first].moves; k < second.moves.size(); ++k) {
        DncMove m = second.moves[k];
        m.line = std::int32_t(std::min<std::int64_t>(m.line + before, INT32_MAX));
        if (m.kind == UnknownMode)
            m.kind = s.mode;
        if (std::isnan(m.feed))
            m.feed = s.feed;
        if (std::isnan(m.z)) {
            m.z = s.z;
            // Only straight moves widen the box by their end point.
            zWidens = zWidens || m.kind == DncNone || m.kind == DncRapid || m.kind == DncFeed;
        }
        if (unknown(m.i))
            m.i = s.i;
        if (unknown(m.j))
            m.j = s.j;
        program.moves.push_back(m);
    }
    for (std::size_t n = first; n < notes.size(); ++n)
        widenBy(program.extents, notes[n].box);
    if (zWidens) {
        program.extents.minZ = std::min(program.extents.minZ, double(s.z));
        program.extents.maxZ = std::max(program.extents.maxZ, double(s.z));
    }
}

// Joins the second thread on every way out, telling it to stop first.
class Helper {
public:
    Helper(std::string_view bytes, std::size_t seam, const Destination& to, SecondHalf& out)
        : thread_([this, bytes, seam, to, &out] { readSecondHalf(bytes, seam, stop_, to, out); })
    {
    }
    ~Helper() { stop(); }
    void stop()
    {
        stop_ = true;
        join();
    }
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

DncProgram ParseDncProgramFromSeam(std::string_view bytes, std::size_t from, RunControl& control)
{
    const std::size_t size = bytes.size();
    std::size_t seam = size;
    if (from == 0)
        seam = 0;
    else if (from < size) {
        const void* lf = std::memchr(bytes.data() + from - 1, '\n', size - from + 1);
        seam = lf ? std::size_t(static_cast<const char*>(lf) - bytes.data()) + 1 : size;
    }

    DncProgram program;
    detail::reserveMoves(program.moves, bytes);
    Reader reader(program.moves, program.extents);
    SecondHalf second;
    bool escaped = false;
    {
        // The first half's lines, a little less than its records: faulting in a few pages
        // too many costs less than too few.
        const std::size_t firstLines =
            std::size_t(std::count(bytes.begin(), bytes.begin() + std::ptrdiff_t(seam), '\n'));
        const Destination to{program.moves.data(), program.moves.capacity(),
                             firstLines - std::min(firstLines, std::size_t(4096))};
        Helper helper(bytes, seam, to, second);
        detail::ProgressPoints progress(control, 0, seam);
        std::size_t pos = detail::readLines(reader, bytes, 0, seam, progress, escaped);
        if (escaped)
            helper.stop();
        else
            helper.join();

        // Line by line past the seam until the states meet at a note.
        const std::vector<Note>& notes = second.notes;
        const bool usable = !escaped && !second.failure && !second.stopped;
        std::size_t next = 0;
        detail::ProgressPoints rest(control, seam, size);
        const char* const end = bytes.data() + size;
        detail::LineWords words;
        while (!escaped && pos < size) {
            while (usable && next < notes.size() && notes[next].pos < pos)
                ++next;
            if (usable && next < notes.size() && notes[next].pos == pos &&
                meets(notes[next].state, reader.state())) {
                takeOver(program, second, next, reader.state());
                break;
            }
            const char* lineEnd = words.scan(bytes.data() + pos, end);
            reader.line(words);
            pos = std::size_t(lineEnd - bytes.data()) + 1;
            escaped = !rest.reached(pos);
        }
    }
    control.endProgress(ProgressDisplay::Gauge);
    detail::finishExtents(program.extents);
    return program;
}

} // namespace corvane::dnc
