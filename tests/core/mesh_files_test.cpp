// Mesh files other than DXF: STL read directly, OBJ, PLY and OFF through assimp, all into the
// lists a DXF mesh gives; hostile files refused with a reason.
#include "common/error.h"
#include "mesh/dxf_mesh_reader.h"
#include "mesh/mesh_file_reader.h"
#include "mesh/ply_reader.h"
#include "mesh/stl_reader.h"
#include "mesh/triangle_sort.h"
#include "scratch_folder.h"
#include "truncating_control.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

using namespace corvane;
using namespace corvane::mesh;

namespace {

// A tetrahedron with one flat (z = 0) face, corners as written to every file.
const Point3D TetCorners[4] = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {0, 0, 4}};
const int TetFaces[4][3] = {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}};

std::string binaryStl(const std::vector<std::array<Point3D, 3>>& triangles, const char* head = "")
{
    std::string out(80, ' ');
    std::memcpy(out.data(), head, std::strlen(head));
    const auto count = std::uint32_t(triangles.size());
    out.append(reinterpret_cast<const char*>(&count), 4);
    for (const auto& t : triangles) {
        float record[12] = {};
        for (int c = 0; c < 3; ++c) {
            record[3 + 3 * c] = float(t[std::size_t(c)].x);
            record[4 + 3 * c] = float(t[std::size_t(c)].y);
            record[5 + 3 * c] = float(t[std::size_t(c)].z);
        }
        out.append(reinterpret_cast<const char*>(record), sizeof record);
        out.append(2, '\0');
    }
    return out;
}

std::vector<std::array<Point3D, 3>> tetTriangles()
{
    std::vector<std::array<Point3D, 3>> out;
    for (const auto& f : TetFaces)
        out.push_back({TetCorners[f[0]], TetCorners[f[1]], TetCorners[f[2]]});
    return out;
}

std::string asciiStl()
{
    std::string out = "solid tet\r\n";
    for (const auto& t : tetTriangles()) {
        out += "  facet normal 0 0 0\n    outer loop\n";
        for (const Point3D& p : t)
            out += "      vertex " + std::to_string(p.x) + " " + std::to_string(p.y) + " " +
                   std::to_string(p.z) + "\n";
        out += "    endloop\n  endfacet\n";
    }
    return out + "endsolid tet\n";
}

std::string dxfOf(const std::vector<std::array<Point3D, 3>>& triangles)
{
    std::string out = "0\nSECTION\n2\nENTITIES\n";
    for (const auto& t : triangles) {
        out += "0\n3DFACE\n";
        for (int c = 0; c < 4; ++c) {
            const Point3D& p = t[std::size_t(std::min(c, 2))];
            out += "1" + std::to_string(c) + "\n" + std::to_string(p.x) + "\n2" +
                   std::to_string(c) + "\n" + std::to_string(p.y) + "\n3" + std::to_string(c) +
                   "\n" + std::to_string(p.z) + "\n";
        }
    }
    return out + "0\nENDSEC\n0\nEOF\n";
}

std::string objText()
{
    std::string out = "# tetrahedron\n";
    for (const Point3D& p : TetCorners)
        out += "v " + std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) +
               "\n";
    for (const auto& f : TetFaces)
        out += "f " + std::to_string(f[0] + 1) + " " + std::to_string(f[1] + 1) + " " +
               std::to_string(f[2] + 1) + "\n";
    return out;
}

// The tetrahedron as PLY and OFF list it: a line per corner, then "3 a b c" per face.
std::string tetrahedronLines()
{
    std::string out;
    for (const Point3D& p : TetCorners)
        out += std::to_string(p.x) + " " + std::to_string(p.y) + " " + std::to_string(p.z) + "\n";
    for (const auto& f : TetFaces)
        out += "3 " + std::to_string(f[0]) + " " + std::to_string(f[1]) + " " +
               std::to_string(f[2]) + "\n";
    return out;
}

