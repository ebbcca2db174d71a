#pragma once

#include <QImage>
#include <optional>

#include "photo/Lisko.h"

namespace lisko {

// The pixels each crop percentage cuts from a rendering of width w and height h.
struct CropPixels {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
};
CropPixels CropAmounts(const TLiskoData& photo, int w, int h);

// Blanks the bands that the crop removes: white rectangles with a one-pixel black outline, top,
// bottom, left and right in that order, as the editor shows what will be cut.
void DrawCropOverlay(QImage& picture, const CropPixels& crop);

enum class Edge { Left, Right, Top, Bottom };

// The crop a right-click at (x, y) of a w x h rendering sets: the edge strictly nearest to the
// point and the percentage of the side up to it. Nothing when two or more edges are nearest.
struct EdgeCrop {
    Edge edge;
    int percent;
};
std::optional<EdgeCrop> CropFromClick(int x, int y, int w, int h);

// The crop values of a photo with one edge changed.
void ApplyEdgeCrop(TLiskoData& photo, const EdgeCrop& crop);

}  // namespace lisko
