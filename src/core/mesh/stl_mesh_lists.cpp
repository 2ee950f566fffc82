#include "mesh/stl_mesh_lists.h"

#include "common/pages_ahead.h"
#include "mesh/bounds.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/stl_records.h"
#include "mesh/triangle_sort.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace corvane::mesh {

namespace {

// Below this many triangles a second thread costs more than it saves.
constexpr std::size_t MinTwoThreadTriangles = std::size_t(1) << 16;

const char* recordAt(std::string_view bytes, std::size_t t)
{
    return bytes.data() + stl::HeaderBytes + stl::RecordBytes * t;
}

// The lowest z and the record of every triangle that is not flat, in record order: the
// triangles FacetMeshSink keeps; and the box around every corner, z negated, which is the box
// around both ends of every side (a point added again changes no bound: a tie keeps the value
// met first). Refuses the first triangle with a coordinate that is not finite; false when Esc
// stopped it, at the points readStl looks.
bool makeKeys(std::string_view bytes, std::size_t count, const std::string& fileName,
              std::vector<LowestZKey>& keys, Bounds& bounds, RunControl& control)
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
        bounds.add({v[0], v[1], -z0});
        bounds.add({v[3], v[4], -z1});
        bounds.add({v[6], v[7], -z2});
    }
    return true;
}

// The sides c1-c2, c2-c3, c3-c1 of the triangles from the one after the last whose sides are
// in the list up to triangle `to`, z negated, as FacetMeshSink makes them.
void writeSides(std::string_view bytes, std::size_t to, TEdgeArray& edges)
{
    for (std::size_t t = edges.size() / 3; t < to; ++t) {
        float v[9];
        stl::recordCorners(recordAt(bytes, t), v);
        const Point3D a{v[0], v[1], -double(v[2])}, b{v[3], v[4], -double(v[5])},
            c{v[6], v[7], -double(v[8])};
        edges.push_back({a, b});
        edges.push_back({b, c});
        edges.push_back({c, a});
    }
}

// The triangle of each sorted key in [from, to), read from its record, into its place.
void writeTriangles(std::string_view bytes, const std::vector<LowestZKey>& keys, std::size_t from,
                    std::size_t to, Triangle* triangles)
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

// The room for n items, reserved.
template <class T> T* roomFor(std::vector<T>& list, std::size_t n)
{
    list.reserve(n);
    return list.data();
}

// A load on two threads. The kernel's work of faulting in the lists' pages takes about as
// long as all the rest, and on a virtual machine that must first get the memory back from
// its host, several times as long. So the second thread faults in the triangles' pages from
// the start, while the first reads the keys and sorts them, and then the sides' pages,
// writing the sides in order behind it. The triangles, read out of order from the records and
// so bound by trips to memory, are written in pieces by whichever thread is free, and a free
// first thread helps with faulting in the sides' pages. Which thread does which piece changes
// nothing in the lists.
class TwoThreadLoad {
public:
    TwoThreadLoad(FacetMesh& mesh, std::string_view bytes, std::size_t count)
        : mesh_(mesh), bytes_(bytes), count_(count),
          trianglePages_(roomFor(mesh.triangles, count), count * sizeof(Triangle)),
          sidePages_(roomFor(mesh.edges, 3 * count), 3 * count * sizeof(Edge))
    {
        second_ = std::thread([this] { secondThread(); });
    }
    ~TwoThreadLoad()
    {
        if (second_.joinable()) { // stopped by Esc or an error before finish()
            abandoned_ = true;
            announce(Abandoned);
            second_.join();
        }
    }
    TwoThreadLoad(const TwoThreadLoad&) = delete;
    TwoThreadLoad& operator=(const TwoThreadLoad&) = delete;

