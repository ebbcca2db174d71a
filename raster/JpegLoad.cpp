#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "raster/JpegErrorManager.h"

namespace lisko {

namespace {

// A progressive file can carry any number of scans, each a full pass over the coefficients; a
// crafted one makes decoding take minutes. Real encoders write about ten.
constexpr int kMaxScans = 1000;

// What libjpeg itself may allocate, beside the raster it decodes into. A progressive file keeps
// every coefficient of the picture until its last scan: 2 bytes per sample, which a 4:2:0 photo
// as large as the raster bound still fits, while a crafted header asking for more is refused
// before the memory is taken.
constexpr long kLibjpegMemory = TFastDIB::MaxImageBytes;  // NOLINT(google-runtime-int)

// Warnings mark damaged data that libjpeg would silently patch with grey (a truncated file among
// them); we refuse such a photo rather than print a picture the user never took. Only warnings
// about harmless irregularities let decoding go on.
void RefuseDamagedData(j_common_ptr cinfo, int level) {
    if (level >= 0) return;  // trace messages
    switch (cinfo->err->msg_code) {
        case JWRN_EXTRANEOUS_DATA:
        case JWRN_JFIF_MAJOR:
        case JWRN_ADOBE_XFORM:
            return;
        default:
            RecordAndJump(cinfo);
    }
}

// A file with too many scans is refused; client_data points to the decoder's flag that says so.
void LimitScans(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->is_decompressor && d->input_scan_number > kMaxScans) {
        *static_cast<bool*>(cinfo->client_data) = true;
        std::longjmp(ErrorManagerOf(cinfo).jump, 1);
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// The decompressor with its error and progress hooks; released however decoding ends.
struct Decoder {
    jpeg_decompress_struct cinfo{};
    JpegErrorManager err{};
    jpeg_progress_mgr progress{};

    bool created = false;
    bool tooManyScans = false;

    Decoder() {
        cinfo.err = UseErrorManager(err);
        cinfo.client_data = &tooManyScans;
        err.pub.emit_message = RefuseDamagedData;
        progress.progress_monitor = LimitScans;
    }
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

// Arithmetic-coded data that ends early raises no warning: the decoder meets the next marker and
// decodes the rest of the picture from zeros, a grey the camera never saw. In a file of one scan
// the decoder reads at most two rows of blocks ahead of the rows delivered (one for the smoothing
// of subsampled colour), so a marker other than a restart met before those is such an early end.
bool EndedEarly(const jpeg_decompress_struct& cinfo) {
    const int marker = cinfo.unread_marker;
    if (marker == 0 || (marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7)) return false;
    const JDIMENSION readAhead = 2 * static_cast<JDIMENSION>(cinfo.max_v_samp_factor) * DCTSIZE;
    return cinfo.output_height - cinfo.output_scanline > readAhead;
}

enum class Outcome { Decoded, JpegFailed, TooLarge };

// Runs the whole decode. Everything that the error jump can skip over is plain data, and the
// raster was constructed by the caller, so no destructor is bypassed.
Outcome Decode(Decoder& d, std::FILE* file, TFastDIB& raster) {
    if (setjmp(d.err.jump)) return Outcome::JpegFailed;

    // Created here, under the jump, since creation can fail too.
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    d.cinfo.mem->max_memory_to_use = kLibjpegMemory;
    d.cinfo.progress = &d.progress;
    jpeg_stdio_src(&d.cinfo, file);
    jpeg_read_header(&d.cinfo, TRUE);

    const JDIMENSION w = d.cinfo.image_width;
    const JDIMENSION h = d.cinfo.image_height;
    if (w > TFastDIB::MaxSide || h > TFastDIB::MaxSide) return Outcome::TooLarge;

    const bool grey = d.cinfo.num_components == 1;
    const int bits = grey ? 8 : 24;
    if (std::int64_t{RowBytesFor(static_cast<int>(w), bits)} * h > TFastDIB::MaxImageBytes) {
        return Outcome::TooLarge;
    }
    if (grey) {
        // Greyscale files decode to 236 dithered grey levels and their palette.
        d.cinfo.quantize_colors = TRUE;
        d.cinfo.desired_number_of_colors = 236;
    } else {
        d.cinfo.out_color_space = JCS_EXT_BGR;
    }

    jpeg_start_decompress(&d.cinfo);
    raster.SetSize(static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height),
                   bits);
    if (grey) {
        for (int i = 0; i < d.cinfo.actual_number_of_colors; ++i) {
            const JSAMPLE v = d.cinfo.colormap[0][i];
            raster.Palette()[static_cast<std::size_t>(i)] = {v, v, v, 0};
        }
    }
    const bool oneScan = !jpeg_has_multiple_scans(&d.cinfo);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        // libjpeg delivers the top row first; the row table counts from the bottom.
        JSAMPROW row =
            raster.Row(raster.RowCount() - 1 - static_cast<int>(d.cinfo.output_scanline));
        jpeg_read_scanlines(&d.cinfo, &row, 1);
        if (oneScan && EndedEarly(d.cinfo)) {
            d.cinfo.err->msg_code = JWRN_HIT_MARKER;
            RecordAndJump(reinterpret_cast<j_common_ptr>(&d.cinfo));
        }
    }
    jpeg_finish_decompress(&d.cinfo);
    return Outcome::Decoded;
}

std::unique_ptr<std::FILE, FileCloser> OpenJpegFile(const std::filesystem::path& file) {
    std::unique_ptr<std::FILE, FileCloser> handle(std::fopen(file.c_str(), "rb"));
    if (!handle) {
        throw RasterError("Cannot open file \"" + file.string() + "\": " + std::strerror(errno));
    }
    return handle;
}

bool ReadHeader(Decoder& d, std::FILE* file) {
    if (setjmp(d.err.jump)) return false;
    jpeg_create_decompress(&d.cinfo);
    d.created = true;
    jpeg_stdio_src(&d.cinfo, file);
    jpeg_read_header(&d.cinfo, TRUE);
    return true;
}

}  // namespace

JpegSize ReadJpegSize(const std::filesystem::path& file) {
    const std::unique_ptr<std::FILE, FileCloser> handle = OpenJpegFile(file);
    auto d = std::make_unique<Decoder>();
    if (!ReadHeader(*d, handle.get())) throw JpegError(d->err.code, d->err.text, file);
    // The header holds 16-bit sides, so they fit an int.
    return {static_cast<int>(d->cinfo.image_width), static_cast<int>(d->cinfo.image_height)};
}

TFastDIB TFastDIB::LoadJpegFile(const std::filesystem::path& file) {
    const std::unique_ptr<std::FILE, FileCloser> handle = OpenJpegFile(file);

    auto d = std::make_unique<Decoder>();
    TFastDIB raster;
    const Outcome outcome = Decode(*d, handle.get(), raster);

    switch (outcome) {
        case Outcome::Decoded:
            return raster;
        case Outcome::TooLarge:
            throw RasterError("LoadJpegFile", "\"" + file.string() + "\" is " +
                                                  std::to_string(d->cinfo.image_width) + " x " +
                                                  std::to_string(d->cinfo.image_height) +
                                                  " pixels, more than a photo may have");
        case Outcome::JpegFailed:
            break;
    }
    // The only memory the decoder asks for beyond what it was given is the coefficient store.
    if (d->err.code == JERR_NO_BACKING_STORE || d->err.code == JERR_OUT_OF_MEMORY) {
        throw RasterError("LoadJpegFile", "\"" + file.string() + "\" is " +
                                              std::to_string(d->cinfo.image_width) + " x " +
                                              std::to_string(d->cinfo.image_height) +
                                              " pixels, more than the decoder may hold in memory");
    }
    if (d->tooManyScans) {
        throw RasterError("LoadJpegFile", "\"" + file.string() + "\" has more than " +
                                              std::to_string(kMaxScans) + " progressive scans");
    }
    throw JpegError(d->err.code, d->err.text, file);
}

}  // namespace lisko
