#pragma once

#include <opencv2/core.hpp>

#include "raster/FastDIB.h"

namespace lisko {

// A 24-bit raster seen as an OpenCV BGR matrix without a copy: the raster keeps its rows
// top-down in memory, so the top row (row-table index Height - 1) starts the block.
inline cv::Mat OpenCvView(TFastDIB& raster) {
    return cv::Mat(raster.Height(), raster.Width(), CV_8UC3, raster.Row(raster.Height() - 1),
                   static_cast<std::size_t>(raster.RowBytes()));
}

inline cv::Mat OpenCvView(const TFastDIB& raster) {
    return OpenCvView(const_cast<TFastDIB&>(raster));
}

}  // namespace lisko
