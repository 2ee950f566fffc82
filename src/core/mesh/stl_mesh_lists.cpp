#include "mesh/stl_mesh_lists.h"

#include "mesh/bounds.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/stl_records.h"
#include "mesh/triangle_sort.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace corvane::mesh {

namespace {

// Below this many triangles a second thread costs more than it saves.
constexpr std::size_t MinTwoThreadTriangles = std::size_t(1) << 16;

// Triangles in one piece of the work the two threads share once the keys are sorted.
constexpr std::size_t PieceTriangles = std::size_t(1) << 15;

const char* recordAt(std::string_view bytes, std::size_t t)
{
    return bytes.data() + stl::HeaderBytes + stl::RecordBytes * t;
}

// The lowest z and the record of every triangle that is not flat, in record order: the
// triangles FacetMeshSink keeps. Refuses the first triangle with a coordinate that is not
// finite; false when Esc stopped it, at the points readStl looks.
bool makeKeys(std::string_view bytes, std::size_t count, const std::string& fileName,
              std::vector<LowestZKey>& keys, RunControl& control)
{
    keys.reserve(count);
    for (std::size_t t = 0; t < count; ++t) {
        if (t % stl::EscStride == stl::EscStride - 1 && control.escapePressed())
            return false;
        float v[9];
        stl::recordCorners(recordAt(bytes, t), v);
        if (!stl::allFinite(v))
            stl::notFinite(fileName, t);
        // The z span sortedByZ leaves between its third and first corner, in doubles.
        const double z0 = v[2], z1 = v[5], z2 = v[8];
        const double low = std::min(std::min(z0, z1), z2), high = std::max(std::max(z0, z1), z2);
        if (high - low > FlatSpan)
            keys.push_back({float(low), std::uint32_t(t)});
    }
    return true;
}

// Both lists at their full length: three sides a triangle, and a place for
// every triangle (cut to the ones kept once they are known). The lists can then be filled
// in pieces, in any order, by two threads. Their room is what the general road reserves.
void sizeLists(FacetMesh& mesh, std::size_t count)
{
    // In ordinary pages: 2 MB pages fault in faster once memory is warm, but where the
    // system must first take them back from elsewhere (a virtual machine whose idle memory
    // went back to its host) the first read of a file took five times as long.
    mesh.edges.resize(3 * count);
    mesh.triangles.resize(count);
}

// Sizing the lists on a thread of its own while the keys are read and sorted (its page
// faults then cost no time on the thread that reads), joined on every way out.
class ListSizing {
public:
    ListSizing(FacetMesh& mesh, std::size_t count)
        : thread_([this, &mesh, count] {
              try {
                  sizeLists(mesh, count);
              } catch (...) {
                  error_ = std::current_exception(); // out of memory
              }
          })
    {
    }
    ~ListSizing() { join(); }
    ListSizing(const ListSizing&) = delete;
    ListSizing& operator=(const ListSizing&) = delete;

    // Waits for the lists; rethrows what stopped the sizing.
    void finish()
    {
        join();
        if (error_)
            std::rethrow_exception(error_);
    }

private:
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }
    std::exception_ptr error_;
    std::thread thread_; // last: starts once the rest is ready
};

// The sides c1-c2, c2-c3, c3-c1 of triangles [from, to) in their places, z negated, as
// FacetMeshSink makes them, and the box around their end points. The box takes the corners
// once each: a point added again changes no bound (a tie keeps the value met first), so it is
// the box over both ends of every side.
void writeSides(std::string_view bytes, std::size_t from, std::size_t to, TEdgeArray& edges,
                Bounds& bounds)
{
    for (std::size_t t = from; t < to; ++t) {
        float v[9];
        stl::recordCorners(recordAt(bytes, t), v);
        const Point3D a{v[0], v[1], -double(v[2])}, b{v[3], v[4], -double(v[5])},
            c{v[6], v[7], -double(v[8])};
        edges[3 * t] = {a, b};
        edges[3 * t + 1] = {b, c};
        edges[3 * t + 2] = {c, a};
        bounds.add(a);
        bounds.add(b);
        bounds.add(c);
    }
}

