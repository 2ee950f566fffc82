#include "imaging/exif_resolution.h"
#include "imaging/jpeg_codec.h"
#include "imaging/jpeg_library.h"
#include "imaging/resolution.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace corvane::imaging {

namespace {

struct Source {
    jpeg_source_mgr manager; // first: the library sees only this part
    ByteInput* in;
    JOCTET buffer[1 << 16];
};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr decoder)
{
    auto* source = reinterpret_cast<Source*>(decoder->src);
    const std::size_t n = source->in->read(source->buffer, sizeof source->buffer);
    if (n == 0)
        WARNMS(decoder, JWRN_JPEG_EOF); // throws: the file ends before the picture does
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = n;
    return TRUE;
}

void skipInputData(j_decompress_ptr decoder, long count)
{
    auto& manager = *decoder->src;
    while (count > long(manager.bytes_in_buffer)) {
        count -= long(manager.bytes_in_buffer);
        fillInputBuffer(decoder);
    }
    if (count > 0) {
        manager.next_input_byte += count;
        manager.bytes_in_buffer -= std::size_t(count);
    }
}

struct DecoderDeleter {
    void operator()(jpeg_decompress_struct* decoder) const { jpeg_destroy_decompress(decoder); }
};

void readResolution(const jpeg_decompress_struct& decoder, Picture& p)
{
    if (decoder.saw_JFIF_marker && (decoder.density_unit == 1 || decoder.density_unit == 2)) {
        const ResolutionUnit unit =
            decoder.density_unit == 1 ? ResolutionUnit::PerInch : ResolutionUnit::PerCentimetre;
        p.xRes = pixelsPerInch(decoder.X_density, unit);
        p.yRes = pixelsPerInch(decoder.Y_density, unit);
        return;
    }
    for (jpeg_saved_marker_ptr m = decoder.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1) {
            const ExifResolution exif = exifResolution(m->data, m->data_length);
            p.xRes = exif.xRes;
            p.yRes = exif.yRes;
            return;
        }
}

// Adobe writes CMYK inverted (0 = full ink); others do not.
void cmykToRgb(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned k = inverted ? in[3] : 255u - in[3];
        for (int i = 0; i < 3; ++i) {
            const unsigned c = inverted ? in[i] : 255u - in[i];
            out[i] = std::uint8_t((c * k + 127) / 255);
        }
    }
}

void readRows(jpeg_decompress_struct& decoder, Picture& p, const ReadJob& job)
{
    const bool cmyk = decoder.out_color_space == JCS_CMYK;
    std::vector<std::uint8_t> scratch(cmyk ? std::size_t(p.width) * 4 : 0);
    RowProgress progress(job, p.height);
    while (decoder.output_scanline < decoder.output_height) {
        const int y = int(decoder.output_scanline);
        if (cmyk) {
            JSAMPROW row = scratch.data();
            jpeg_read_scanlines(&decoder, &row, 1);
            cmykToRgb(scratch.data(), p.row(y), p.width, decoder.saw_Adobe_marker);
        } else {
            // Straight into the picture, a few rows at a time.
            JSAMPROW rows[16];
            const int count = std::min(16, p.height - y);
            for (int i = 0; i < count; ++i)
                rows[i] = p.row(y + i);
            jpeg_read_scanlines(&decoder, rows, JDIMENSION(count));
        }
        progress.advance(decoder.output_scanline);
    }
}

} // namespace

Picture readJpeg(ReadJob& job)
{
    jpeg_decompress_struct decoder{};
    jpeg_error_mgr errors{};
    jpeg::installErrorManager(reinterpret_cast<jpeg_common_struct&>(decoder), errors);
    jpeg_create_decompress(&decoder);
    std::unique_ptr<jpeg_decompress_struct, DecoderDeleter> destroy(&decoder);
    auto source = std::make_unique<Source>();
    source->in = &job.in;
    source->manager.init_source = initSource;
    source->manager.fill_input_buffer = fillInputBuffer;
    source->manager.skip_input_data = skipInputData;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = termSource;
    decoder.src = &source->manager;
    // Progressive files keep every coefficient in memory: beyond the limit the library stops
    // (it has no backing store) instead of taking more.
    decoder.mem->max_memory_to_use = long(std::min<std::uint64_t>(job.memoryLimit, LONG_MAX));
    Picture p;
    try {
        jpeg_save_markers(&decoder, JPEG_APP0 + 1, 0xFFFF);
        jpeg_read_header(&decoder, TRUE);
        const bool grey = decoder.jpeg_color_space == JCS_GRAYSCALE;
        const bool cmyk =
            decoder.jpeg_color_space == JCS_CMYK || decoder.jpeg_color_space == JCS_YCCK;
        decoder.out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB;
        jpeg_calc_output_dimensions(&decoder);
        if (grey)
            p.palette = greyPalette(8, 256);
        allocatePixels(p, int(decoder.output_width), int(decoder.output_height), grey ? 8 : 24,
                       job);
        readResolution(decoder, p);
        jpeg_start_decompress(&decoder);
        readRows(decoder, p, job);
        jpeg_finish_decompress(&decoder);
    } catch (const jpeg::Failure& failure) {
        const std::uint64_t samples = std::uint64_t(decoder.image_width) * decoder.image_height *
                                      std::uint64_t(decoder.num_components);
        // Beyond the limit (no backing store) or refused by the system: a progressive file
        // keeps two bytes for each sample of every component.
        if (failure.code == JERR_NO_BACKING_STORE || failure.code == JERR_OUT_OF_MEMORY)
            throw Error(job.name, notEnoughMemory("decode", int(decoder.image_width),
                                                  int(decoder.image_height), samples * 2,
                                                  std::min(job.memoryLimit, availableMemory())));
        throwDamaged(job, failure.message);
    }
    return p;
}

} // namespace corvane::imaging
