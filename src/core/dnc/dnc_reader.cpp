#include "dnc/dnc_reader.h"

#include "common/error.h"
#include "common/regular_file.h"
#include "dnc/dnc_words.h"
#include "dnc/number_scan.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace corvane::dnc {

namespace {

// The characters whose first occurrence in a line matters, by slot, and the line end.
enum Slot : unsigned char { None, Comment, F, G, X, Y, Z, I, J, SlotCount, LineEnd = SlotCount };

constexpr std::array<unsigned char, 256> slotTable()
{
    std::array<unsigned char, 256> t{};
    t['('] = Comment;
    t['F'] = F;
    t['G'] = G;
    t['X'] = X;
    t['Y'] = Y;
    t['Z'] = Z;
    t['I'] = I;
    t['J'] = J;
    t['\n'] = LineEnd;
    return t;
}
constexpr std::array<unsigned char, 256> SlotOf = slotTable();

// One line's words: which letters occur and the value of each letter's first occurrence.
// The scan reads each number as it meets it and goes on after it, so every byte of the
// line is looked at once.
struct LineWords {
    unsigned present = 0;               // bit per slot
    std::array<float, SlotCount> value; // valid where present
    int g = 0;                          // the G number, when G is present

    bool has(Slot s) const { return present & (1u << s); }
    // Keeps `v` when the letter is absent.
    void read(Slot s, float& v) const
    {
        if (has(s))
            v = value[s];
    }

    // Scans the line that starts at `p`; returns where it ends: at its LF, or at `end`.
    const char* scan(const char* p, const char* const end)
    {
        present = 0;
        while (p != end) {
            const unsigned char s = SlotOf[static_cast<unsigned char>(*p)];
            ++p;
            if (s == None || (present & (1u << s)))
                continue;
            if (s == LineEnd)
                return p - 1;
            present |= 1u << s;
            if (s == Comment) { // the rest of the line does not matter
                const void* lf = std::memchr(p, '\n', std::size_t(end - p));
                return lf ? static_cast<const char*>(lf) : end;
            }
            if (s == G) {
                g = gNumberAt(std::string_view(p, std::size_t(end - p)), 0);
                continue;
            }
            const char* stop = p;
            value[s] = toWorkingFloat(scanNumber(p, end, stop));
            p = stop;
        }
        return end;
    }
};

void widen(double v, double& lo, double& hi)
{
    if (v < lo)
        lo = v;
    if (v > hi)
        hi = v;
}

// The modal state of one read. Working values are single precision, as the dialect's
// programs are read; arc geometry is worked out in double from them.
class Reader {
public:
    explicit Reader(TGCodeArray& moves, Extents3D& extents) : moves_(moves), box_(extents) {}

    void line(const LineWords& w)
    {
        // Saturates rather than wraps on files of more than 2^31 lines.
        line_ = line_ < INT32_MAX ? line_ + 1 : INT32_MAX;
        if (w.has(Comment))
            return;
        if (w.has(F)) {
            w.read(F, feed_);
            DncMove m;
            m.kind = DncFeedChange;
            m.line = line_;
            m.feed = feed_;
            moves_.push_back(m);
        }
        if (w.has(G))
            gLine(w);
        else if (w.has(X) || w.has(Y) || w.has(Z) || w.has(I) || w.has(J))
            coordinateLine(w);
    }

private:
    void gLine(const LineWords& w)
    {
        const int g = w.g;
        if (g > 3)
            return;
        mode_ = g + 1;
        readEndPoint(w);
        if (g <= 1) {
            DncMove& m = append();
            m.i = m.j = 0;
            widenByEndPoint();
        } else {
            i_ = j_ = 0;
            w.read(I, i_);
            w.read(J, j_);
            finishArc(append());
        }
        startX_ = x_;
        startY_ = y_;
    }

