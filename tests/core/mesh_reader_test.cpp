// The DXF mesh reader: files from our own surface writer, the layout's edge cases, bad
// numbers, line ends, Esc, and the triangle sort it ends with.
#include "common/error.h"
#include "mesh/dxf_face_scanner.h"
#include "mesh/dxf_mesh_reader.h"
#include "mesh/facet_mesh_build.h"
#include "mesh/triangle_sort.h"
#include "relief/dxf_surface.h"
#include "relief_test_support.h"
#include "scratch_folder.h"
#include "truncating_control.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

using namespace corvane;
using namespace corvane::mesh;
using relief_test::ScriptedControl;

namespace {

// Lines joined with the given line end, each line ended.
std::string dxf(const std::vector<std::string>& lines, const std::string& eol = "\r\n")
{
    std::string text;
    for (const std::string& line : lines)
        text += line + eol;
    return text;
}

// A 3DFACE with the four corners given as (x, y, z) triples.
std::vector<std::string> face(const std::vector<std::array<double, 3>>& corners)
{
    std::vector<std::string> lines{"0", "3DFACE"};
    for (std::size_t i = 0; i < corners.size(); ++i)
        for (int axis = 0; axis < 3; ++axis) {
            lines.push_back(std::to_string(10 * (axis + 1) + int(i)));
            lines.push_back(std::to_string(corners[i][std::size_t(axis)]));
        }
    return lines;
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> head{"0", "SECTION", "2", "ENTITIES"};
const std::vector<std::string> tail{"0", "ENDSEC", "0", "EOF"};

FacetMesh load(const std::string& text, MeshLoadOutcome expected = MeshLoadOutcome::Loaded)
{
    FacetMesh mesh;
    EXPECT_EQ(LoadDxfMesh(mesh, text, "t.dxf", silentRunControl()), expected);
    return mesh;
}

void expectOrdered(const FacetMesh& mesh)
{
    for (const Triangle& t : mesh.triangles) {
        EXPECT_LE(t.c[0].z, t.c[1].z);
        EXPECT_LE(t.c[1].z, t.c[2].z);
        EXPECT_GT(t.c[2].z - t.c[0].z, 1e-6);
    }
    EXPECT_TRUE(isSortedByLowestZ(mesh.triangles));
}

std::string writtenSurface(const relief::TZGrid& grid)
{
    relief::ReliefParameters p;
    p.sizeX = grid.cols * 0.01;
    p.sizeY = grid.rows * 0.01;
    p.stepX = p.stepY = 0.01;
    p.depth = 0.25;
    relief::StringSink out;
    relief::WriteDxfSurface(out, grid, p, silentRunControl());
    return out.text;
}

std::size_t countOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(DxfMeshReader, SurfaceFromOurWriterGivesFiveEdgesAndTwoTrianglesPerCellLessTheFlatOnes)
{
    // Random heights: no three corners of a triangle share a height for this seed.
    const std::string rough = writtenSurface(relief_test::randomGrid(7, 9, 11));
    const std::size_t faces = countOf(rough, "3DFACE\r\n");
    ASSERT_GT(faces, 20u);
    const FacetMesh mesh = load(rough);
    EXPECT_EQ(mesh.edges.size(), 5 * faces);
    EXPECT_EQ(mesh.triangles.size(), 2 * faces);
    expectOrdered(mesh);
    // Extents over the edges, whose z is negated: the surface rises 0 to 0.25.
    EXPECT_GE(mesh.extents.minZ, -0.25);
    EXPECT_LE(mesh.extents.maxZ, 0.0);
    EXPECT_GT(mesh.extents.rangeX, 0.05);
    EXPECT_EQ(mesh.extents, edgeExtents(mesh.edges)); // taken on the way = taken after
    EXPECT_DOUBLE_EQ(mesh.extents.rangeX, mesh.extents.maxX - mesh.extents.minX);
    EXPECT_DOUBLE_EQ(mesh.extents.rangeY, mesh.extents.maxY - mesh.extents.minY);
    for (const Edge& e : mesh.edges)
        EXPECT_LE(e.start.z, 0.0);

    // Flat on top, a ramp below: the flat cells keep their edges and lose their triangles.
    relief::TZGrid stepped(6, 6, 255);
    for (int r = 3; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            stepped[r][c] = std::uint8_t(40 * c + 10 * r);
    const std::string text = writtenSurface(stepped);
    const FacetMesh partly = load(text);
    EXPECT_EQ(partly.edges.size(), 5 * countOf(text, "3DFACE\r\n"));
    EXPECT_LT(partly.triangles.size(), 2 * countOf(text, "3DFACE\r\n"));
    EXPECT_GT(partly.triangles.size(), 0u);
    expectOrdered(partly);
}

TEST(DxfMeshReader, FaceShapes)
{
    // Fourth corner equal to the third: a triangle, three edges.
    const FacetMesh triangle =
        load(dxf(head + face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {1, 1, 2}}) + tail));
    EXPECT_EQ(triangle.edges.size(), 3u);
    ASSERT_EQ(triangle.triangles.size(), 1u);
    EXPECT_EQ(triangle.triangles[0].c[2], (Point3D{1, 1, 2}));

    // Corners all at one height: edges, no triangle, and 0 facets in the message.
    const FacetMesh flat =
        load(dxf(head + face({{0, 0, 5}, {1, 0, 5}, {1, 1, 5}, {0, 1, 5}}) + tail));
    EXPECT_EQ(flat.edges.size(), 5u);
    EXPECT_TRUE(flat.triangles.empty());
    EXPECT_EQ(loadedMessage("a.dxf", flat.triangles.size()),
              "a.dxf Succesfully loaded... 0 Facets displayed. Use mouse to change view.");

    // A quad: corners sorted by z inside each triangle, edges with z negated, the second
    // triangle made of c1 c3 c4.
    const FacetMesh quad =
        load(dxf(head + face({{0, 0, 3}, {1, 0, 1}, {1, 1, 2}, {0, 1, 0}}) + tail));
    ASSERT_EQ(quad.triangles.size(), 2u);
    EXPECT_EQ(quad.triangles[0].c[0], (Point3D{0, 1, 0})); // c4 is the lowest: sorted first
    EXPECT_EQ(quad.triangles[0].c[1], (Point3D{1, 1, 2}));
    EXPECT_EQ(quad.triangles[0].c[2], (Point3D{0, 0, 3}));
    EXPECT_EQ(quad.triangles[1].c[0], (Point3D{1, 0, 1}));
    ASSERT_EQ(quad.edges.size(), 5u);
    EXPECT_EQ(quad.edges[0].start, (Point3D{0, 0, -3}));
    EXPECT_EQ(quad.edges[4].end, (Point3D{0, 0, -3}));
    EXPECT_EQ(quad.extents, (Extents3D{0, 1, 0, 1, -3, 0, 1, 1}));
}

TEST(DxfMeshReader, LayoutEdgeCases)
{
    // A layer group before the coordinates is skipped, value and all.
    const FacetMesh layered = load(dxf(
        head + std::vector<std::string>{"0",  "3DFACE", "8",  "0", "10", "0", "20", "0", "30", "1",
                                        "11", "2",      "21", "0", "31", "0", "12", "2", "22", "2",
                                        "32", "4",      "13", "2", "23", "2", "33", "4"} +
        tail));
    ASSERT_EQ(layered.triangles.size(), 1u);
    EXPECT_EQ(layered.triangles[0].c[2], (Point3D{2, 2, 4}));

    // Coordinates a face leaves out keep the previous face's values; 0 before the first.
    const FacetMesh carried = load(dxf(head + face({{0, 0, 1}, {4, 0, 2}, {4, 4, 3}, {0, 4, 4}}) +
                                       std::vector<std::string>{"0", "3DFACE", "30", "9"} + tail));
    ASSERT_EQ(carried.edges.size(), 10u);
    EXPECT_EQ(carried.edges[5].start, (Point3D{0, 0, -9}));
    EXPECT_EQ(carried.edges[5].end, (Point3D{4, 0, -2}));

    // Only the exact words count; EOF ends the reading, and without it the file is read to
    // its end, where the last face must have been closed by its group 0.
    const auto one = face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}});
    const auto reasonOf = [](const std::string& text) {
        FacetMesh mesh;
        try {
            LoadDxfMesh(mesh, text, "t.dxf", silentRunControl());
        } catch (const Error& e) {
            EXPECT_TRUE(mesh.edges.empty());
            return e.reason();
        }
        return std::string("no error");
    };
    const std::string noFace = "no 3DFACE found: not a DXF surface mesh";
    EXPECT_EQ(reasonOf(dxf(head + std::vector<std::string>{"0", " 3DFACE", "10", "1"} + tail)),
              noFace);
    EXPECT_EQ(reasonOf(dxf(std::vector<std::string>{"0", "3DFACE ", "0", "3dface"})), noFace);
    EXPECT_EQ(reasonOf(dxf(head + std::vector<std::string>{"EOF"} + one)), noFace);
    EXPECT_EQ(load(dxf(head + one + std::vector<std::string>{"0"})).triangles.size(), 2u);
    EXPECT_EQ(reasonOf(dxf(head + one)), "the file ends inside this 3DFACE");
    EXPECT_EQ(reasonOf("0\r\n3DFACE\r\n10\r\n1\r\n20\r\n"), "the file ends inside this 3DFACE");

    // LF alone reads the same as CR LF; blanks around numbers do no harm.
    const std::vector<std::string> file = head + one + face({{5, 5, 0}, {6, 5, 1}, {6, 6, 0}}) +
                                          std::vector<std::string>{"0", "3DFACE", "  10", " 7 "} +
                                          tail;
    const FacetMesh crlf = load(dxf(file)), lf = load(dxf(file, "\n"));
    EXPECT_EQ(crlf.edges.size(), lf.edges.size());
    EXPECT_EQ(crlf.triangles.size(), lf.triangles.size());
    EXPECT_EQ(crlf.extents, lf.extents);
    EXPECT_EQ(crlf.extents.maxX, 7);
}

