// A photo's whole way through the program from bytes a user could add: the decoder, the import
// into a scratch directory of this fuzzer's own, the renderings with crop in colour and in black
// and white, and the thumbnail. The first bytes choose the settings, within the editor's ranges
// and a little beyond; the rest is the file.

#include <stdlib.h>
#include <unistd.h>

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

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSettingBytes = 8;

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

    photo.ImageType = 0;
    photo.Brightness = InRange(s[6], -30, 30);
    photo.Contrast = InRange(s[7], -30, 30);
    try {
        Check(photo.Render(true), lisko::TLisko::LongestSide);
        if (photo.Thumbnail.size() !=
            QSize(lisko::TLisko::ThumbnailSide, lisko::TLisko::ThumbnailSide))
            Fault("the thumbnail is not square");
    } catch (const std::runtime_error&) {
        // Crops adding up to the whole photo are refused with an error; that is the answer.
    }

    // Black and white: brightness is the tile edge - 1, contrast the smoothing passes - 1.
    photo.ImageType = s[1] == 0 ? 1 : s[1];
    photo.Brightness = InRange(s[6], -2, 20);
    photo.Contrast = InRange(s[7], -2, 20);
    try {
        Check(photo.Render(true), lisko::TLisko::LongestSide);
    } catch (const std::runtime_error&) {
    }
    Check(photo.Render(false), lisko::TLisko::LongestSide);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern = (fs::temp_directory_path() / "lisko-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) Fault("cannot create the scratch directory");
    scratch = pattern;
    std::atexit(RemoveScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSettingBytes) return -1;
    const fs::path input = scratch / "input.jpg";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data + kSettingBytes),
                  static_cast<std::streamsize>(size - kSettingBytes));
        if (!out) Fault("cannot write the input file");
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
