#include "mesh/ply_reader.h"

#include "common/error.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace corvane::mesh {

namespace {

enum class Type { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64 };
enum class Format { Ascii, LittleEndian, BigEndian };

struct Property {
    std::string name;
    bool list = false;
    Type count = Type::UInt8; // of a list
    Type item = Type::Float32;
};

struct Element {
    std::string name;
    std::uint64_t count = 0;
    std::vector<Property> properties;
};

struct Header {
    Format format = Format::Ascii;
    std::vector<Element> elements;
    std::size_t bodyStart = 0;
};

bool typeNamed(std::string_view name, Type& type)
{
    static const std::pair<std::string_view, Type> names[] = {
        {"char", Type::Int8},      {"int8", Type::Int8},       {"uchar", Type::UInt8},
        {"uint8", Type::UInt8},    {"short", Type::Int16},     {"int16", Type::Int16},
        {"ushort", Type::UInt16},  {"uint16", Type::UInt16},   {"int", Type::Int32},
        {"int32", Type::Int32},    {"uint", Type::UInt32},     {"uint32", Type::UInt32},
        {"float", Type::Float32},  {"float32", Type::Float32}, {"double", Type::Float64},
        {"float64", Type::Float64}};
    for (const auto& [text, value] : names)
        if (text == name) {
            type = value;
            return true;
        }
    return false;
}

std::size_t sizeOf(Type type)
{
    switch (type) {
    case Type::Int8:
    case Type::UInt8:
        return 1;
    case Type::Int16:
    case Type::UInt16:
        return 2;
    case Type::Int32:
    case Type::UInt32:
    case Type::Float32:
        return 4;
    case Type::Float64:
        return 8;
    }
    return 1;
}

std::vector<std::string_view> wordsOf(std::string_view text)
{
    std::vector<std::string_view> words;
    for (std::size_t w = 0; w < text.size();) {
        const std::size_t e = std::min(text.find_first_of(" \t", w), text.size());
        if (e > w)
            words.push_back(text.substr(w, e - w));
        w = e + 1;
    }
    return words;
}

bool hasEndHeaderLine(std::string_view bytes)
{
    for (std::size_t at = bytes.find("\nend_header"); at != std::string_view::npos;
         at = bytes.find("\nend_header", at + 1)) {
        const std::string_view after = bytes.substr(at + 11, 2);
        if (after.starts_with('\n') || after == "\r\n")
            return true;
    }
    return false;
}

Header readHeader(std::string_view bytes, const std::string& fileName)
{
    // Said first, as the most likely fault of a header that runs into the body.
    if (!bytes.starts_with("ply") || !hasEndHeaderLine(bytes)) {
        if (!bytes.starts_with("ply"))
            throw Error(fileName, "not a PLY file: it does not start with \"ply\"");
        throw Error(fileName, "the PLY header has no end_header line");
    }
    Header header;
    long line = 0;
    bool formatSeen = false;
    for (std::size_t at = 0;;) {
        const std::size_t next = bytes.find('\n', at);
        if (next == std::string_view::npos)
            throw Error(fileName, "the PLY header has no end_header line");
        std::string_view text = bytes.substr(at, next - at);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        ++line;
        for (const char c : text)
            if (static_cast<unsigned char>(c) < 32 && c != '\t')
                throw Error(fileName, line, "the PLY header holds a control character");
        const std::vector<std::string_view> words = wordsOf(text);
        const std::string_view first = words.empty() ? std::string_view() : words[0];
        const auto refuse = [&]() -> Error {
            return Error(fileName, line,
                         "not a PLY header line this program reads: \"" +
                             std::string(text.substr(0, 40)) + "\"");
        };
        at = next + 1;
        if (line == 1) {
            if (words.size() != 1 || first != "ply")
                throw Error(fileName, "not a PLY file: it does not start with \"ply\"");
        } else if (first == "comment" || first == "obj_info") {
        } else if (first == "format" && words.size() == 3) {
            if (words[1] == "ascii")
                header.format = Format::Ascii;
            else if (words[1] == "binary_little_endian")
                header.format = Format::LittleEndian;
            else if (words[1] == "binary_big_endian")
                header.format = Format::BigEndian;
            else
                throw refuse();
            formatSeen = true;
        } else if (first == "element" && words.size() == 3) {
            Element element;
            element.name = std::string(words[1]);
            const auto [end, error] =
                std::from_chars(words[2].data(), words[2].data() + words[2].size(), element.count);
            if (error != std::errc() || end != words[2].data() + words[2].size())
                throw refuse();
            header.elements.push_back(std::move(element));
        } else if (first == "property" && !header.elements.empty() &&
                   (words.size() == 3 || (words.size() == 5 && words[1] == "list"))) {
            Property property;
            property.list = words.size() == 5;
            if (property.list
                    ? !typeNamed(words[2], property.count) || !typeNamed(words[3], property.item)
                    : !typeNamed(words[1], property.item))
                throw refuse();
            property.name = std::string(words.back());
            header.elements.back().properties.push_back(std::move(property));
        } else if (first == "end_header" && words.size() == 1) {
            if (!formatSeen)
                throw Error(fileName, line, "the PLY header has no format line");
            header.bodyStart = at;
            return header;
        } else {
            throw refuse();
        }
    }
}

// The counts the header announces must fit the bytes after it, before anything is reserved:
// an ASCII value takes at least two bytes (a digit and a blank), a binary one its size.
void checkAnnouncedCounts(const Header& header, std::size_t bytes, std::size_t bodyBytes,
                          const std::string& fileName)
{
    double announced = 0, needed = 0;
    for (const Element& element : header.elements) {
        double least = 0;
        for (const Property& property : element.properties)
            least += header.format == Format::Ascii
                         ? 2.0
                         : double(sizeOf(property.list ? property.count : property.item));
        announced += double(element.count);
        needed += double(element.count) * least;
    }
    if (announced > double(bytes))
        throw Error(fileName, "the header announces " + std::to_string(std::uint64_t(announced)) +
                                  " elements, but the file has only " + std::to_string(bytes) +
                                  " bytes");
    if (needed > double(bodyBytes))
        throw Error(fileName, "the header announces more elements than the " +
                                  std::to_string(bodyBytes) + " bytes after it can hold");
}

// The values of the body, one after the other, as the header's types say.
class Body {
public:
    Body(std::string_view bytes, Format format, const std::string& fileName)
        : p_(bytes.data()), end_(bytes.data() + bytes.size()), format_(format), fileName_(fileName)
    {
    }