TEST(DxfMeshReader, BytesThatAreNoMeshOrEndInsideAFaceAreRefusedKeepingTheWholeFaces)
{
    // No face at all (a DXF without one, nothing, random bytes): an error naming the file, and
    // an empty mesh with all-zero extents.
    std::mt19937 random(5);
    std::string noise(4096, '\0');
    for (char& c : noise)
        c = char(random());
    for (const std::string& bytes : {dxf(head + tail), std::string(), noise}) {
        FacetMesh mesh;
        try {
            LoadDxfMesh(mesh, bytes, "none.dxf", silentRunControl());
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.file(), "none.dxf");
            EXPECT_EQ(e.line(), 0);
            EXPECT_EQ(e.reason(), "no 3DFACE found: not a DXF surface mesh");
        }
        EXPECT_TRUE(mesh.edges.empty() && mesh.triangles.empty());
        EXPECT_EQ(mesh.extents, Extents3D{});
    }

    // Cut short inside the second face, wherever in it: the line of its "3DFACE" is named and
    // the first face stays, whole and drawable.
    const auto first = face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}});
    const std::string whole =
        dxf(head + first + face({{5, 5, 0}, {6, 5, 1}, {6, 6, 2}, {5, 6, 3}}) + tail);
    const std::size_t secondFace = whole.find("3DFACE", whole.find("3DFACE") + 1);
    for (std::size_t cut = secondFace + 6; cut < whole.size() - dxf(tail).size() + 1; ++cut) {
        FacetMesh mesh;
        try {
            LoadDxfMesh(mesh, whole.substr(0, cut), "cut.dxf", silentRunControl());
            ADD_FAILURE() << "no error, cut at " << cut;
        } catch (const Error& e) {
            EXPECT_EQ(e.line(), long(head.size() + first.size() + 2)) << cut;
            EXPECT_EQ(e.reason(), "the file ends inside this 3DFACE");
        }
        ASSERT_EQ(mesh.edges.size(), 5u) << cut;
        EXPECT_EQ(mesh.triangles.size(), 2u);
        EXPECT_EQ(mesh.extents.maxX, 1);
        expectOrdered(mesh);
    }
    // Closed by the group 0 of ENDSEC, a file without "EOF" is still whole.
    EXPECT_EQ(load(dxf(head + first + std::vector<std::string>{"0", "ENDSEC"})).edges.size(), 5u);
}

