#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "raster/FastDIB.h"

namespace lisko {

// libjpeg refused the data. The text is "JPEG error #N" with libjpeg's message number; the
// library's own words and the file stay available for messages that can say more.
class JpegError : public RasterError {
public:
    JpegError(int code, std::string detail, std::filesystem::path file);
    int Code() const { return code_; }
    const std::string& Detail() const { return detail_; }
    const std::filesystem::path& File() const { return file_; }

private:
    int code_;
    std::string detail_;
    std::filesystem::path file_;
};

struct JpegSize {
    int width = 0;
    int height = 0;
};

// The pixel size a JPEG file decodes to, read from its header alone. Throws RasterError for a
// file that cannot be opened and JpegError for one without a readable header.
JpegSize ReadJpegSize(const std::filesystem::path& file);

}  // namespace lisko

namespace lisko {

// Encodes a 24-bit raster as a baseline JPEG: libjpeg's standard quality scaling with baseline
// tables forced, every other setting at the library's default (what `cjpeg -quality Q -baseline`
// writes for the same pixels).
std::vector<std::uint8_t> EncodeJpeg(const TFastDIB& raster, int quality);

}  // namespace lisko