    double value(Type type) { return format_ == Format::Ascii ? asciiValue() : binaryValue(type); }

    // A whole number in 0..limit: a list's count or a corner's index.
    std::uint64_t index(Type type, std::uint64_t limit, const char* what)
    {
        const double v = value(type);
        if (!(v >= 0 && v <= double(limit) && v == std::floor(v)))
            throw Error(fileName_, std::string(what) + " " + numberText(v) + " is out of range");
        return std::uint64_t(v);
    }

private:
    static std::string numberText(double v)
    {
        char text[32];
        const auto [end, error] = std::to_chars(text, text + sizeof text, v);
        return error == std::errc() ? std::string(text, end) : std::string("?");
    }

    [[noreturn]] void endsEarly() const
    {
        throw Error(fileName_, "the file ends before the elements its header announces");
    }

    double asciiValue()
    {
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n'))
            ++p_;
        const char* start = p_;
        while (p_ < end_ && *p_ != ' ' && *p_ != '\t' && *p_ != '\r' && *p_ != '\n')
            ++p_;
        if (start == p_)
            endsEarly();
        double v = 0;
        const auto [end, error] = std::from_chars(start, p_, v);
        if (error != std::errc() || end != p_)
            throw Error(fileName_, "\"" +
                                       std::string(start, std::min<std::size_t>(p_ - start, 40)) +
                                       "\" is not a number");
        return v;
    }

    template <class T> T take()
    {
        if (std::size_t(end_ - p_) < sizeof(T))
            endsEarly();
        unsigned char raw[sizeof(T)];
        std::memcpy(raw, p_, sizeof(T));
        p_ += sizeof(T);
        const bool swap =
            (format_ == Format::BigEndian) == (std::endian::native == std::endian::little);
        if (swap)
            for (std::size_t i = 0; i < sizeof(T) / 2; ++i)
                std::swap(raw[i], raw[sizeof(T) - 1 - i]);
        T v;
        std::memcpy(&v, raw, sizeof(T));
        return v;
    }

