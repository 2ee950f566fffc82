#include "mesh/dxf_face_scanner.h"

#include "common/error.h"
#include "common/pages_ahead.h"
#include "mesh/bounds.h"
#include "mesh/facet_mesh_build.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace corvane::mesh {

namespace {

// Bytes of one face as our own surface writer lays it out, a little less than the real
// figure: the lists are reserved from the file size so that a large file is read without
// regrowing them. Reserved room that is never used is never touched, so it costs address
// space, not memory; a file of smaller faces just grows the lists geometrically.
constexpr std::size_t EstimatedFaceBytes = 150;

// How far ahead of the reading the lists' pages are faulted in, in each list.
constexpr std::size_t PagesAheadBytes = std::size_t(32) << 20;

// Blanks, tabs, line ends and the other control characters all separate numbers, as they
// do for the text-file reading this format comes from.
inline bool isSeparator(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

constexpr double PowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The longest piece of a bad number quoted back to the user.
constexpr std::size_t QuotedTextLimit = 40;

// Adds one face and widens the box by its edges' starts, which are its corners, z negated.
void addFaceAndBounds(FacetMesh& mesh, const Point3D (&corners)[4], Bounds& bounds)
{
    const std::size_t first = mesh.edges.size();
    addFace(mesh, corners);
    for (std::size_t i = first; i < mesh.edges.size(); ++i)
        bounds.add(mesh.edges[i].start);
}

// A face read after the seam before all twelve coordinates were given there: the ones it
// was not given come from the reading before the seam.
struct HeldFace {
    Point3D corners[4];
    std::uint16_t given; // bit 3 * corner + axis
};
constexpr std::uint16_t AllGiven = 0xFFF;

// Faces the second thread may hold back; past this (a file whose faces leave a coordinate
// out for good) it gives up and the first thread reads its half too.
constexpr std::size_t HeldFaceLimit = 4096;

// Below this the second thread costs more than it saves.
constexpr std::size_t MinSplitBytes = std::size_t(4) << 20;

constexpr std::size_t NoStop = SIZE_MAX;

// Faces in one block the second thread hands over: about 1.5 MB of lists, so a block is
// still in the cache when the first thread copies it into the mesh.
constexpr std::size_t BlockFaces = 4096;

// The second thread's faces on their way to the first, in blocks of whole faces and in
// order. Blocks are reused once copied, so the second thread's lists never take new memory.
class FaceBlocks {
public:
    // A new or reused empty block with room for BlockFaces faces.
    FacetMesh emptyBlock()
    {
        std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            FacetMesh block = std::move(spare_.back());
            spare_.pop_back();
            return block;
        }
        FacetMesh block;
        block.edges.reserve(5 * BlockFaces);
        block.triangles.reserve(2 * BlockFaces);
        return block;
    }
    void put(FacetMesh&& block)
    {
        {
            std::lock_guard lock(mutex_);
            full_.push_back(std::move(block));
        }
        changed_.notify_one();
    }
    void finish()
    {
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        changed_.notify_one();
    }
    // The next block in order; false once the second thread has finished and all are taken.
    bool take(FacetMesh& block)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !full_.empty() || finished_; });
        if (full_.empty())
            return false;
        block = std::move(full_.front());
        full_.pop_front();
        return true;
    }
    void giveBack(FacetMesh&& block)
    {
        block.edges.clear();
        block.triangles.clear();
        std::lock_guard lock(mutex_);
        spare_.push_back(std::move(block));
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<FacetMesh> full_;
    std::vector<FacetMesh> spare_;
    bool finished_ = false;
};

class FaceScanner {
public:
    enum class Stop {
        End,    // the end of the bytes or "EOF"
        Seam,   // the reading between faces arrived exactly at the stop
        GaveUp, // too many faces held back, or told to stop
    };

    // Reads bytes[from..]; `afterSeam`: the carried coordinates are not known, so faces are
    // held back until they are.
    FaceScanner(std::string_view bytes, std::size_t from, const std::string& fileName,
                bool afterSeam)
        : begin_(bytes.data()), p_(bytes.data() + from), end_(bytes.data() + bytes.size()),
          fileName_(fileName), given_(afterSeam ? 0 : AllGiven)
    {
    }

