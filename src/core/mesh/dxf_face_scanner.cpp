#include "mesh/dxf_face_scanner.h"

#include "common/error.h"
#include "common/pages_ahead.h"
#include "mesh/bounds.h"
#include "mesh/facet_mesh_build.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

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

class FaceScanner {
public:
    FaceScanner(std::string_view bytes, const std::string& fileName)
        : begin_(bytes.data()), p_(bytes.data()), end_(bytes.data() + bytes.size()),
          fileName_(fileName)
    {
    }

    Extents3D extents() const { return bounds_.extents(); }

    void scanInto(FacetMesh& mesh)
    {
        const std::size_t faces = std::size_t(end_ - begin_) / EstimatedFaceBytes;
        mesh.edges.reserve(mesh.edges.size() + 5 * faces);
        mesh.triangles.reserve(mesh.triangles.size() + 2 * faces);
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
        std::size_t facesRead = 0;
        while (p_ < end_) {
            const std::string_view line = nextLine();
            if (line == "EOF")
                break;
            if (line == "3DFACE") {
                const char* const faceStart = line.data();
                if ((++facesRead & 0xFFF) == 0) {
                    pages.reached(0, (mesh.edges.size() - edgesBefore) * sizeof(Edge));
                    pages.reached(1, (mesh.triangles.size() - trianglesBefore) * sizeof(Triangle));
                    // A file of smaller faces than estimated outgrows the room.
                    if (mesh.edges.capacity() != edgeRoom ||
                        mesh.triangles.capacity() != triangleRoom)
                        pages.stop();
                }
                // A face the bytes end inside was cut short: its corners are not all there,
                // and whatever followed it is lost.
                if (!readFace())
                    throw Error(fileName_, lineOf(faceStart), "the file ends inside this 3DFACE");
                const std::size_t first = mesh.edges.size();
                addFace(mesh, corners_);
                // The starts of a face's edges are its corners, z negated.
                for (std::size_t i = first; i < mesh.edges.size(); ++i)
                    bounds_.add(mesh.edges[i].start);
            }
        }
        if (facesRead == 0)
            throw Error(fileName_, "no 3DFACE found: not a DXF surface mesh");
    }

private:
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
};

} // namespace

void scanDxfFaces(std::string_view bytes, const std::string& fileName, FacetMesh& mesh)
{
    FaceScanner scanner(bytes, fileName);
    try {
        scanner.scanInto(mesh);
    } catch (const Error&) {
        mesh.extents = scanner.extents();
        throw;
    }
    mesh.extents = scanner.extents();
}

} // namespace corvane::mesh