TEST(DxfMeshReader, BadNumberNamesFileLineAndTextAndKeepsWhatWasRead)
{
    const auto good = face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}});
    const std::string text =
        dxf(head + good + std::vector<std::string>{"0", "3DFACE", "10", "1,5"} + tail);
    FacetMesh mesh;
    try {
        LoadDxfMesh(mesh, text, "bad.dxf", silentRunControl());
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), "bad.dxf");
        EXPECT_EQ(e.line(), long(head.size() + good.size() + 4));
        EXPECT_EQ(e.reason(), "\"1,5\" is not a number");
    }
    EXPECT_EQ(mesh.edges.size(), 5u);
    EXPECT_EQ(mesh.triangles.size(), 2u);
    EXPECT_EQ(mesh.extents.maxX, 1); // taken for what was read
    expectOrdered(mesh);

    // Whatever the bytes, a mesh or such an error: bad codes, NaN and infinite texts, values
    // out of range, binary garbage.
    for (const std::string& bad :
         {std::string("0\n3DFACE\nten\n1\n"), std::string("0\n3DFACE\n10\nnan\n"),
          std::string("0\n3DFACE\n10\ninf\n"), std::string("0\n3DFACE\n10\n1e999\n"),
          std::string("0\n3DFACE\n99999999999\n1\n"), std::string("0\n3DFACE\n\x01\xff\xfe\n")}) {
        FacetMesh m;
        EXPECT_THROW(LoadDxfMesh(m, bad, "x.dxf", silentRunControl()), Error) << bad;
    }
    EXPECT_EQ(load("0\n3DFACE\n+10\n+1.5E+1\n0\nEOF\n").extents.maxX, 15);
}