    const Bounds& bounds() const { return bounds_; }
    const Point3D (&corners() const)[4] { return corners_; }
    std::size_t facesRead() const { return facesRead_; }
    std::vector<HeldFace>& held() { return held_; }

    // Reads faces into `mesh` until the end, "EOF" or an error, or until the reading between
    // faces arrives at byte `stopAt` (Seam) or passes it (then it reads on, as without one).
    Stop scanInto(FacetMesh& mesh, std::size_t stopAt = NoStop)
    {
        const std::size_t faces = std::size_t(end_ - p_) / EstimatedFaceBytes;
        mesh.edges.reserve(mesh.edges.size() + 5 * faces);
        mesh.triangles.reserve(mesh.triangles.size() + 2 * faces);
        return scan(mesh, stopAt, nullptr, nullptr);
    }

    // Reads faces to the end (or "EOF" or an error) in blocks handed to `blocks`, the last one
    // included, stopping early when `quit` is set. Finishes `blocks` on every way out.
    Stop scanInto(FaceBlocks& blocks, const std::atomic<bool>& quit)
    {
        struct Finish {
            FaceBlocks& blocks;
            FacetMesh block;
            ~Finish()
            {
                if (!block.edges.empty())
                    blocks.put(std::move(block));
                blocks.finish();
            }
        } finish{blocks, blocks.emptyBlock()};
        return scan(finish.block, NoStop, &blocks, &quit);
    }

    // The next face, its corners in corners(), one thread from the start; false at the end of
    // the bytes or "EOF". Throws as scanInto.
    bool nextFace()
    {
        while (p_ < end_) {
            const char* const lineStart = p_;
            const std::string_view line = nextLine();
            if (line == "EOF")
                return false;
            if (line == "3DFACE") {
                ++facesRead_;
                if (!readFace())
                    throw Error(fileName_, lineOf(lineStart), "the file ends inside this 3DFACE");
                return true;
            }
        }
        return false;
    }

private:
    Stop scan(FacetMesh& mesh, std::size_t stopAt, FaceBlocks* blocks,
              const std::atomic<bool>* quit)
    {
        // Faces come in order, so the lists fill front to back: a helper faults their pages
        // in a little ahead of them. What has been written is published every so often.
        const std::size_t edgesBefore = mesh.edges.size(), trianglesBefore = mesh.triangles.size();
        const std::size_t edgeRoom = mesh.edges.capacity(),
                          triangleRoom = mesh.triangles.capacity();
        PagesAhead pages(
            {{mesh.edges.data() + edgesBefore, (edgeRoom - edgesBefore) * sizeof(Edge)},
             {mesh.triangles.data() + trianglesBefore,
              (triangleRoom - trianglesBefore) * sizeof(Triangle)}},
            PagesAheadBytes);
        const char* stop = stopAt == NoStop ? nullptr : begin_ + stopAt;
        while (p_ < end_) {
            if (stop && p_ >= stop) {
                if (p_ == stop)
                    return Stop::Seam;
                stop = nullptr; // passed by inside a face: that "3DFACE" was a value
            }
            const char* const lineStart = p_;
            const std::string_view line = nextLine();
            if (line == "EOF")
                break;
            if (line == "3DFACE") {
                if ((++facesRead_ & 0xFFF) == 0) {
                    pages.reached(0, (mesh.edges.size() - edgesBefore) * sizeof(Edge));
                    pages.reached(1, (mesh.triangles.size() - trianglesBefore) * sizeof(Triangle));
                    // A file of smaller faces than estimated outgrows the room.
                    if (mesh.edges.capacity() != edgeRoom ||
                        mesh.triangles.capacity() != triangleRoom)
                        pages.stop();
                    if (quit && quit->load(std::memory_order_relaxed))
                        return Stop::GaveUp;
                }
                // A face the bytes end inside was cut short: its corners are not all there,
                // and whatever followed it is lost.
                if (!readFace())
                    throw Error(fileName_, lineOf(lineStart), "the file ends inside this 3DFACE");
                if (given_ != AllGiven) {
                    held_.push_back({{corners_[0], corners_[1], corners_[2], corners_[3]}, given_});
                    if (held_.size() > HeldFaceLimit)
                        return Stop::GaveUp;
                    continue;
                }
                addFaceAndBounds(mesh, corners_, bounds_);
                if (blocks && mesh.edges.size() >= 5 * BlockFaces - 5) {
                    blocks->put(std::move(mesh));
                    mesh = blocks->emptyBlock();
                }
            }
        }
        return Stop::End;
    }

