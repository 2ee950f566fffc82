#include "toolpaths/dxf_polyline_writer.h"

#include "common/atomic_file.h"
#include "common/number_format.h"

namespace corvane::toolpaths {

namespace {

void line(std::string& out, const char* text)
{
    out += text;
    out += "\r\n";
}

void number(std::string& out, double v)
{
    appendFixed(out, v, 4);
    out += "\r\n";
}

void vertex(std::string& out, double x, double y, double z)
{
    line(out, "0\r\nVERTEX\r\n8\r\n0\r\n10");
    number(out, x);
    line(out, "20");
    number(out, y);
    line(out, "30");
    number(out, z);
    line(out, "70\r\n32");
}

} // namespace

std::string dxfPolylineText(const TRegionArray& regions)
{
    std::string out;
    line(out, "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n0\r\nENDSEC");
    line(out, "0\r\nSECTION\r\n2\r\nTABLES\r\n0\r\nENDSEC");
    line(out, "0\r\nSECTION\r\n2\r\nBLOCKS\r\n0\r\nENDSEC");
    line(out, "0\r\nSECTION\r\n2\r\nENTITIES");
    for (std::size_t i = 1; i < regions.size(); ++i) {
        const TRegion& r = regions[i];
        if (r.entities.empty())
            continue;
        line(out, "0\r\nPOLYLINE\r\n8\r\n0\r\n66\r\n1\r\n70\r\n8");
        vertex(out, r.entities[0].x1, r.entities[0].y1, r.depth);
        for (const TMyEntity& s : r.entities)
            vertex(out, s.x2, s.y2, r.depth);
        line(out, "0\r\nSEQEND");
    }
    line(out, "0\r\nENDSEC\r\n0\r\nEOF");
    return out;
}

void SaveDxfPolylines(const std::string& path, const TRegionArray& regions)
{
    AtomicFile file(path);
    file.write(dxfPolylineText(regions));
    file.commit();
}

} // namespace corvane::toolpaths