TEST(DxfMeshReader, NumbersReadExactlyAsFromChars)
{
    // The reader's own path for plain decimals must give the very double from_chars gives.
    std::mt19937_64 random(99);
    std::vector<std::string> texts{"0",
                                   "-0",
                                   "5.",
                                   ".5",
                                   "-.25",
                                   "123456789012345",
                                   "0.000000000000001",
                                   "99999.99999",
                                   "1e3",
                                   "1234567890123456"};
    for (int i = 0; i < 3000; ++i) {
        char buffer[64];
        const double v = std::ldexp(double(random() % 2000001) - 1000000.0, -int(random() % 30));
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed,
                                       int(random() % 12));
        texts.emplace_back(buffer, end.ptr);
    }
    std::string file;
    for (const std::string& text : texts)
        file += "0\n3DFACE\n10\n" + text + "\n"; // a triangle: the other corners stay 0
    file += "0\nEOF\n";
    const FacetMesh mesh = load(file);
    ASSERT_EQ(mesh.edges.size(), 3 * texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        double expected = 0;
        std::from_chars(texts[i].data(), texts[i].data() + texts[i].size(), expected);
        EXPECT_EQ(mesh.edges[3 * i].start.x, expected) << texts[i];
    }
}

namespace {

// What one reading gave: the lists and the extents bit for bit (0 and -0 apart), or the error.
struct Reading {
    FacetMesh mesh;
    std::string error;
};

Reading scanWithSeam(const std::string& bytes, std::size_t seam)
{
    Reading r;
    try {
        scanDxfFaces(bytes, "s.dxf", r.mesh, seam);
    } catch (const Error& e) {
        r.error = e.file() + ":" + std::to_string(e.line()) + ": " + e.reason();
    }
    return r;
}

template <class T> bool sameBits(const std::vector<T>& a, const std::vector<T>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

void expectSameReading(const Reading& two, const Reading& one, const std::string& what)
{
    EXPECT_EQ(two.error, one.error) << what;
    EXPECT_TRUE(sameBits(two.mesh.edges, one.mesh.edges)) << what;
    EXPECT_TRUE(sameBits(two.mesh.triangles, one.mesh.triangles)) << what;
    EXPECT_EQ(std::memcmp(&two.mesh.extents, &one.mesh.extents, sizeof(Extents3D)), 0) << what;
}

} // namespace

TEST(DxfMeshReader, TwoThreadsReadExactlyAsOneWhereverTheSeamFalls)
{
    // Faces that leave coordinates to be carried over (the fourth corner, whole axes), a
    // "3DFACE" that is the value of a group the reader skips, one with blanks around it,
    // blank lines before a value, both line ends, -0 and 0 (the extents must keep the one met
    // first), and faces after "EOF" that must not be read.
    const std::vector<std::string> lines =
        head + face({{0, 0, 0}, {1, 0, -0.0}, {1, 1, 2}, {0, 1, 3}}) +
        std::vector<std::string>{"0",  "3DFACE", "8",       "3DFACE", "10",     "4",    "31",
                                 "-0", "0",      " 3DFACE", "0",      "3DFACE", "20",   "",
                                 "",   "7",      "0",       "3DFACE", "12",     "-1.5", "0"} +
        face({{2, 2, 0}, {3, 2, 1}, {3, 3, 0}}) +
        face({{5, 5, 1}, {6, 5, 0}, {6, 6, 2}, {5, 6, 0}}) +
        std::vector<std::string>{"0", "3DFACE", "30", "9", "0", "ENDSEC", "0", "EOF"} +
        face({{9, 9, 9}, {8, 9, 9}, {8, 8, 8}});
    for (const std::string& eol : {std::string("\r\n"), std::string("\n")}) {
        const std::string text = dxf(lines, eol);
        const Reading one = scanWithSeam(text, NoSeam);
        ASSERT_EQ(one.error, "");
        ASSERT_EQ(one.mesh.edges.size(), 7 * 5u); // the triangle keeps the fourth corner before it
        for (std::size_t seam = 0; seam <= text.size(); ++seam)
            expectSameReading(scanWithSeam(text, seam), one, "seam at " + std::to_string(seam));
    }

    // Errors after the seam name the same line, with the faces before them kept the same: a
    // file cut short inside a face, a bad number.
    const std::string whole = dxf(head + face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}}) +
                                  face({{5, 5, 0}, {6, 5, 1}, {6, 6, 2}, {5, 6, 3}}) +
                                  face({{7, 7, 0}, {8, 7, 1}, {8, 8, 2}, {7, 8, 3}}) + tail);
    std::string bad = whole;
    bad.replace(bad.rfind("8.000000"), 8, "8,000000");
    for (const std::string& text : {whole.substr(0, whole.rfind("8.000000") + 2), bad}) {
        const Reading one = scanWithSeam(text, NoSeam);
        ASSERT_NE(one.error, "");
        for (std::size_t seam = 0; seam <= text.size(); ++seam)
            expectSameReading(scanWithSeam(text, seam), one, "seam at " + std::to_string(seam));
    }

    // Faces that never give a fourth corner after the seam keep it from before the seam for
    // good: the second thread cannot finish them and gives up; the result is still the same.
    std::vector<std::string> triangles = head + face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}});
    for (int k = 0; k < 5000; ++k) {
        const auto next = face({{double(k), 0, 0}, {k + 1.0, 0, 1}, {double(k), 1, 2}});
        triangles.insert(triangles.end(), next.begin(), next.end());
    }
    const std::string text = dxf(triangles + tail);
    const Reading one = scanWithSeam(text, NoSeam);
    for (std::size_t seam : {std::size_t(200), text.size() / 2, text.size() - 300})
        expectSameReading(scanWithSeam(text, seam), one, "seam at " + std::to_string(seam));
    // The surface a large file would be: every seam position in a face.
    const std::string surface = writtenSurface(relief_test::randomGrid(30, 30, 17));
    const Reading whole1 = scanWithSeam(surface, NoSeam);
    for (std::size_t seam = surface.size() / 2; seam < surface.size() / 2 + 400; ++seam)
        expectSameReading(scanWithSeam(surface, seam), whole1, "seam at " + std::to_string(seam));
}

