#include "mesh/stl_mesh_lists.h"

#include "common/huge_pages.h"
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

// Triangles between the second thread's looks at whether it is still wanted.
constexpr std::size_t StopStride = std::size_t(1) << 16;

const char* recordAt(std::string_view bytes, std::size_t t)
{
    return bytes.data() + stl::HeaderBytes + stl::RecordBytes * t;
}

// The sides c1-c2, c2-c3, c3-c1 of every triangle in record order, z negated, as
// FacetMeshSink makes them, and the box around their end points. The box takes the corners
// once each: a point added again changes no bound (a tie keeps the value met first), so it is
// the box over both ends of every side. Stops early when `stop` is set.
void buildSides(std::string_view bytes, std::size_t count, TEdgeArray& edges, Extents3D& extents,
                const std::atomic<bool>& stop)
{
    edges.reserve(3 * count);
    adviseHugePages(edges.data(), 3 * count * sizeof(Edge));
    Bounds bounds;
    for (std::size_t t = 0; t < count; ++t) {
        if (t % StopStride == 0 && stop.load(std::memory_order_relaxed))
            return;
        float v[9];
        stl::recordCorners(recordAt(bytes, t), v);
        const Point3D a{v[0], v[1], -double(v[2])}, b{v[3], v[4], -double(v[5])},
            c{v[6], v[7], -double(v[8])};
        edges.push_back({a, b});
        edges.push_back({b, c});
        edges.push_back({c, a});
        bounds.add(a);
        bounds.add(b);
        bounds.add(c);
    }
    extents = bounds.extents();
}

// The sides on a thread of their own, stopped and joined on every way out.
class SidesThread {
public:
    SidesThread(std::string_view bytes, std::size_t count, FacetMesh& mesh)
        : thread_([this, bytes, count, &mesh] {
              try {
                  buildSides(bytes, count, mesh.edges, mesh.extents, stop_);
              } catch (...) {
                  error_ = std::current_exception(); // out of memory
              }
          })
    {
    }
    ~SidesThread()
    {
        stop_ = true;
        join();
    }
    SidesThread(const SidesThread&) = delete;
    SidesThread& operator=(const SidesThread&) = delete;

    // Waits for the sides; rethrows what stopped them.
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
    std::atomic<bool> stop_{false};
    std::exception_ptr error_;
    std::thread thread_; // last: starts once the rest is ready
};

// The lowest z and the record of every triangle that is not flat, in record order: the
// triangles FacetMeshSink keeps, numbered as in its list. Refuses the first triangle with a
// coordinate that is not finite; false when Esc stopped it, at the points readStl looks.
bool makeKeys(std::string_view bytes, std::size_t count, const std::string& fileName,
              std::vector<LowestZKey>& keys, RunControl& control)
{
    keys.reserve(count);
    adviseHugePages(keys.data(), count * sizeof(LowestZKey));
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

// Each kept triangle once, in the order of the sorted keys, from its record.
void placeTriangles(std::string_view bytes, const std::vector<LowestZKey>& keys,
                    TTriangleArray& triangles)
{
    triangles.reserve(keys.size());
    adviseHugePages(triangles.data(), keys.size() * sizeof(Triangle));
    // The records are read out of order: asking for the ones a little ahead keeps several
    // trips to memory in flight at once.
    constexpr std::size_t Ahead = 16;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k + Ahead < keys.size()) {
            const char* next = recordAt(bytes, keys[k + Ahead].from);
            __builtin_prefetch(next);
            __builtin_prefetch(next + stl::RecordBytes - 1);
        }
        float v[9];
        stl::recordCorners(recordAt(bytes, keys[k].from), v);
        triangles.push_back(sortedByZ({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]}));
    }
}

// The load, `mesh` empty and the sides made on `sides` when it is given.
bool loadInto(FacetMesh& mesh, std::string_view bytes, std::size_t count,
              const std::string& fileName, RunControl& control,
              const std::function<bool()>& betweenSteps, SidesThread* sides)
{
    if (!sides) {
        const std::atomic<bool> never{false};
        buildSides(bytes, count, mesh.edges, mesh.extents, never);
    }
    std::vector<LowestZKey> keys;
    if (!makeKeys(bytes, count, fileName, keys, control) || !betweenSteps() ||
        !sortLowestZKeys(keys, control))
        return false;
    placeTriangles(bytes, keys, mesh.triangles);
    if (sides)
        sides->finish();
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
    bool loaded = false;
    try {
        if (threads >= 2 && count >= MinTwoThreadTriangles) {
            SidesThread sides(bytes, count, mesh);
            loaded = loadInto(mesh, bytes, count, fileName, control, betweenSteps, &sides);
        } else {
            loaded = loadInto(mesh, bytes, count, fileName, control, betweenSteps, nullptr);
        }
    } catch (...) {
        mesh = FacetMesh{};
        throw;
    }
    if (!loaded)
        mesh = FacetMesh{};
    return loaded;
}

} // namespace corvane::mesh
