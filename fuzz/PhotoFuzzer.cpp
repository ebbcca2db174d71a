// A photo's whole way through the program from bytes a user could add: the decoder, the import
// into a scratch directory of this fuzzer's own, the renderings with and without crop in colour or
// in black and white, and the thumbnail. The first bytes choose the settings, within the editor's
// ranges and a little beyond; the rest is the file.
//
// A few hundred bytes can describe a picture of hundreds of megapixels that decodes, correctly
// and within the program's bounds, for half a minute under the sanitizers. Of such a picture
// only the header goes through the loader: the file is cut at its first scan, so the loader
// either refuses the header or fails at the missing data at once.

#include <stdlib.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "photo/Lisko.h"
#include "raster/FastDIB.h"
#include "raster/RowBands.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSettingBytes = 8;
// Pictures up to 3 megapixels go the whole way. That is still above every working copy, so scaling
// down stays covered in every shape (1732 x 1732, 3000 x 1000, 30000 x 100 are all made 1500
// pixels long), while such a picture costs about a second under the sanitizers and a larger one
// more in proportion.
constexpr std::uint64_t kMostPixels = 3'000'000;

fs::path scratch;

void RemoveScratch() {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
}

[[noreturn]] void Fault(const char* what) {
    std::fprintf(stderr, "photo fuzzer: %s\n", what);
    std::abort();
}

// A byte as a value in first..last.
std::int32_t InRange(std::uint8_t byte, int first, int last) {
    return first + byte % (last - first + 1);
}

void Check(const QImage& image, int longestSide) {
    if (image.isNull() || image.width() > longestSide || image.height() > longestSide)
        Fault("a rendering has no pixels or outgrew the working copy");
}

void RenderWithSettings(lisko::TLisko& photo, const std::uint8_t* s) {
    photo.Rotation = InRange(s[0], -1, 4);
    photo.CropLeft = InRange(s[2], 0, 50);
    photo.CropRight = InRange(s[3], 0, 50);
    photo.CropTop = InRange(s[4], 0, 50);
    photo.CropBottom = InRange(s[5], 0, 50);

    // One mode per input: the import has rendered in black and white already, and a further
    // rendering of each mode would cost another thumbnail for every input. An even byte is colour,
    // an odd one black and white of that type.
    photo.ImageType = s[1] % 2 == 0 ? 0 : s[1];
    if (photo.IsBlackWhite()) {
        // Brightness is the tile edge - 1, contrast the smoothing passes - 1.
        photo.Brightness = InRange(s[6], -2, 20);
        photo.Contrast = InRange(s[7], -2, 20);
    } else {
        photo.Brightness = InRange(s[6], -30, 30);
        photo.Contrast = InRange(s[7], -30, 30);
    }
    try {
        Check(photo.Render(true), lisko::TLisko::LongestSide);
        if (photo.Thumbnail.size() !=
            QSize(lisko::TLisko::ThumbnailSide, lisko::TLisko::ThumbnailSide))
            Fault("the thumbnail is not square");
    } catch (const std::runtime_error&) {
        // Crops adding up to the whole photo are refused with an error; that is the answer.
    }
    Check(photo.Render(false), lisko::TLisko::LongestSide);
}

struct HeaderErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void JumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<HeaderErrors*>(cinfo->err)->jump, 1);
}

// The picture's size in pixels as its header states it, or 0 when there is no readable header.
std::uint64_t StatedPixels(const std::uint8_t* data, std::size_t size) {
    jpeg_decompress_struct cinfo{};
    HeaderErrors errors{};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpBack;
    errors.pub.emit_message = [](j_common_ptr, int) {};
    std::uint64_t pixels = 0;
    if (setjmp(errors.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));  // NOLINT: libjpeg's type
        jpeg_read_header(&cinfo, TRUE);
        pixels = std::uint64_t{cinfo.image_width} * cinfo.image_height;
    }
    jpeg_destroy_decompress(&cinfo);
    return pixels;
}

// The file up to its first scan's marker, or all of it when there is none.
std::size_t HeaderLength(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i + 1 < size; ++i) {
        if (data[i] == 0xFF && data[i + 1] == 0xDA) return i;
    }
    return size;
}

// Every execution writes the input and a working copy and deletes the copy again; in memory that
// costs no disk. The system's temporary directory when there is no /dev/shm.
fs::path ScratchParent() {
    std::error_code ignored;
    if (fs::is_directory("/dev/shm", ignored)) return "/dev/shm";
    return fs::temp_directory_path();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Coverage of a band run by a worker thread would be credited to whatever input runs then;
    // one thread keeps every execution to itself and leaves the other cores to other work.
    lisko::SetRasterThreads(1);
    std::string pattern = (ScratchParent() / "lisko-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) Fault("cannot create the scratch directory");
    scratch = pattern;
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSettingBytes) return -1;
    const std::uint8_t* file = data + kSettingBytes;
    std::size_t length = size - kSettingBytes;
    const bool large = StatedPixels(file, length) > kMostPixels;
    if (large) length = HeaderLength(file, length);
    const fs::path input = scratch / "input.jpg";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file), static_cast<std::streamsize>(length));
        if (!out) Fault("cannot write the input file");
    }
    if (large) {
        try {
            lisko::TFastDIB::LoadJpegFile(input);
            Fault("a header without its scans loaded");
        } catch (const lisko::RasterError&) {
        }
        return 0;
    }

    try {
        lisko::TLisko photo(QString::fromStdString(input.string()),
                            QString::fromStdString(scratch.string()));
        if (!fs::exists(photo.WorkFile.toStdString())) Fault("the working copy is missing");
        RenderWithSettings(photo, data);
    } catch (const lisko::RasterError&) {
        // Undecodable or oversized files are refused; nothing may be left behind.
    }

    // Each import leaves exactly the input behind once the photo is gone.
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch)) {
        if (entry.path() != input) Fault("a working copy outlived its photo");
    }
    return 0;
}
