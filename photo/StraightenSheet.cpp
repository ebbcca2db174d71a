#include <opencv2/imgproc.hpp>
#include <stdexcept>

#include "photo/OpenCvView.h"
#include "photo/Sheet.h"

namespace lisko {

TFastDIB StraightenSheet(const TFastDIB& picture, const SheetQuad& corners) {
    if (picture.BitsPerPixel() != 24 || picture.IsEmpty()) {
        throw RasterError("StraightenSheet", "needs a non-empty 24-bit picture");
    }
    CheckSheetQuad(corners, picture.Width(), picture.Height());
    const QSize size = StraightenedSize(corners);
    if (size.width() > TFastDIB::MaxSide || size.height() > TFastDIB::MaxSide) {
        throw RasterError("StraightenSheet", "the straightened sheet would be too large");
    }

    // OpenCV addresses pixel centres; the corners are on the continuous grid, half a pixel off.
    // With that shift an axis-aligned sheet on whole pixels comes out as an exact copy.
    const float w = static_cast<float>(size.width());
    const float h = static_cast<float>(size.height());
    const cv::Point2f to[4] = {
        {-0.5f, -0.5f}, {w - 0.5f, -0.5f}, {w - 0.5f, h - 0.5f}, {-0.5f, h - 0.5f}};
    cv::Point2f from[4];
    for (std::size_t i = 0; i < 4; ++i) {
        from[i] = cv::Point2f(static_cast<float>(corners[i].x() - 0.5),
                              static_cast<float>(corners[i].y() - 0.5));
    }
    const cv::Mat transform = cv::getPerspectiveTransform(from, to);

    TFastDIB sheet = TFastDIB::CreateBlank(size.width(), size.height(), 24);
    cv::Mat target = OpenCvView(sheet);
    cv::warpPerspective(OpenCvView(picture), target, transform, target.size(), cv::INTER_LINEAR,
                        cv::BORDER_CONSTANT, cv::Scalar(255, 255, 255));
    return sheet;
}

}  // namespace lisko