std::string plyText()
{
    return "ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty float "
           "y\nproperty float z\nelement face 4\nproperty list uchar int "
           "vertex_indices\nend_header\n" +
           tetrahedronLines();
}

std::string offText()
{
    return "OFF\n4 4 0\n" + tetrahedronLines();
}

FacetMesh load(const std::string& bytes, const std::string& extension)
{
    FacetMesh mesh;
    EXPECT_EQ(LoadMeshBytes(mesh, bytes, extension, "t." + extension, silentRunControl()),
              MeshLoadOutcome::Loaded);
    return mesh;
}

std::string reasonFor(const std::string& bytes, const std::string& extension)
{
    FacetMesh mesh;
    try {
        LoadMeshBytes(mesh, bytes, extension, "bad." + extension, silentRunControl());
    } catch (const Error& e) {
        EXPECT_EQ(e.file(), "bad." + extension);
        EXPECT_TRUE(mesh.edges.empty() && mesh.triangles.empty());
        return e.reason();
    }
    ADD_FAILURE() << "accepted: " << bytes.substr(0, 60);
    return {};
}

} // namespace

// Every kind gives what the same triangles give as DXF 3DFACE: sides, sorted triangles and
// extents alike (assimp may start a face at another corner, so its lists are compared as
// counts and extents).
TEST(MeshFiles, EveryKindGivesTheListsOfADxfMesh)
{
    FacetMesh dxf;
    ASSERT_EQ(LoadDxfMesh(dxf, dxfOf(tetTriangles()), "t.dxf", silentRunControl()),
              MeshLoadOutcome::Loaded);
    ASSERT_EQ(dxf.triangles.size(), 3u); // the flat face is left out, as always
    ASSERT_EQ(dxf.edges.size(), 12u);
    for (const auto& [bytes, ext] :
         {std::pair{binaryStl(tetTriangles()), "stl"}, std::pair{asciiStl(), "stl"},
          std::pair{binaryStl(tetTriangles(), "solid but binary"), "stl"}}) {
        const FacetMesh m = load(bytes, ext);
        ASSERT_EQ(m.edges.size(), dxf.edges.size());
        for (std::size_t i = 0; i < m.edges.size(); ++i) {
            EXPECT_EQ(m.edges[i].start, dxf.edges[i].start);
            EXPECT_EQ(m.edges[i].end, dxf.edges[i].end);
        }
        ASSERT_EQ(m.triangles.size(), dxf.triangles.size());
        for (std::size_t i = 0; i < m.triangles.size(); ++i)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ(m.triangles[i].c[c], dxf.triangles[i].c[c]);
        EXPECT_EQ(m.extents, dxf.extents);
    }
    for (const auto& [bytes, ext] :
         {std::pair{objText(), "obj"}, std::pair{plyText(), "ply"}, std::pair{offText(), "off"}}) {
        const FacetMesh m = load(bytes, ext);
        EXPECT_EQ(m.edges.size(), 12u) << ext;
        EXPECT_EQ(m.triangles.size(), 3u) << ext;
        EXPECT_EQ(m.extents, dxf.extents) << ext;
        EXPECT_TRUE(isSortedByLowestZ(m.triangles)) << ext;
    }
}

TEST(MeshFiles, FilesOnDiskByTheirExtension)
{
    corvane::testing::ScratchFolder folder;
    std::ofstream(folder.file("t.STL"), std::ios::binary) << binaryStl(tetTriangles());
    std::ofstream(folder.file("t.obj"), std::ios::binary) << objText();
    std::ofstream(folder.file("t.xyz"), std::ios::binary) << objText();
    FacetMesh mesh;
    EXPECT_EQ(LoadMeshFile(mesh, folder.file("t.STL"), silentRunControl()),
              MeshLoadOutcome::Loaded);
    EXPECT_EQ(mesh.triangles.size(), 3u);
    EXPECT_EQ(LoadMeshFile(mesh, folder.file("t.obj"), silentRunControl()),
              MeshLoadOutcome::Loaded);
    EXPECT_EQ(mesh.triangles.size(), 3u);
    EXPECT_EQ(LoadMeshFile(mesh, folder.file("none.stl"), silentRunControl()),
              MeshLoadOutcome::NoFile);
    EXPECT_THROW(LoadMeshFile(mesh, folder.file("t.xyz"), silentRunControl()), Error);
    TriangleSoup soup;
    EXPECT_TRUE(readMeshTriangles(folder.file("t.obj"), soup, silentRunControl()));
    EXPECT_EQ(soup.corners.size(), 12u); // the flat face too
}