TEST(DxfMeshReader, StatusProgressAndEsc)
{
    const std::string text = dxf(head + face({{0, 0, 0}, {1, 0, 1}, {1, 1, 2}, {0, 1, 3}}) + tail);
    ScriptedControl control;
    FacetMesh mesh;
    EXPECT_EQ(LoadDxfMesh(mesh, text, "m.dxf", control), MeshLoadOutcome::Loaded);
    EXPECT_EQ(control.statuses, (std::vector<std::string>{"Loading m.dxf... Esc to Cancel.",
                                                          "Processing Mesh... Esc to Cancel."}));
    std::vector<int> gauge;
    for (const auto& [where, percent] : control.progress) {
        EXPECT_EQ(where, ProgressDisplay::Gauge);
        gauge.push_back(percent);
    }
    EXPECT_EQ(gauge, (std::vector<int>{10, 5, 25, 85}));

    // Esc seen at the first checkpoint (after reading) or the second (after the extents).
    for (int at : {0, 1}) {
        ScriptedControl esc;
        esc.escapeFrom = at + 1;
        EXPECT_EQ(LoadDxfMesh(mesh, text, "m.dxf", esc), MeshLoadOutcome::Cancelled);
    }
}

TEST(DxfMeshReader, FilesOnDisk)
{
    const corvane::testing::ScratchFolder folder;
    const std::filesystem::path& dir = folder.path();
    FacetMesh mesh;
    EXPECT_EQ(LoadDxfMeshFile(mesh, (dir / "none.dxf").string(), silentRunControl()),
              MeshLoadOutcome::NoFile);
    const std::string text = writtenSurface(relief_test::randomGrid(4, 4, 3));
    std::ofstream(dir / "s.dxf", std::ios::binary) << text;
    std::ofstream(dir / "empty.dxf", std::ios::binary);
    EXPECT_EQ(LoadDxfMeshFile(mesh, (dir / "s.dxf").string(), silentRunControl()),
              MeshLoadOutcome::Loaded);
    EXPECT_EQ(mesh.edges.size(), 5 * countOf(text, "3DFACE"));
    EXPECT_THROW(LoadDxfMeshFile(mesh, (dir / "empty.dxf").string(), silentRunControl()), Error);
    EXPECT_TRUE(mesh.edges.empty());
    // A folder or a pipe is refused, not read (a pipe would wait for a writer for ever).
    ASSERT_EQ(::mkfifo((dir / "pipe.dxf").c_str(), 0600), 0);
    EXPECT_THROW(LoadDxfMeshFile(mesh, dir.string(), silentRunControl()), Error);
    EXPECT_THROW(LoadDxfMeshFile(mesh, (dir / "pipe.dxf").string(), silentRunControl()), Error);
}

