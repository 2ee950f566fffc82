#include "common/error.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_library.h"
#include "imaging/palette_kinds.h"
#include "imaging/rows_written.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace corvane::imaging {

namespace {

struct Destination {
    jpeg_destination_mgr manager; // first: the library sees only this part
    AtomicFile* file;
    JOCTET buffer[1 << 16];
};

void initDestination(j_compress_ptr encoder)
{
    auto* d = reinterpret_cast<Destination*>(encoder->dest);
    d->manager.next_output_byte = d->buffer;
    d->manager.free_in_buffer = sizeof d->buffer;
}

boolean emptyOutputBuffer(j_compress_ptr encoder)
{
    auto* d = reinterpret_cast<Destination*>(encoder->dest);
    d->file->write(reinterpret_cast<const char*>(d->buffer), sizeof d->buffer);
    initDestination(encoder);
    return TRUE;
}

void termDestination(j_compress_ptr encoder)
{
    auto* d = reinterpret_cast<Destination*>(encoder->dest);
    d->file->write(reinterpret_cast<const char*>(d->buffer),
                   sizeof d->buffer - d->manager.free_in_buffer);
}

struct EncoderDeleter {
    void operator()(jpeg_compress_struct* encoder) const { jpeg_destroy_compress(encoder); }
};

UINT16 density(int pixelsPerInch, int other)
{
    return UINT16(std::clamp(pixelsPerInch > 0 ? pixelsPerInch : other, 1, 65535));
}

void writeRows(jpeg_compress_struct& encoder, const Picture& p, bool grey, RowsWritten& rows)
{
    std::vector<std::uint8_t> scratch(p.indexed() ? std::size_t(p.width) * (grey ? 1 : 3) : 0);
    for (int y = 0; y < p.height; ++y) {
        const std::uint8_t* in = p.row(y);
        JSAMPROW row = const_cast<std::uint8_t*>(in); // the library only reads it
        if (p.indexed()) {
            std::uint8_t* out = scratch.data();
            for (int x = 0; x < p.width; ++x) {
                const Rgb c = p.palette[in[x]];
                if (grey) {
                    *out++ = c.r;
                } else {
                    *out++ = c.r;
                    *out++ = c.g;
                    *out++ = c.b;
                }
            }
            row = scratch.data();
        }
        jpeg_write_scanlines(&encoder, &row, 1);
        rows.advance(y + 1);
    }
}

} // namespace

void writeJpeg(const Picture& p, AtomicFile& file, int quality, RunControl& control)
{
    jpeg_compress_struct encoder{};
    jpeg_error_mgr errors{};
    jpeg::installErrorManager(reinterpret_cast<jpeg_common_struct&>(encoder), errors);
    jpeg_create_compress(&encoder);
    std::unique_ptr<jpeg_compress_struct, EncoderDeleter> destroy(&encoder);
    auto destination = std::make_unique<Destination>();
    destination->file = &file;
    destination->manager.init_destination = initDestination;
    destination->manager.empty_output_buffer = emptyOutputBuffer;
    destination->manager.term_destination = termDestination;
    encoder.dest = &destination->manager;
    const bool grey = hasGreyPalette(p);
    try {
        encoder.image_width = JDIMENSION(p.width);
        encoder.image_height = JDIMENSION(p.height);
        encoder.input_components = grey ? 1 : 3;
        encoder.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_set_defaults(&encoder);
        jpeg_set_quality(&encoder, std::clamp(quality, 1, 100), TRUE);
        encoder.write_JFIF_header = TRUE;
        if (p.xRes > 0 || p.yRes > 0) {
            encoder.density_unit = 1; // dots per inch
            encoder.X_density = density(p.xRes, p.yRes);
            encoder.Y_density = density(p.yRes, p.xRes);
        }
        jpeg_start_compress(&encoder, TRUE);
        RowsWritten rows(control, file.targetPath(), p.height);
        writeRows(encoder, p, grey, rows);
        jpeg_finish_compress(&encoder);
    } catch (const jpeg::Failure& failure) {
        throw Error(file.targetPath(), "cannot write the JPEG file: " + failure.message);
    }
}

} // namespace corvane::imaging