// A DXF's faces as triangles for the depth map: a quadrilateral gives c1 c2 c3 and c1 c3 c4,
// a flat face is kept, a face with its fourth corner on its third is one triangle; a file
// without faces or one that ends inside a face is refused by name.
TEST(MeshFiles, DxfFacesAsTrianglesKeepFlatOnesAndSplitQuadrilaterals)
{
    const std::string flatQuad = "0\r\n3DFACE\r\n10\r\n0\r\n20\r\n0\r\n30\r\n0\r\n11\r\n1\r\n"
                                 "21\r\n0\r\n31\r\n0\r\n12\r\n1\r\n22\r\n1\r\n32\r\n0\r\n13\r\n"
                                 "0\r\n23\r\n1\r\n33\r\n0\r\n";
    // Only the corner that changes is given: the others carry over from the face before.
    const std::string triangle = "0\r\n3DFACE\r\n32\r\n2\r\n13\r\n1\r\n23\r\n1\r\n33\r\n2\r\n";
    const std::string entities = "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
    corvane::testing::ScratchFolder folder;
    std::ofstream(folder.file("m.dxf"), std::ios::binary)
        << entities + flatQuad + triangle + "0\r\nENDSEC\r\n0\r\nEOF\r\n";
    TriangleSoup soup;
    ASSERT_TRUE(readMeshTriangles(folder.file("m.dxf"), soup, silentRunControl()));
    const std::vector<Point3D> expected = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0},
                                           {0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 2}};
    ASSERT_EQ(soup.corners.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(soup.corners[i].x, expected[i].x) << i;
        EXPECT_EQ(soup.corners[i].y, expected[i].y) << i;
        EXPECT_EQ(soup.corners[i].z, expected[i].z) << i;
    }

    std::ofstream(folder.file("none.dxf"), std::ios::binary) << entities + "0\r\nEOF\r\n";
    std::ofstream(folder.file("cut.dxf"), std::ios::binary) << entities + "0\r\n3DFACE\r\n10\r\n";
    for (const char* name : {"none.dxf", "cut.dxf"}) {
        TriangleSoup none;
        try {
            readMeshTriangles(folder.file(name), none, silentRunControl());
            ADD_FAILURE() << name << " was read";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(name), std::string::npos) << error.what();
        }
    }
}

using corvane::testing::expectMeshRefusedAsChanged;
using corvane::testing::TruncatingControl;

// The reader first looks at Esc a million triangles in; the file is cut in half then, so
// the rest reads as zeros.
TEST(MeshFiles, AnStlShortenedWhileReadIsRefusedAndNothingKept)
{
    const corvane::testing::ScratchFolder folder;
    const std::string name = folder.file("big.stl");
    const std::string one = binaryStl(tetTriangles());
    const std::string record = one.substr(84, 50);
    const std::uint32_t count = (1u << 20) + 16;
    std::string bytes = one.substr(0, 80);
    bytes.append(reinterpret_cast<const char*>(&count), 4);
    bytes.reserve(84 + std::size_t(count) * 50);
    for (std::uint32_t t = 0; t < count; ++t)
        bytes += record;
    std::ofstream(name, std::ios::binary) << bytes;
    TruncatingControl control(name, off_t(bytes.size() / 2),
                              TruncatingControl::When::FirstEscCheck);
    expectMeshRefusedAsChanged(name, control,
                               [](FacetMesh& mesh, const std::string& path, RunControl& run) {
                                   LoadMeshFile(mesh, path, run);
                               });
}