using corvane::testing::expectMeshRefusedAsChanged;
using corvane::testing::TruncatingControl;

TEST(DxfMeshReader, AFileShortenedWhileReadIsReportedNotACrash)
{
    const corvane::testing::ScratchFolder folder;
    const std::string name = (folder.path() / "s.dxf").string();
    const std::string text = writtenSurface(relief_test::randomGrid(40, 40, 5));
    ASSERT_GT(text.size(), 200000u);
    // To nothing, and to the middle of a page in the middle of a face.
    for (const off_t keep : {off_t(0), off_t(text.size() / 2 + 77)}) {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
        TruncatingControl control(name, keep);
        expectMeshRefusedAsChanged(name, control,
                                   [](FacetMesh& mesh, const std::string& path, RunControl& run) {
                                       LoadDxfMeshFile(mesh, path, run);
                                   });
    }
}

namespace {

// The textbook middle-pivot quicksort, moving whole triangles: the order the fast sort must
// give, ties included.
void referenceQuicksort(TTriangleArray& a, long low, long high)
{
    long lo = low, hi = high;
    const double mid = a[std::size_t((lo + hi) / 2)].c[0].z;
    do {
        while (a[std::size_t(lo)].c[0].z < mid)
            ++lo;
        while (a[std::size_t(hi)].c[0].z > mid)
            --hi;
        if (lo <= hi)
            std::swap(a[std::size_t(lo++)], a[std::size_t(hi--)]);
    } while (lo <= hi);
    if (hi > low)
        referenceQuicksort(a, low, hi);
    if (lo < high)
        referenceQuicksort(a, lo, high);
}

} // namespace

