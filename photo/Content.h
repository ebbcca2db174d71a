#pragma once

#include <QSize>

#include "photo/Lisko.h"
#include "raster/FastDIB.h"

namespace lisko {

// Crops, in whole percent of the turned picture's sides, that keep what is written on a page.
struct ContentCrops {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    bool operator==(const ContentCrops&) const = default;
};

// The crops that cut a 24-bit picture, once turned by `turn`, down to the box holding what is
// written, printed or drawn on it, with a margin of about 1 % of each side. Ruled, squared and
// margin lines, punched holes, the sheet's edge, desk beside it, soft shadows and specks are not
// writing. Each crop is rounded down to a whole percent so that no ink is cut, and stays within
// the photo's crop range; a page without writing gets no crop.
ContentCrops DetectContent(const TFastDIB& picture, Turn turn);

// The same for a photo's working copy as its rendering shows it: straightened when it is, then
// turned. Throws as TLisko::Render does when the working copy cannot be read.
ContentCrops DetectContentIn(const TLiskoData& photo, QSize workingSize);

}  // namespace lisko