    std::string_view nextLine()
    {
        const char* newline = static_cast<const char*>(std::memchr(p_, '\n', size_t(end_ - p_)));
        const char* lineEnd = newline ? newline : end_;
        std::string_view line(p_, size_t(lineEnd - p_));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        p_ = newline ? newline + 1 : end_;
        return line;
    }

    void skipRestOfLine()
    {
        // Nearly always the token is followed by its line end.
        if (end_ - p_ >= 2 && p_[0] == '\r' && p_[1] == '\n') {
            p_ += 2;
            return;
        }
        if (p_ < end_ && p_[0] == '\n') {
            ++p_;
            return;
        }
        const char* newline = static_cast<const char*>(std::memchr(p_, '\n', size_t(end_ - p_)));
        p_ = newline ? newline + 1 : end_;
    }

    // The next run of non-separators after any separators (empty at the end of the bytes).
    // A plain decimal of at most 15 digits ("-12.3456", "10") is read on the same pass: both
    // its digits as an integer and the power of ten are exact doubles, so their one division
    // is correctly rounded and gives the double from_chars would. Anything else is left to
    // from_chars by the caller.
    struct Token {
        std::string_view text;
        bool plain = false;
        int decimals = 0;
        std::int64_t digits = 0; // signed
        double value = 0;
    };
    Token nextToken()
    {
        while (p_ < end_ && isSeparator(*p_))
            ++p_;
        Token token;
        const char* const start = p_;
        const bool negative = p_ < end_ && *p_ == '-';
        if (negative)
            ++p_;
        std::uint64_t digits = 0;
        int count = 0;
        for (; p_ < end_ && unsigned(*p_ - '0') < 10; ++p_, ++count)
            digits = digits * 10 + unsigned(*p_ - '0');
        if (p_ < end_ && *p_ == '.')
            for (++p_; p_ < end_ && unsigned(*p_ - '0') < 10; ++p_, ++count, ++token.decimals)
                digits = digits * 10 + unsigned(*p_ - '0');
        if ((p_ == end_ || isSeparator(*p_)) && count > 0 && count <= 15) {
            token.plain = true;
            token.digits = negative ? -std::int64_t(digits) : std::int64_t(digits);
            token.value = double(digits) / PowersOfTen[token.decimals];
            if (negative)
                token.value = -token.value;
        } else {
            while (p_ < end_ && !isSeparator(*p_))
                ++p_;
        }
        token.text = {start, size_t(p_ - start)};
        return token;
    }

    // Reads group codes and values until the face ends with code 0 or 9; false when the bytes
    // end first.
    bool readFace()
    {
        for (;;) {
            const Token codeToken = nextToken();
            if (codeToken.text.empty())
                return false;
            const int code = codeToken.plain && codeToken.decimals == 0 &&
                                     codeToken.digits > -1000000 && codeToken.digits < 1000000
                                 ? int(codeToken.digits)
                                 : parseCode(codeToken.text);
            skipRestOfLine();
            if (code == 0 || code == 9)
                return true;
            const int corner = code % 10, axis = code / 10 - 1;
            if (code >= 10 && code <= 33 && corner <= 3) {
                const Token valueToken = nextToken();
                if (valueToken.text.empty())
                    return false; // the file ends where the value should be
                double& target = axis == 0   ? corners_[corner].x
                                 : axis == 1 ? corners_[corner].y
                                             : corners_[corner].z;
                given_ |= std::uint16_t(1u << (3 * corner + axis));
                target = valueToken.plain ? valueToken.value : parseValue(valueToken.text);
                skipRestOfLine();
            } else {
                skipRestOfLine(); // the value line of a group we do not use
            }
        }
    }

