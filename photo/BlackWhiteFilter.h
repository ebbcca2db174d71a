#pragma once

#include "raster/FastDIB.h"

namespace lisko {

// The black-and-white clean-up of a photographed page, in place on a 24-bit raster: every pixel
// is rescaled against the local brightness of the paper around it, so that paper becomes white
// and writing dark. Does nothing when imageType is 0 (colour mode). brightness sets the edge of
// the square tiles in which the paper's brightness is estimated (brightness + 1 pixels) and
// contrast the number of smoothing passes over that estimate (contrast + 1); negative values act
// like 0. A raster without pixels is left as it is.
void BlackWhiteFilter(int imageType, int brightness, int contrast, TFastDIB& raster);

// The filter in its two halves, for a caller that needs the result at a few pixels only.
// First, the paper's brightness around every pixel of an 8-bit grey picture: the tile maxima,
// smoothed, with the grey ramp palette through which the result is shown.
TFastDIB PaperBrightness(const TFastDIB& grey, int brightness, int contrast);
// Then each pixel's result from its grey and its paper's brightness (8-bit rasters of one size,
// the paper's palette as PaperBrightness gives it), written into a 24-bit picture of that size.
void WriteBlackWhite(const TFastDIB& grey, const TFastDIB& paper, TFastDIB& picture);

// One smoothing pass in place over an 8-bit raster: each pixel becomes the truncated mean of the
// four corners of the square of half-width `spread` around it, clamped into the raster. Rows are
// visited from row 0 (the bottom) and columns from the left, and every read sees what is stored at
// that moment, so corners already visited contribute their new values.
void SmoothGray(TFastDIB& raster, int spread);

// SmoothGray with spread 1, then 2, ..., then count; nothing when count <= 0.
void RunSmoothPasses(TFastDIB& raster, int count);

// Normalised values above this become white.
inline constexpr int WhiteCutoff = 240;

// The filter's value for a pixel of the given grey against its background, both 0..255: the
// background maps to 255, 3/10 of it and below to 0, the range between is stretched (rounded to
// the nearest, ties to even), and anything above WhiteCutoff becomes 255. A background of 0 gives
// 255. This is the index into the grey ramp palette, so the pixel finally shows as v - 1 for
// 1 <= v <= 254.
int NormalizeGrey(int grey, int background);

}  // namespace lisko
