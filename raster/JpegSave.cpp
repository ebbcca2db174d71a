#include <csetjmp>
#include <cstdlib>

#include "raster/Jpeg.h"
#include "raster/JpegErrorManager.h"

namespace lisko {

namespace {

// The compressor and its memory destination; released however encoding ends.
struct Encoder {
    jpeg_compress_struct cinfo{};
    JpegErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;  // NOLINT(google-runtime-int): libjpeg's type
    bool created = false;

    Encoder() { cinfo.err = UseErrorManager(err); }
    ~Encoder() {
        if (created) jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

// Only plain data lies between setjmp and any jump back to it.
bool Encode(Encoder& e, const TFastDIB& raster, int quality) {
    if (setjmp(e.err.jump)) return false;

    jpeg_create_compress(&e.cinfo);
    e.created = true;
    jpeg_mem_dest(&e.cinfo, &e.buffer, &e.size);
    e.cinfo.image_width = static_cast<JDIMENSION>(raster.Width());
    e.cinfo.image_height = static_cast<JDIMENSION>(raster.Height());
    e.cinfo.input_components = 3;
    e.cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&e.cinfo);
    jpeg_set_quality(&e.cinfo, quality, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);
    while (e.cinfo.next_scanline < e.cinfo.image_height) {
        // libjpeg wants the top row first; the row table counts from the bottom.
        auto row = const_cast<JSAMPROW>(
            raster.Row(raster.RowCount() - 1 - static_cast<int>(e.cinfo.next_scanline)));
        jpeg_write_scanlines(&e.cinfo, &row, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodeJpeg(const TFastDIB& raster, int quality) {
    if (raster.BitsPerPixel() != 24) {
        throw RasterError("EncodeJpeg", "only 24-bit rasters are encoded, not " +
                                            std::to_string(raster.BitsPerPixel()) + "-bit");
    }
    if (raster.IsEmpty()) throw RasterError("EncodeJpeg", "the raster has no pixels");
    if (quality < 1 || quality > 100) {
        throw RasterError("EncodeJpeg", "quality " + std::to_string(quality) + " is not in 1..100");
    }
    Encoder e;
    if (!Encode(e, raster, quality)) throw JpegError(e.err.code, e.err.text, {});
    return {e.buffer, e.buffer + e.size};
}

}  // namespace lisko