TEST(MeshFiles, HostileFilesAreRefusedWithTheReason)
{
    const std::string good = binaryStl(tetTriangles());
    EXPECT_NE(reasonFor(good.substr(0, good.size() - 7), "stl").find("announces 4 triangles"),
              std::string::npos);
    std::string lying = good;
    const std::uint32_t huge = 0xFFFFFFFF;
    std::memcpy(lying.data() + 80, &huge, 4);
    EXPECT_NE(reasonFor(lying, "stl").find("announces 4294967295 triangles"), std::string::npos);
    EXPECT_NE(reasonFor(binaryStl({}), "stl").find("no triangles"), std::string::npos);
    EXPECT_NE(reasonFor("", "stl").find("empty"), std::string::npos);
    EXPECT_NE(reasonFor("abc", "stl").find("too short"), std::string::npos);
    auto nan = tetTriangles();
    nan[2][1].y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_NE(reasonFor(binaryStl(nan), "stl").find("triangle 3 has a coordinate that is not"),
              std::string::npos);
    auto infinite = tetTriangles();
    infinite[0][0].z = 1e300; // beyond float: infinite in the file
    EXPECT_NE(reasonFor(binaryStl(infinite), "stl").find("not a finite number"), std::string::npos);

    std::string ascii = asciiStl();
    ascii.replace(ascii.find("endloop"), 7, "endlop");
    EXPECT_NE(reasonFor(ascii, "stl").find("expected \"endloop\", found \"endlop\""),
              std::string::npos);
    EXPECT_NE(reasonFor("solid x\nfacet normal 0 0 0\nouter loop\nvertex 1 nan 2\n", "stl")
                  .find("\"nan\" is not finite"),
              std::string::npos);
    EXPECT_NE(reasonFor("solid x\nfacet normal 0 0 0\nouter loop\nvertex 1 2", "stl")
                  .find("the end of the file"),
              std::string::npos);
    EXPECT_NE(reasonFor("solid x\nendsolid x\n", "stl").find("no triangles"), std::string::npos);

    EXPECT_NE(reasonFor("v 0 0 0\nv 1 0 0\nv 0 1 0\n", "obj").find("no triangles"),
              std::string::npos);
    EXPECT_FALSE(reasonFor("v 0 0 0\nv 1 0 0\nf 1 2 7\n", "obj").empty());
    EXPECT_FALSE(reasonFor("v nan 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n", "obj").empty());
    // A header that lies about its counts is refused before the library reserves gigabytes.
    EXPECT_NE(reasonFor("ply\nformat ascii 1.0\nelement vertex 999999999\nproperty float x\n"
                        "property float y\nproperty float z\nelement face 1\nproperty list "
                        "uchar int vertex_indices\nend_header\n0 0 0\n",
                        "ply")
                  .find("announces 1000000000 elements"),
              std::string::npos);
    EXPECT_NE(reasonFor("OFF\n4000000000 1 0\n0 0 0\n", "off").find("announces"),
              std::string::npos);
    EXPECT_FALSE(reasonFor("OFF\n3 1 0\n0 0 0\n1 0 0\n", "off").empty());
    // PLY headers the library would read for ever: no vertex element, end_header inside
    // another line, a control character.
    std::string noVertex = plyText();
    noVertex.replace(noVertex.find("element vertex"), 14, "element tertex");
    EXPECT_FALSE(reasonFor(noVertex, "ply").empty());
    std::string glued = plyText();
    glued.replace(glued.find("\nend_header"), 1, "J");
    EXPECT_NE(reasonFor(glued, "ply").find("no end_header"), std::string::npos);
    std::string control = plyText();
    control.replace(control.find("property float y"), 1, std::string(1, '\0'));
    EXPECT_NE(reasonFor(control, "ply").find("control character"), std::string::npos);
    EXPECT_FALSE(reasonFor(plyText().substr(0, 150), "ply").empty());
}

