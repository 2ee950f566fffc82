#include "imaging/pnm_codec.h"

#include "common/error.h"
#include "imaging/palette_kinds.h"
#include "imaging/rows_written.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <vector>

namespace corvane::imaging {

namespace {

// Characters of the header and of the plain (ASCII) kinds, read through a buffer.
class TextReader {
public:
    explicit TextReader(ByteInput& in) : in_(in) {}

    int peek()
    {
        if (pos_ == end_) {
            start_ += end_;
            end_ = in_.read(buffer_.data(), buffer_.size());
            pos_ = 0;
            if (end_ == 0)
                return -1;
        }
        return static_cast<unsigned char>(buffer_[pos_]);
    }
    int get()
    {
        const int c = peek();
        if (c != -1)
            ++pos_;
        return c;
    }
    // Offset of the next character in the input.
    std::uint64_t offset() const { return start_ + pos_; }

    // Skips blanks and # comments; returns the first other character (or -1).
    int skipBlanks()
    {
        for (;;) {
            int c = get();
            if (c == '#')
                while (c != '\n' && c != '\r' && c != -1)
                    c = get();
            if (c == -1 || !std::isspace(c))
                return c;
        }
    }

    // A decimal number after blanks and comments; -1 when there is none, -2 when too large.
    long long number(int first)
    {
        if (first < '0' || first > '9')
            return -1;
        long long value = first - '0';
        for (int c = peek(); c >= '0' && c <= '9'; c = peek()) {
            value = value * 10 + (c - '0');
            if (value > 1000000000LL)
                return -2;
            ++pos_;
        }
        return value;
    }

private:
    ByteInput& in_;
    std::array<char, 1 << 16> buffer_{};
    std::size_t pos_ = 0, end_ = 0;
    std::uint64_t start_ = 0;
};

struct PnmHeader {
    char kind = 0; // '1' .. '6'
    long long width = 0, height = 0, maxval = 1;
    bool plain() const { return kind <= '3'; }
    bool bits() const { return kind == '1' || kind == '4'; }
    int channels() const { return kind == '3' || kind == '6' ? 3 : 1; }
    // Grey of more than 8 bits is a depth map and keeps 16 bits a sample.
    bool deepGrey() const { return (kind == '2' || kind == '5') && maxval > 255; }
};

long long headerNumber(TextReader& text, const ReadJob& job, const char* what)
{
    const long long value = text.number(text.skipBlanks());
    if (value == -2)
        throw Error(job.name, std::string("picture ") + what + " is out of range");
    if (value < 0)
        throw Error(job.name, std::string("picture header has no ") + what);
    return value;
}

PnmHeader readHeader(TextReader& text, const ReadJob& job)
{
    PnmHeader h;
    const int p = text.get(), kind = text.get();
    if (p != 'P' || kind < '1' || kind > '6')
        throw Error(job.name, "not a netpbm picture (P1 to P6)");
    h.kind = char(kind);
    h.width = headerNumber(text, job, "width");
    h.height = headerNumber(text, job, "height");
    if (!h.bits())
        h.maxval = headerNumber(text, job, "maximum value");
    if (h.width <= 0 || h.height <= 0)
        throw Error(job.name, "picture has no pixels (" + std::to_string(h.width) + " x " +
                                  std::to_string(h.height) + ")");
    if (h.maxval < 1 || h.maxval > 65535)
        throw Error(job.name,
                    "picture maximum value " + std::to_string(h.maxval) + " is out of range");
    // Exactly one blank ends the header of the raw kinds; the samples follow it.
    const int end = text.get();
    if (end == -1 || !std::isspace(end))
        throw Error(job.name, "picture header is not terminated");
    return h;
}

// Checked before anything is allocated: a damaged header must not cost gigabytes.
void checkEnoughData(const PnmHeader& h, std::uint64_t available, const ReadJob& job)
{
    const std::uint64_t samples = std::uint64_t(h.width) * std::uint64_t(h.height) * h.channels();
    std::uint64_t needed = 0;
    if (h.kind == '4')
        needed = (std::uint64_t(h.width) + 7) / 8 * std::uint64_t(h.height);
    else if (h.kind == '1')
        needed = samples; // one digit each, blanks optional
    else if (h.plain())
        needed = samples * 2 - 1; // a digit and a blank each
    else
        needed = samples * (h.maxval > 255 ? 2 : 1);
    if (needed > available)
        throwDamaged(job, "the data are shorter than its header says (" + std::to_string(h.width) +
                              " x " + std::to_string(h.height) + ")");
}

// Samples above maxval (invalid) count as maxval.
std::uint8_t scaled(unsigned long sample, unsigned long maxval)
{
    const unsigned long clipped = std::min(sample, maxval);
    return std::uint8_t((clipped * 255 + maxval / 2) / maxval);
}

std::uint16_t scaledTo16(unsigned long sample, unsigned long maxval)
{
    const unsigned long clipped = std::min(sample, maxval);
    return std::uint16_t((clipped * 65535 + maxval / 2) / maxval);
}

void readPlainRows(TextReader& text, const PnmHeader& h, Picture& p, const ReadJob& job)
{
    RowProgress progress(job, p.height);
    const std::size_t perRow = std::size_t(h.width) * h.channels();
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* out = p.row(y);
        std::uint16_t* deepOut = h.deepGrey() ? p.samples(y) : nullptr;
        for (std::size_t i = 0; i < perRow; ++i) {
            const int first = text.skipBlanks();
            if (h.kind == '1') { // digits need no blanks between them
                if (first != '0' && first != '1')
                    throwDamaged(job, "bad bit in row " + std::to_string(y));
                out[i] = std::uint8_t(first - '0');
                continue;
            }
            const long long v = text.number(first);
            if (v < 0)
                throwDamaged(job, "bad sample in row " + std::to_string(y));
            if (deepOut)
                deepOut[i] = scaledTo16((unsigned long)v, (unsigned long)h.maxval);
            else
                out[i] = scaled((unsigned long)v, (unsigned long)h.maxval);
        }
        progress.advance(y + 1);
    }
}

void readRawRows(ByteInput& in, const PnmHeader& h, Picture& p, const ReadJob& job)
{
    RowProgress progress(job, p.height);
    const std::size_t perRow = std::size_t(h.width) * h.channels();
    const bool wide = h.maxval > 255;
    std::vector<std::uint8_t> raw;
    if (h.kind == '4')
        raw.resize((std::size_t(h.width) + 7) / 8);
    else if (wide || h.maxval != 255)
        raw.resize(perRow * (wide ? 2 : 1));
    for (int y = 0; y < p.height; ++y) {
        std::uint8_t* out = p.row(y);
        // The common case reads straight into the picture.
        std::uint8_t* into = raw.empty() ? out : raw.data();
        if (!in.readAll(into, raw.empty() ? perRow : raw.size()))
            throwDamaged(job, "the data end in row " + std::to_string(y));
        if (h.kind == '4')
            for (int x = 0; x < p.width; ++x)
                out[x] = (raw[std::size_t(x) >> 3] >> (7 - (x & 7))) & 1;
        else if (h.deepGrey())
            for (std::size_t i = 0; i < perRow; ++i)
                p.samples(y)[i] = scaledTo16((unsigned long)raw[2 * i] << 8 | raw[2 * i + 1],
                                             (unsigned long)h.maxval);
        else if (wide)
            for (std::size_t i = 0; i < perRow; ++i)
                out[i] = scaled((unsigned long)raw[2 * i] << 8 | raw[2 * i + 1],
                                (unsigned long)h.maxval);
        else if (!raw.empty())
            for (std::size_t i = 0; i < perRow; ++i)
                out[i] = scaled(raw[i], (unsigned long)h.maxval);
        progress.advance(y + 1);
    }
}

// One row as stored: bits for P4, grey samples for P5, RGB for P6.
void encodeRow(const Picture& p, int y, char kind, std::uint8_t* out)
{
    const std::uint8_t* in = p.row(y);
    if (kind == '4') {
        const bool zeroIsBlack = p.palette[0] == Rgb{0, 0, 0};
        std::fill(out, out + (std::size_t(p.width) + 7) / 8, 0);
        for (int x = 0; x < p.width; ++x)
            if ((in[x] == 0) == zeroIsBlack) // a set bit is black
                out[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
    } else if (kind == '5' && p.deep()) {
        const std::uint16_t* samples = p.samples(y);
        for (int x = 0; x < p.width; ++x) { // big-endian
            out[2 * x] = std::uint8_t(samples[x] >> 8);
            out[2 * x + 1] = std::uint8_t(samples[x] & 0xFF);
        }
    } else if (kind == '5') {
        for (int x = 0; x < p.width; ++x)
            out[x] = p.palette[in[x]].r;
    } else if (!p.indexed()) {
        std::copy(in, in + p.rowStride(), out);
    } else {
        for (int x = 0; x < p.width; ++x, out += 3) {
            const Rgb c = p.palette[in[x]];
            out[0] = c.r;
            out[1] = c.g;
            out[2] = c.b;
        }
    }
}

std::size_t encodedRowSize(const Picture& p, char kind)
{
    const auto w = std::size_t(p.width);
    return kind == '4' ? (w + 7) / 8 : kind == '5' ? w * p.bytesPerPixel() : w * 3;
}

std::string header(const Picture& p, char kind)
{
    return std::string("P") + kind + "\n" + std::to_string(p.width) + " " +
           std::to_string(p.height) + "\n" + (kind == '4' ? "" : p.deep() ? "65535\n" : "255\n");
}

} // namespace

Picture readPnm(ReadJob& job)
{
    TextReader text(job.in);
    const PnmHeader h = readHeader(text, job);
    checkEnoughData(h, job.in.size() - text.offset(), job);
    if (h.width > std::numeric_limits<int>::max() / 3 || h.height > std::numeric_limits<int>::max())
        throw Error(job.name, "picture size is out of range");
    Picture p;
    allocatePixels(p, int(h.width), int(h.height),
                   h.bits()              ? 1
                   : h.channels() == 3   ? 24
                   : h.deepGrey()        ? 16
                                         : 8,
                   job);
    if (h.bits())
        p.palette = {{255, 255, 255}, {0, 0, 0}};
    else if (p.indexed())
        p.palette = greyPalette(8, 256);
    if (h.plain()) {
        readPlainRows(text, h, p, job);
    } else {
        if (!job.in.seek(text.offset()))
            throwDamaged(job, "the header is all there is");
        readRawRows(job.in, h, p, job);
    }
    return p;
}

void writePnm(const Picture& picture, AtomicFile& file, RunControl& control)
{
    const char kind = picture.deep()                ? '5'
                      : isBlackAndWhite(picture)    ? '4'
                      : hasGreyPalette(picture)     ? '5'
                                                    : '6';
    file.write(header(picture, kind));
    std::vector<std::uint8_t> row(encodedRowSize(picture, kind));
    RowsWritten rows(control, file.targetPath(), picture.height);
    for (int y = 0; y < picture.height; ++y) {
        encodeRow(picture, y, kind, row.data());
        file.write(reinterpret_cast<const char*>(row.data()), row.size());
        rows.advance(y + 1);
    }
}

std::string encodePnm(const Picture& picture)
{
    const char kind = picture.deep() || hasGreyPalette(picture) ? '5' : '6';
    std::string out = header(picture, kind);
    const std::size_t start = out.size(), rowSize = encodedRowSize(picture, kind);
    out.resize(start + rowSize * std::size_t(picture.height));
    for (int y = 0; y < picture.height; ++y)
        encodeRow(picture, y, kind,
                  reinterpret_cast<std::uint8_t*>(out.data() + start + rowSize * std::size_t(y)));
    return out;
}

Picture decodePnm(std::string_view bytes)
{
    if (bytes.size() < 2 || bytes[0] != 'P' || (bytes[1] != '5' && bytes[1] != '6'))
        throw Error("output is not a binary PNM picture (P5 or P6)");
    MemoryInput in(bytes);
    ReadJob job{in, "", silentRunControl()};
    return readPnm(job);
}

} // namespace corvane::imaging
