#pragma once

#include <cstdint>
#include <exception>
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

// The text of an error for a message, with libjpeg's own words where there are any: "JPEG error
// #N (words)" for a JpegError, what() for any other error.
std::string DescribeJpegError(const std::exception& error);

// The file a JpegError was raised reading and libjpeg's words on it, "FILE: words", for a line of
// its own under the error's text; empty for any other error and for data not read from a file.
std::string JpegFileAndWords(const std::exception& error);

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