    // On the first thread, with the sorted keys: writes the triangles and the sides with the
    // second thread, and returns once both lists are whole.
    void finish(const std::vector<LowestZKey>& keys)
    {
        keys_ = &keys;
        announce(Sorted);
        trianglesSized_.wait(false);
        writeTrianglePieces();
        sidePages_.faultIn(abandoned_);
        second_.join();
        mesh_.triangles.resize(keys.size()); // the room was for every triangle, flat ones too
    }

private:
    enum : int { Sorting, Sorted, Abandoned };

    // Triangles in one piece of the work the two threads share.
    static constexpr std::size_t PieceTriangles = std::size_t(1) << 15;

    void announce(int state)
    {
        keysState_ = state;
        keysState_.notify_one();
    }

    void secondThread()
    {
        // Given their length once faulted in: the pieces are written in any order.
        trianglePages_.faultIn(abandoned_);
        mesh_.triangles.resize(count_);
        trianglesSized_ = true;
        trianglesSized_.notify_one();
        faultInAndWriteSides();
        keysState_.wait(Sorting);
        if (keysState_ == Sorted)
            writeTrianglePieces();
    }

    // The sides' pages faulted in with the other thread, and the sides written, in order,
    // into the pages faulted in so far.
    void faultInAndWriteSides()
    {
        const auto fill = [this](std::size_t bytesFaultedIn) {
            if (!abandoned_)
                writeSides(bytes_, bytesFaultedIn / (3 * sizeof(Edge)), mesh_.edges);
        };
        sidePages_.faultIn(abandoned_, fill);
        if (!abandoned_)
            writeSides(bytes_, count_, mesh_.edges);
    }

    void writeTrianglePieces()
    {
        const std::vector<LowestZKey>& keys = *keys_;
        for (std::size_t p; (p = nextPiece_++) * PieceTriangles < keys.size();)
            writeTriangles(bytes_, keys, p * PieceTriangles,
                           std::min(keys.size(), (p + 1) * PieceTriangles), mesh_.triangles.data());
    }

    FacetMesh& mesh_;
    std::string_view bytes_;
    std::size_t count_;
    SharedPageFaults trianglePages_, sidePages_; // the lists' room, reserved
    const std::vector<LowestZKey>* keys_ = nullptr;
    std::atomic<int> keysState_{Sorting};
    std::atomic<bool> abandoned_{false};
    std::atomic<bool> trianglesSized_{false};
    std::atomic<std::size_t> nextPiece_{0};
    std::thread second_; // last: starts once the rest is ready
};

bool loadOnTwoThreads(FacetMesh& mesh, std::string_view bytes, std::size_t count,
                      const std::string& fileName, RunControl& control,
                      const std::function<bool()>& betweenSteps, Bounds& bounds)
{
    TwoThreadLoad load(mesh, bytes, count);
    // The sort stays on this thread: the other is busy.
    std::vector<LowestZKey> keys;
    if (!makeKeys(bytes, count, fileName, keys, bounds, control) || !betweenSteps() ||
        !sortLowestZKeys(keys, control, 1))
        return false;
    load.finish(keys);
    return true;
}

bool load(FacetMesh& mesh, std::string_view bytes, std::size_t count, const std::string& fileName,
          RunControl& control, const std::function<bool()>& betweenSteps, unsigned threads)
{
    Bounds bounds;
    if (threads >= 2) {
        if (!loadOnTwoThreads(mesh, bytes, count, fileName, control, betweenSteps, bounds))
            return false;
    } else {
        std::vector<LowestZKey> keys;
        if (!makeKeys(bytes, count, fileName, keys, bounds, control) || !betweenSteps() ||
            !sortLowestZKeys(keys, control))
            return false;
        // The room the general road reserves.
        mesh.edges.reserve(3 * count);
        mesh.triangles.reserve(count);
        writeSides(bytes, count, mesh.edges);
        mesh.triangles.resize(keys.size());
        writeTriangles(bytes, keys, 0, keys.size(), mesh.triangles.data());
    }
    mesh.extents = bounds.extents();
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