TEST(TriangleSort, OrdersEveryShapeOfListAndGivesUpOnEsc)
{
    const auto listOf = [](const std::vector<double>& lows) {
        TTriangleArray list;
        for (std::size_t i = 0; i < lows.size(); ++i)
            list.push_back({{{double(i), 0, lows[i]}, {0, 0, lows[i] + 1}, {0, 0, lows[i] + 2}}});
        return list;
    };
    std::mt19937 random(5);
    std::vector<std::vector<double>> cases{{}, {1}, {2, 1}, {3, 3, 3, 3}};
    std::vector<double> ascending(5000), descending(5000), fewKeys(5000), organ(5000);
    for (int i = 0; i < 5000; ++i) {
        ascending[std::size_t(i)] = i;
        descending[std::size_t(i)] = -i;
        fewKeys[std::size_t(i)] = double(random() % 4);
        organ[std::size_t(i)] = i < 2500 ? i : 5000 - i;
    }
    cases.insert(cases.end(), {ascending, descending, fewKeys, organ});
    for (const auto& lows : cases) {
        TTriangleArray list = listOf(lows), reference = list;
        EXPECT_TRUE(sortByLowestZ(list, silentRunControl()));
        EXPECT_TRUE(isSortedByLowestZ(list));
        if (!reference.empty())
            referenceQuicksort(reference, 0, long(reference.size()) - 1);
        for (std::size_t i = 0; i < list.size(); ++i)
            ASSERT_EQ(list[i].c[0].x, reference[i].c[0].x) << "tie order differs at " << i;
        // A permutation: every triangle is still there once.
        std::vector<double> xs;
        for (const Triangle& t : list)
            xs.push_back(t.c[0].x);
        std::sort(xs.begin(), xs.end());
        for (std::size_t i = 0; i < xs.size(); ++i)
            EXPECT_EQ(xs[i], double(i));
    }

    // A list long enough to be sorted on two threads: the same order, ties included.
    std::vector<double> many(std::size_t(1) << 21);
    for (double& z : many)
        z = double(random() % 1000);
    TTriangleArray large = listOf(many), reference = large;
    EXPECT_TRUE(sortByLowestZ(large, silentRunControl()));
    referenceQuicksort(reference, 0, long(reference.size()) - 1);
    for (std::size_t i = 0; i < large.size(); ++i)
        ASSERT_EQ(large[i].c[0].x, reference[i].c[0].x) << "tie order differs at " << i;

    // Esc already set: gives up at once and leaves the list as it was.
    TTriangleArray list = listOf(descending);
    ScriptedControl esc;
    esc.escapeFrom = 0;
    EXPECT_FALSE(sortByLowestZ(list, esc));
    EXPECT_EQ(list[0].c[0].z, 0);
    EXPECT_FALSE(isSortedByLowestZ(list));
}
