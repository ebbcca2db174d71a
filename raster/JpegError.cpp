#include "raster/Jpeg.h"
#include "raster/JpegErrorManager.h"

namespace lisko {

JpegError::JpegError(int code, std::string detail, std::filesystem::path file)
    : RasterError("JPEG error #" + std::to_string(code)),
      code_(code),
      detail_(std::move(detail)),
      file_(std::move(file)) {}

std::string DescribeJpegError(const std::exception& error) {
    if (const auto* jpeg = dynamic_cast<const JpegError*>(&error))
        return std::string(jpeg->what()) + " (" + jpeg->Detail() + ")";
    return error.what();
}

std::string JpegFileAndWords(const std::exception& error) {
    if (const auto* jpeg = dynamic_cast<const JpegError*>(&error); jpeg && !jpeg->File().empty())
        return jpeg->File().string() + ": " + jpeg->Detail();
    return {};
}

jpeg_error_mgr* UseErrorManager(JpegErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = RecordAndJump;
    return &err.pub;
}

JpegErrorManager& ErrorManagerOf(j_common_ptr cinfo) {
    // `pub` is the manager's first member, where libjpeg's pointer points.
    return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

void RecordAndJump(j_common_ptr cinfo) {
    JpegErrorManager& err = ErrorManagerOf(cinfo);
    err.code = err.pub.msg_code;
    err.pub.format_message(cinfo, err.text);
    std::longjmp(err.jump, 1);
}

}  // namespace lisko