    static std::string_view withoutPlus(std::string_view text)
    {
        if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
            text.remove_prefix(1);
        return text;
    }

    int parseCode(std::string_view text) const
    {
        const std::string_view digits = withoutPlus(text);
        int code = 0;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), code);
        if (error != std::errc() || end != digits.data() + digits.size())
            notANumber(text);
        return code;
    }

    double parseValue(std::string_view text) const
    {
        double value = 0;
        const std::string_view number = withoutPlus(text);
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        // Infinities and NaN read as numbers but no geometry can be built on them; a value
        // out of the double range is refused rather than guessed.
        if (error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
            notANumber(text);
        return value;
    }

    long lineOf(const char* at) const { return 1 + long(std::count(begin_, at, '\n')); }

    [[noreturn]] void notANumber(std::string_view text) const
    {
        const long line = lineOf(text.data());
        std::string quoted;
        for (char c : text.substr(0, QuotedTextLimit))
            quoted += (static_cast<unsigned char>(c) < 0x7f) ? c : '?';
        if (text.size() > QuotedTextLimit)
            quoted += "...";
        throw Error(fileName_, line, "\"" + quoted + "\" is not a number");
    }

    const char* begin_;
    const char* p_;
    const char* end_;
    const std::string& fileName_;
    Point3D corners_[4]{}; // carried from face to face
    Bounds bounds_;
    std::size_t facesRead_ = 0;
    std::uint16_t given_; // coordinates given since the start (all, from the file's start)
    std::vector<HeldFace> held_;
};

// The start of the first line at or after `from` that is exactly "3DFACE" (before its CR LF
// or LF), where the second thread starts; NoStop when there is none.
std::size_t firstFaceLineFrom(std::string_view bytes, std::size_t from)
{
    constexpr std::string_view Word = "3DFACE";
    for (std::size_t at = bytes.find(Word, from); at != std::string_view::npos;
         at = bytes.find(Word, at + 1)) {
        if (at != 0 && bytes[at - 1] != '\n')
            continue;
        std::string_view rest = bytes.substr(at + Word.size());
        if (!rest.empty() && rest[0] == '\r')
            rest.remove_prefix(1);
        if (rest.empty() || rest[0] == '\n')
            return at;
    }
    return NoStop;
}

// A held face with the coordinates it was not given taken from the first thread's last corners.
void finishHeldFace(const HeldFace& face, const Point3D (&carried)[4], Point3D (&c)[4])
{
    for (int k = 0; k < 4; ++k) {
        const auto pick = [&](int axis, double Point3D::*member) {
            c[k].*member =
                face.given & (1u << (3 * k + axis)) ? face.corners[k].*member : carried[k].*member;
        };
        pick(0, &Point3D::x);
        pick(1, &Point3D::y);
        pick(2, &Point3D::z);
    }
}

// The second half's reading on a thread of its own, stopped and joined on every way out.
class SecondHalf {
public:
    SecondHalf(std::string_view bytes, std::size_t start, const std::string& fileName)
        : scanner_(bytes, start, fileName, true), thread_([this] { run(); })
    {
    }
    ~SecondHalf() { abandon(); }
    SecondHalf(const SecondHalf&) = delete;
    SecondHalf& operator=(const SecondHalf&) = delete;