    void coordinateLine(const LineWords& w)
    {
        readEndPoint(w);
        const bool arc = mode_ == DncClockwise || mode_ == DncCounterClockwise;
        if (arc) {
            // No reset here: an omitted I or J keeps the value of the previous arc line.
            w.read(I, i_);
            w.read(J, j_);
        }
        DncMove& m = append();
        if (arc)
            finishArc(m);
        else
            widenByEndPoint();
        startX_ = x_;
        startY_ = y_;
    }

    void readEndPoint(const LineWords& w)
    {
        w.read(X, x_);
        w.read(Y, y_);
        w.read(Z, z_);
    }

    DncMove& append()
    {
        DncMove m;
        m.kind = mode_;
        m.line = line_;
        m.feed = feed_;
        m.x = x_;
        m.y = y_;
        m.z = z_;
        m.i = i_;
        m.j = j_;
        moves_.push_back(m);
        return moves_.back();
    }

    void widenByEndPoint()
    {
        widen(x_, box_.minX, box_.maxX);
        widen(y_, box_.minY, box_.maxY);
        widen(z_, box_.minZ, box_.maxZ);
    }

    // The arc runs from the previous end point around the centre start + (i, j). The whole
    // circle's box widens the extents in x and y, not only the swept part.
    void finishArc(DncMove& m)
    {
        const double cx = double(startX_) + double(i_);
        const double cy = double(startY_) + double(j_);
        const double start = ArcAngle(-double(i_), -double(j_));
        double end = ArcAngle(double(x_) - cx, double(y_) - cy);
        const bool clockwise = mode_ == DncClockwise;
        if (clockwise && end >= start)
            end -= TwoPi;
        else if (!clockwise && end <= start)
            end += TwoPi;
        if (x_ == startX_ && y_ == startY_) // back where it started: a full circle
            end = clockwise ? start - TwoPi : start + TwoPi;
        m.startAngle = static_cast<float>(start);
        m.endAngle = static_cast<float>(end);

        const double r = std::sqrt(double(i_) * double(i_) + double(j_) * double(j_));
        widen(cx - r, box_.minX, box_.maxX);
        widen(cx + r, box_.minX, box_.maxX);
        widen(cy - r, box_.minY, box_.maxY);
        widen(cy + r, box_.minY, box_.maxY);
    }

    TGCodeArray& moves_;
    Extents3D& box_;
    std::int32_t line_ = 0;
    std::int32_t mode_ = DncNone;
    float feed_ = 0;
    float x_ = 0, y_ = 0, z_ = 0;
    float startX_ = 0, startY_ = 0;
    float i_ = 0, j_ = 0;
};

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

DncProgram ParseDncProgram(std::string_view bytes, RunControl& control)
{
    DncProgram program;
    // Each line makes at most one move record plus a feed change; programs rarely have
    // both on one line, so one record a line is nearly always room enough. A record's line
    // holds a few bytes at least: files of empty or near-empty lines reserve no more than
    // 56 bytes for every 8 of the file, and the list grows as needed past that.
    program.moves.reserve(std::min(std::size_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1,
                                   bytes.size() / 8 + 1));
    Reader reader(program.moves, program.extents);

    const std::size_t size = bytes.size();
    const std::size_t stride = size / 10 + 1;
    std::size_t nextPoint = stride;
    const char* const end = bytes.data() + size;
    LineWords words;
    std::size_t pos = 0;
    while (pos < size) {
        const char* lineEnd = words.scan(bytes.data() + pos, end);
        reader.line(words);
        pos = std::size_t(lineEnd - bytes.data()) + 1;
        if (pos >= nextPoint && pos < size) {
            nextPoint += stride;
            control.showProgress(ProgressDisplay::Gauge, int(double(pos) * 100 / double(size)));
            control.checkpoint();
            if (control.escapePressed())
                break;
        }
    }
    control.endProgress(ProgressDisplay::Gauge);

    Extents3D& e = program.extents;
    e.rangeX = e.maxX - e.minX;
    e.rangeY = e.maxY - e.minY;
    return program;
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