namespace {

// A square of side 2 as one quadrilateral face, its corners 0..3, in a PLY of the given
// format; the vertices carry a colour the reader must read past.
std::string squarePly(const std::string& format)
{
    std::string out = "ply\nformat " + format +
                      " 1.0\ncomment a square\nelement vertex 4\nproperty double x\nproperty "
                      "float y\nproperty uchar red\nproperty float z\nelement face 1\nproperty "
                      "list uchar int vertex_indices\nend_header\n";
    const double corners[4][3] = {{0, 0, 0}, {2, 0, 1}, {2, 2, 2}, {0, 2, 3}};
    const bool big = format == "binary_big_endian";
    const auto put = [&](const void* value, std::size_t size) {
        std::string bytes(static_cast<const char*>(value), size);
        if (big)
            std::reverse(bytes.begin(), bytes.end());
        out += bytes;
    };
    for (const auto& c : corners) {
        if (format == "ascii") {
            out += std::to_string(c[0]) + " " + std::to_string(c[1]) + " 255 " +
                   std::to_string(c[2]) + "\n";
            continue;
        }
        const float y = float(c[1]), z = float(c[2]);
        const unsigned char red = 255;
        put(&c[0], 8);
        put(&y, 4);
        put(&red, 1);
        put(&z, 4);
    }
    if (format == "ascii")
        return out + "4 0 1 2 3\n";
    const unsigned char four = 4;
    put(&four, 1);
    for (std::int32_t i = 0; i < 4; ++i)
        put(&i, 4);
    return out;
}

} // namespace

// PLY is read by our own reader, in every format alike, a polygon split into a fan; bodies
// that end early or index past the vertices (which once corrupted the model library's
// memory) are refused by name.
TEST(MeshFiles, PlyInEveryFormatGivesTheSameFanAndDamageIsNamed)
{
    for (const char* format : {"ascii", "binary_little_endian", "binary_big_endian"}) {
        TriangleSoup soup;
        ASSERT_TRUE(readPly(squarePly(format), "square.ply", soup)) << format;
        const std::vector<Point3D> expected = {{0, 0, 0}, {2, 0, 1}, {2, 2, 2},
                                               {0, 0, 0}, {2, 2, 2}, {0, 2, 3}};
        ASSERT_EQ(soup.corners.size(), expected.size()) << format;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(soup.corners[i].x, expected[i].x) << format << " " << i;
            EXPECT_EQ(soup.corners[i].y, expected[i].y) << format << " " << i;
            EXPECT_EQ(soup.corners[i].z, expected[i].z) << format << " " << i;
        }
    }
    const std::string binary = squarePly("binary_little_endian");
    EXPECT_NE(reasonFor(binary.substr(0, binary.size() - 3), "ply").find("ends before"),
              std::string::npos);
    std::string farCorner = squarePly("ascii");
    farCorner.replace(farCorner.rfind("4 0 1 2 3"), 9, "4 0 1 2 9");
    EXPECT_NE(reasonFor(farCorner, "ply").find("out of range"), std::string::npos);
    std::string notANumber = squarePly("ascii");
    notANumber.replace(notANumber.find("255"), 3, "2x5");
    EXPECT_NE(reasonFor(notANumber, "ply").find("\"2x5\" is not a number"), std::string::npos);
    // Fewer faces than announced, the last ones broken.
    EXPECT_FALSE(reasonFor("ply\nformat ascii 1.0\nelement vertex 4\nproperty float x\nproperty "
                           "float y\nproperty float z\nelement face 8\nproperty list uchar int "
                           "vertex_indices\nend_header\n0 0 0\n2 0 0\n0 3 0\n0 043`\n\x01 @\n3 0 "
                           "3 2\n3 1 2\n",
                           "ply")
                     .empty());
}
