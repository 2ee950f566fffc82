#include "mesh/stl_reader.h"

#include "common/error.h"
#include "mesh/stl_records.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace corvane::mesh {

void stl::notFinite(const std::string& fileName, std::size_t triangle)
{
    throw Error(fileName, "triangle " + std::to_string(triangle + 1) +
                              " has a coordinate that is not a finite number");
}

namespace {

using stl::EscStride;
using stl::HeaderBytes;
using stl::littleEndian32;
using stl::RecordBytes;

bool startsWithSolid(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return bytes.substr(i, 5) == "solid";
}

bool readBinary(std::string_view bytes, const std::string& fileName, TriangleSink& out,
                RunControl& control)
{
    const std::uint64_t count = littleEndian32(bytes.data() + 80);
    out.expect(count);
    const char* record = bytes.data() + HeaderBytes;
    for (std::size_t t = 0; t < count; ++t, record += RecordBytes) {
        if (t % EscStride == EscStride - 1 && control.escapePressed())
            return false;
        float v[9];
        stl::recordCorners(record, v);
        if (!stl::allFinite(v))
            stl::notFinite(fileName, t);
        out.add({v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]});
    }
    return true;
}

// Words of an ASCII STL file, with the line each is on.
class Words {
public:
    Words(std::string_view bytes, const std::string& fileName) : bytes_(bytes), name_(fileName) {}

    // The next word; empty at the end.
    std::string_view next()
    {
        while (pos_ < bytes_.size() && isBlank(bytes_[pos_])) {
            if (bytes_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
        const std::size_t start = pos_;
        while (pos_ < bytes_.size() && !isBlank(bytes_[pos_]))
            ++pos_;
        return bytes_.substr(start, pos_ - start);
    }
    void skipLine()
    {
        while (pos_ < bytes_.size() && bytes_[pos_] != '\n')
            ++pos_;
    }
    void expect(std::string_view word)
    {
        const std::string_view got = next();
        if (got != word)
            fail("expected \"" + std::string(word) + "\", found " + shown(got));
    }
    double number()
    {
        const std::string_view word = next();
        double value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (word.empty() || error != std::errc() || end != word.data() + word.size())
            fail("expected a number, found " + shown(word));
        if (!std::isfinite(value))
            fail("the number " + shown(word) + " is not finite");
        return value;
    }
    [[noreturn]] void fail(const std::string& reason) const { throw Error(name_, line_, reason); }

private:
    static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static std::string shown(std::string_view word)
    {
        if (word.empty())
            return "the end of the file";
        return "\"" + std::string(word.substr(0, 40)) + "\"";
    }
    std::string_view bytes_;
    const std::string& name_;
    std::size_t pos_ = 0;
    long line_ = 1;
};

bool readAscii(std::string_view bytes, const std::string& fileName, TriangleSink& out,
               RunControl& control)
{
    Words words(bytes, fileName);
    std::size_t count = 0;
    for (std::string_view word = words.next(); !word.empty(); word = words.next()) {
        if (word == "solid" || word == "endsolid") {
            words.skipLine(); // the solid's name
            continue;
        }
        if (word != "facet")
            words.fail("expected \"facet\" or \"endsolid\", found \"" +
                       std::string(word.substr(0, 40)) + "\"");
        words.expect("normal");
        for (int i = 0; i < 3; ++i)
            words.number();
        words.expect("outer");
        words.expect("loop");
        Point3D c[3];
        for (Point3D& p : c) {
            words.expect("vertex");
            p.x = words.number();
            p.y = words.number();
            p.z = words.number();
        }
        words.expect("endloop");
        words.expect("endfacet");
        out.add(c[0], c[1], c[2]);
        if (++count % EscStride == 0 && control.escapePressed())
            return false;
    }
    if (count == 0)
        throw Error(fileName, "the file holds no triangles");
    return true;
}

} // namespace

bool isBinaryStl(std::string_view bytes)
{
    if (bytes.size() < HeaderBytes)
        return false;
    const std::uint64_t count = littleEndian32(bytes.data() + 80);
    return bytes.size() == HeaderBytes + RecordBytes * count;
}

bool readStl(std::string_view bytes, const std::string& fileName, TriangleSink& out,
             RunControl& control)
{
    if (bytes.empty())
        throw Error(fileName, "the file is empty");
    if (isBinaryStl(bytes)) {
        if (littleEndian32(bytes.data() + 80) == 0)
            throw Error(fileName, "the file holds no triangles");
        return readBinary(bytes, fileName, out, control);
    }
    // A binary file cut short whose header starts with "solid" reads as text with no facet:
    // its size is then the better reason.
    const bool textWithFacets =
        startsWithSolid(bytes) && bytes.substr(0, 4096).find("facet") != std::string_view::npos;
    if (textWithFacets || (startsWithSolid(bytes) && bytes.size() < HeaderBytes))
        return readAscii(bytes, fileName, out, control);
    if (bytes.size() < HeaderBytes)
        throw Error(fileName, "the file is too short for an STL file (" +
                                  std::to_string(bytes.size()) + " bytes)");
    const std::uint64_t count = littleEndian32(bytes.data() + 80);
    throw Error(fileName, "the header announces " + std::to_string(count) +
                              " triangles, which take " +
                              std::to_string(HeaderBytes + RecordBytes * count) +
                              " bytes, but the file has " + std::to_string(bytes.size()));
}

} // namespace corvane::mesh