    double binaryValue(Type type)
    {
        switch (type) {
        case Type::Int8:
            return take<std::int8_t>();
        case Type::UInt8:
            return take<std::uint8_t>();
        case Type::Int16:
            return take<std::int16_t>();
        case Type::UInt16:
            return take<std::uint16_t>();
        case Type::Int32:
            return take<std::int32_t>();
        case Type::UInt32:
            return take<std::uint32_t>();
        case Type::Float32:
            return take<float>();
        case Type::Float64:
            return take<double>();
        }
        return 0;
    }

    const char* p_;
    const char* end_;
    Format format_;
    const std::string& fileName_;
};

void skipProperty(Body& body, const Property& property)
{
    if (!property.list) {
        body.value(property.item);
        return;
    }
    const std::uint64_t n = body.index(property.count, UINT32_MAX, "a list length");
    for (std::uint64_t i = 0; i < n; ++i)
        body.value(property.item);
}

int propertyNamed(const Element& element, std::string_view name, bool list)
{
    for (std::size_t i = 0; i < element.properties.size(); ++i)
        if (element.properties[i].name == name && element.properties[i].list == list)
            return int(i);
    return -1;
}

} // namespace

bool readPly(std::string_view bytes, const std::string& fileName, TriangleSink& out,
             RunControl& control)
{
    const Header header = readHeader(bytes, fileName);
    const std::string_view bodyBytes = bytes.substr(header.bodyStart);
    checkAnnouncedCounts(header, bytes.size(), bodyBytes.size(), fileName);

    std::vector<Point3D> vertices;
    bool verticesRead = false, facesSeen = false;
    std::size_t triangles = 0, faces = 0;
    std::vector<std::uint64_t> corners;
    Body body(bodyBytes, header.format, fileName);
    for (const Element& element : header.elements) {
        if (element.name == "vertex") {
            const int x = propertyNamed(element, "x", false),
                      y = propertyNamed(element, "y", false),
                      z = propertyNamed(element, "z", false);
            if (x < 0 || y < 0 || z < 0)
                throw Error(fileName, "the vertex element has no x, y or z");
            vertices.reserve(std::size_t(element.count));
            for (std::uint64_t v = 0; v < element.count; ++v) {
                double xyz[3] = {0, 0, 0};
                for (std::size_t p = 0; p < element.properties.size(); ++p) {
                    const Property& property = element.properties[p];
                    if (property.list) {
                        skipProperty(body, property);
                        continue;
                    }
                    const double value = body.value(property.item);
                    if (int(p) == x || int(p) == y || int(p) == z) {
                        if (!std::isfinite(value))
                            throw Error(fileName,
                                        "vertex " + std::to_string(v) +
                                            " has a coordinate that is not a finite number");
                        xyz[int(p) == x ? 0 : int(p) == y ? 1 : 2] = value;
                    }
                }
                vertices.push_back({xyz[0], xyz[1], xyz[2]});
            }
            verticesRead = true;
        } else if (element.name == "face") {
            int list = propertyNamed(element, "vertex_indices", true);
            if (list < 0)
                list = propertyNamed(element, "vertex_index", true);
            if (list < 0)
                throw Error(fileName, "the face element has no vertex_indices list");
            if (!verticesRead && element.count > 0)
                throw Error(fileName, "the faces come before the vertices");
            facesSeen = true;
            for (std::uint64_t f = 0; f < element.count; ++f) {
                for (std::size_t p = 0; p < element.properties.size(); ++p) {
                    const Property& property = element.properties[p];
                    if (int(p) != list) {
                        skipProperty(body, property);
                        continue;
                    }
                    const std::uint64_t n =
                        body.index(property.count, UINT32_MAX, "a face's corner count");
                    corners.clear();
                    for (std::uint64_t i = 0; i < n; ++i) {
                        if (vertices.empty())
                            throw Error(fileName, "face " + std::to_string(f) +
                                                      " has corners but the file has no vertices");
                        corners.push_back(
                            body.index(property.item, vertices.size() - 1, "a corner index"));
                    }
                    for (std::size_t i = 2; i < corners.size(); ++i) {
                        out.add(vertices[corners[0]], vertices[corners[i - 1]],
                                vertices[corners[i]]);
                        ++triangles;
                    }
                }
                if ((++faces & 0xFFFF) == 0 && control.escapePressed())
                    return false;
            }
        } else {
            for (std::uint64_t i = 0; i < element.count; ++i)
                for (const Property& property : element.properties)
                    skipProperty(body, property);
        }
    }
    if (!facesSeen || triangles == 0)
        throw Error(fileName, "the file holds no triangles");
    return true;
}

} // namespace corvane::mesh
