// The reader's inner loop, shared by the one-thread and the two-thread reading: the scan of
// one line's words and the modal state that turns lines into move records.
#pragma once

#include "common/run_control.h"
#include "dnc/dnc_move.h"
#include "dnc/dnc_words.h"
#include "dnc/number_scan.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace corvane::dnc::detail {

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

inline void widen(double v, double& lo, double& hi)
{
    if (v < lo)
        lo = v;
    if (v > hi)
        hi = v;
}

// What a line leaves behind for the lines after it: a line's records depend on the line and
// this alone, so two reads that reach a line start in equal states read the rest alike.
struct ModalState {
    std::int32_t line = 0; // lines read so far, saturating
    std::int32_t mode = DncNone;
    float feed = 0;
    float x = 0, y = 0, z = 0;
    float startX = 0, startY = 0;
    float i = 0, j = 0;
};

// The modal state of one read. Working values are single precision, as the dialect's
// programs are read; arc geometry is worked out in double from them.
class Reader {
public:
    Reader(TGCodeArray& moves, Extents3D& extents, const ModalState& start = {})
        : moves_(moves), box_(extents), s_(start)
    {
    }

    const ModalState& state() const { return s_; }

    void line(const LineWords& w)
    {
        // Saturates rather than wraps on files of more than 2^31 lines.
        s_.line = s_.line < INT32_MAX ? s_.line + 1 : INT32_MAX;
        if (w.has(Comment))
            return;
        if (w.has(F)) {
            w.read(F, s_.feed);
            DncMove& m = moves_.emplace_back();
            m.kind = DncFeedChange;
            m.line = s_.line;
            m.feed = s_.feed;
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
        s_.mode = g + 1;
        readEndPoint(w);
        if (g <= 1) {
            DncMove& m = append();
            m.i = m.j = 0;
            widenByEndPoint();
        } else {
            s_.i = s_.j = 0;
            w.read(I, s_.i);
            w.read(J, s_.j);
            finishArc(append());
        }
        s_.startX = s_.x;
        s_.startY = s_.y;
    }

    void coordinateLine(const LineWords& w)
    {
        readEndPoint(w);
        const bool arc = s_.mode == DncClockwise || s_.mode == DncCounterClockwise;
        if (arc) {
            // No reset here: an omitted I or J keeps the value of the previous arc line.
            w.read(I, s_.i);
            w.read(J, s_.j);
        }
        DncMove& m = append();
        if (arc)
            finishArc(m);
        else
            widenByEndPoint();
        s_.startX = s_.x;
        s_.startY = s_.y;
    }

    void readEndPoint(const LineWords& w)
    {
        w.read(X, s_.x);
        w.read(Y, s_.y);
        w.read(Z, s_.z);
    }

    // Filled in place: a record built aside and copied in would be read back as wide words
    // right after being written field by field, which stalls the processor on every line.
    DncMove& append()
    {
        DncMove& m = moves_.emplace_back();
        m.kind = s_.mode;
        m.line = s_.line;
        m.feed = s_.feed;
        m.x = s_.x;
        m.y = s_.y;
        m.z = s_.z;
        m.i = s_.i;
        m.j = s_.j;
        return m;
    }

    void widenByEndPoint()
    {
        widen(s_.x, box_.minX, box_.maxX);
        widen(s_.y, box_.minY, box_.maxY);
        widen(s_.z, box_.minZ, box_.maxZ);
    }

    // The arc runs from the previous end point around the centre start + (i, j). The whole
    // circle's box widens the extents in x and y, not only the swept part.
    void finishArc(DncMove& m)
    {
        const double cx = double(s_.startX) + double(s_.i);
        const double cy = double(s_.startY) + double(s_.j);
        const double start = ArcAngle(-double(s_.i), -double(s_.j));
        double end = ArcAngle(double(s_.x) - cx, double(s_.y) - cy);
        const bool clockwise = s_.mode == DncClockwise;
        if (clockwise && end >= start)
            end -= TwoPi;
        else if (!clockwise && end <= start)
            end += TwoPi;
        if (s_.x == s_.startX && s_.y == s_.startY) // back where it started: a full circle
            end = clockwise ? start - TwoPi : start + TwoPi;
        m.startAngle = static_cast<float>(start);
        m.endAngle = static_cast<float>(end);

        const double r = std::sqrt(double(s_.i) * double(s_.i) + double(s_.j) * double(s_.j));
        widen(cx - r, box_.minX, box_.maxX);
        widen(cx + r, box_.minX, box_.maxX);
        widen(cy - r, box_.minY, box_.maxY);
        widen(cy + r, box_.minY, box_.maxY);
    }

    TGCodeArray& moves_;
    Extents3D& box_;
    ModalState s_;
};

// Each line makes at most one move record plus a feed change; programs rarely have both on
// one line, so one record a line is nearly always room enough. A record's line holds a few
// bytes at least: files of empty or near-empty lines reserve no more than 56 bytes for every
// 8 of the file, and the list grows as needed past that.
inline void reserveMoves(TGCodeArray& moves, std::string_view bytes)
{
    moves.reserve(std::min(std::size_t(std::count(bytes.begin(), bytes.end(), '\n')) + 1,
                           bytes.size() / 8 + 1));
}

// Progress on the status-bar gauge at about every tenth of the bytes [begin, end), with a
// checkpoint and an Esc test at each such point.
class ProgressPoints {
public:
    ProgressPoints(RunControl& control, std::size_t begin, std::size_t end)
        : control_(control), begin_(begin), end_(end), stride_((end - begin) / 10 + 1),
          next_(begin + stride_)
    {
    }

    // Called with the start of the next line; false when Esc was found pressed.
    bool reached(std::size_t pos)
    {
        if (pos < next_ || pos >= end_)
            return true;
        next_ += stride_;
        control_.showProgress(ProgressDisplay::Gauge,
                              int(double(pos - begin_) * 100 / double(end_ - begin_)));
        control_.checkpoint();
        return !control_.escapePressed();
    }

private:
    RunControl& control_;
    std::size_t begin_, end_, stride_, next_;
};

// Reads the lines that start in [pos, stop), or up to a progress point where Esc is pressed.
// Returns the start of the line after the last one read; `escaped` tells the two apart.
inline std::size_t readLines(Reader& reader, std::string_view bytes, std::size_t pos,
                             std::size_t stop, ProgressPoints& progress, bool& escaped)
{
    const char* const end = bytes.data() + bytes.size();
    LineWords words;
    while (pos < stop) {
        const char* lineEnd = words.scan(bytes.data() + pos, end);
        reader.line(words);
        pos = std::size_t(lineEnd - bytes.data()) + 1;
        if (!progress.reached(pos)) {
            escaped = true;
            break;
        }
    }
    return pos;
}

// The ranges of the box, once all records are in.
inline void finishExtents(Extents3D& e)
{
    e.rangeX = e.maxX - e.minX;
    e.rangeY = e.maxY - e.minY;
}

} // namespace corvane::dnc::detail