    // Stops the thread and waits for it: its work is not wanted.
    void abandon()
    {
        quit_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    // Once the first thread has landed on the second's start: the held faces and the
    // second's blocks after the first's faces, as they come. False when the second thread
    // gave up: the first must read on itself. Throws the second's error after its faces.
    bool appendTo(FacetMesh& mesh, const FaceScanner& first, Bounds& bounds)
    {
        FacetMesh block;
        bool heldDone = false;
        const auto addHeld = [&] {
            heldDone = true;
            for (const HeldFace& face : scanner_.held()) {
                Point3D c[4];
                finishHeldFace(face, first.corners(), c);
                addFaceAndBounds(mesh, c, bounds);
            }
        };
        while (blocks_.take(block)) {
            if (!heldDone)
                addHeld();
            mesh.edges.insert(mesh.edges.end(), block.edges.begin(), block.edges.end());
            mesh.triangles.insert(mesh.triangles.end(), block.triangles.begin(),
                                  block.triangles.end());
            blocks_.giveBack(std::move(block));
        }
        thread_.join();
        if (stop_ == FaceScanner::Stop::GaveUp)
            return false; // nothing was handed over
        if (!heldDone)
            addHeld();
        bounds.add(scanner_.bounds());
        mesh.extents = bounds.extents();
        if (error_)
            std::rethrow_exception(error_);
        return true;
    }

    std::size_t facesRead() const { return scanner_.facesRead(); }

private:
    void run()
    {
        try {
            stop_ = scanner_.scanInto(blocks_, quit_);
        } catch (const Error&) {
            error_ = std::current_exception();
            stop_ = FaceScanner::Stop::End;
        } catch (...) {
            stop_ = FaceScanner::Stop::GaveUp; // out of memory: the first thread reads on
        }
    }

    FaceScanner scanner_;
    FaceBlocks blocks_;
    std::atomic<bool> quit_{false};
    FaceScanner::Stop stop_ = FaceScanner::Stop::GaveUp;
    std::exception_ptr error_;
    std::thread thread_; // last: starts once the rest is ready
};

// Reads on to the end and sets the extents, an error or not. Returns the faces read in all.
std::size_t readToEnd(FaceScanner& scanner, FacetMesh& mesh)
{
    try {
        scanner.scanInto(mesh);
    } catch (const Error&) {
        mesh.extents = scanner.bounds().extents();
        throw;
    }
    mesh.extents = scanner.bounds().extents();
    return scanner.facesRead();
}

// The first half, then the second's faces when the first lands on its start, else on to the
// end. Sets the extents, an error or not; returns the faces read in all.
std::size_t scanHalves(std::string_view bytes, const std::string& fileName, FacetMesh& mesh,
                       FaceScanner& first, std::size_t start)
{
    SecondHalf second(bytes, start, fileName);
    FaceScanner::Stop stop;
    try {
        stop = first.scanInto(mesh, start);
    } catch (const Error&) {
        mesh.extents = first.bounds().extents();
        throw;
    }
    if (stop == FaceScanner::Stop::End) { // "EOF" or the end before the second's start
        second.abandon();
        mesh.extents = first.bounds().extents();
        return first.facesRead();
    }
    Bounds bounds = first.bounds();
    if (second.appendTo(mesh, first, bounds)) // sets the extents, an error or not
        return first.facesRead() + second.facesRead();
    return readToEnd(first, mesh);
}

std::size_t defaultThreads()
{
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

} // namespace

std::size_t defaultSeam(std::size_t byteCount)
{
    return byteCount >= MinSplitBytes && defaultThreads() >= 2 ? byteCount / 2 : NoSeam;
}

void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh)
{
    scanDxfFaces(bytes, fileName, mesh, defaultSeam(bytes.size()));
}

void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh,
                  std::size_t seam)
{
    FaceScanner first(bytes, 0, fileName, false);
    const std::size_t start = seam == NoSeam ? NoStop : firstFaceLineFrom(bytes, seam);
    const std::size_t faces =
        start == NoStop ? readToEnd(first, mesh) : scanHalves(bytes, fileName, mesh, first, start);
    if (faces == 0)
        throw Error(fileName, "no 3DFACE found: not a DXF surface mesh");
}

bool readDxfFaceTriangles(std::string_view bytes, const std::string& fileName, TriangleSink& out,
                          RunControl& control)
{
    FaceScanner scanner(bytes, 0, fileName, false);
    while (scanner.nextFace()) {
        const Point3D(&c)[4] = scanner.corners();
        out.add(c[0], c[1], c[2]);
        if (isQuadrilateral(c))
            out.add(c[0], c[2], c[3]);
        if ((scanner.facesRead() & 0xFFFF) == 0 && control.escapePressed())
            return false;
    }
    if (scanner.facesRead() == 0)
        throw Error(fileName, "no 3DFACE found: not a DXF surface mesh");
    return true;
}

} // namespace corvane::mesh