// The triangles of sorted keys [from, to) in their places, from their records.
void writeTriangles(std::string_view bytes, const std::vector<LowestZKey>& keys, std::size_t from,
                    std::size_t to, TTriangleArray& triangles)
{
    // The records are read out of order: asking for the ones a little ahead keeps several
    // trips to memory in flight at once.
    constexpr std::size_t Ahead = 16;
    for (std::size_t k = from; k < to; ++k) {
        if (k + Ahead < to) {
            const char* next = recordAt(bytes, keys[k + Ahead].from);
            __builtin_prefetch(next);
            __builtin_prefetch(next + stl::RecordBytes - 1);
        }
        float v[9];
        stl::recordCorners(recordAt(bytes, keys[k].from), v);
        triangles[k] = sortedByZ({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]});
    }
}

// The sides of every triangle and the triangles that are not flat in sorted order, in pieces
// that `threads` threads take in turn; then the extents, from the pieces' boxes in record order.
void fillLists(FacetMesh& mesh, std::string_view bytes, std::size_t count,
               const std::vector<LowestZKey>& keys, unsigned threads)
{
    const std::size_t sidePieces = (count + PieceTriangles - 1) / PieceTriangles;
    const std::size_t trianglePieces = (keys.size() + PieceTriangles - 1) / PieceTriangles;
    std::vector<Bounds> boxes(sidePieces);
    std::atomic<std::size_t> next{0};
    // Nothing in a piece can fail: the lists are already at their length.
    const auto work = [&]() noexcept {
        for (std::size_t p; (p = next++) < sidePieces + trianglePieces;) {
            if (p < sidePieces) {
                writeSides(bytes, p * PieceTriangles, std::min(count, (p + 1) * PieceTriangles),
                           mesh.edges, boxes[p]);
            } else {
                const std::size_t q = p - sidePieces;
                writeTriangles(bytes, keys, q * PieceTriangles,
                               std::min(keys.size(), (q + 1) * PieceTriangles), mesh.triangles);
            }
        }
    };
    if (threads >= 2) {
        std::thread second(work);
        work();
        second.join();
    } else {
        work();
    }
    Bounds bounds;
    for (const Bounds& box : boxes)
        bounds.add(box);
    mesh.extents = bounds.extents();
}

bool load(FacetMesh& mesh, std::string_view bytes, std::size_t count, const std::string& fileName,
          RunControl& control, const std::function<bool()>& betweenSteps, unsigned threads)
{
    std::vector<LowestZKey> keys;
    const auto keysSorted = [&] {
        return makeKeys(bytes, count, fileName, keys, control) && betweenSteps() &&
               sortLowestZKeys(keys, control);
    };
    if (threads >= 2) {
        // Faulting in the lists' pages takes longer than reading the keys: the sort runs
        // beside it too.
        ListSizing sizing(mesh, count);
        if (!keysSorted())
            return false;
        sizing.finish();
    } else {
        sizeLists(mesh, count);
        if (!keysSorted())
            return false;
    }
    mesh.triangles.resize(keys.size());
    fillLists(mesh, bytes, count, keys, threads);
    return true;
}

} // namespace

unsigned stlListThreads()
{
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

bool loadBinaryStlLists(FacetMesh& mesh, std::string_view bytes, const std::string& fileName,
                        RunControl& control, const std::function<bool()>& betweenSteps,
                        unsigned threads)
{
    mesh = FacetMesh{};
    const std::size_t count = stl::triangleCount(bytes.data());
    if (count < MinTwoThreadTriangles)
        threads = 1;
    bool loaded = false;
    try {
        loaded = load(mesh, bytes, count, fileName, control, betweenSteps, threads);
    } catch (...) {
        mesh = FacetMesh{};
        throw;
    }
    if (!loaded)
        mesh = FacetMesh{};
    return loaded;
}

} // namespace corvane::mesh
