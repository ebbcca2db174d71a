#pragma once

#include <QPointF>
#include <QSize>
#include <array>
#include <optional>

#include "raster/FastDIB.h"

namespace lisko {

// The four corners of a photographed sheet: top-left, top-right, bottom-right, bottom-left.
// Coordinates are continuous: pixel (i, j) covers [i, i + 1) x [j, j + 1), so a corner may lie
// anywhere from (0, 0) to (width, height) of its picture; x grows to the right, y downwards.
using SheetQuad = std::array<QPointF, 4>;

inline constexpr const char* SheetCornerNames[4] = {"top-left", "top-right", "bottom-right",
                                                    "bottom-left"};

// Throws std::invalid_argument naming the fault when the corners cannot be straightened: a corner
// outside the width x height picture, edges that cross or go round the wrong way, or a
// quadrilateral too small or too thin to make a picture of.
void CheckSheetQuad(const SheetQuad& corners, int width, int height);
// The same checks but for the picture's bounds, on finite corners: any that make a proper
// quadrilateral pass, wherever they lie.
void CheckSheetShape(const SheetQuad& corners);

// The straightened picture's size: each side the mean length of two opposite edges, rounded.
QSize StraightenedSize(const SheetQuad& corners);

// The largest convex quadrilateral sheet of paper in a 24-bit picture (for a notebook spread, its
// outer edges), or nothing when no whole sheet is visible.
std::optional<SheetQuad> DetectSheet(const TFastDIB& picture);

// The sheet undistorted into a 24-bit rectangle of StraightenedSize, white where the sheet reaches
// beyond the picture. The corners must pass CheckSheetQuad.
TFastDIB StraightenSheet(const TFastDIB& picture, const SheetQuad& corners);

// Corners of a working copy in the pixels of the source it was scaled from.
SheetQuad ScaleSheetQuad(const SheetQuad& corners, QSize from, QSize to);

}  // namespace lisko
