#pragma once

#include <QImage>
#include <QRect>

namespace lisko {

// Stretches the source rectangle of a 24-bit picture onto the whole of a new dw x dh picture the
// way a device's default stretching mode does: while shrinking, the source pixels that fall onto
// one destination pixel are combined by a bitwise AND of their colour values, so thin dark strokes
// survive; while enlarging, pixels repeat. Along each axis, destination index i covers source
// indices i * s / d up to (i + 1) * s / d, at least one.
QImage StretchAndCombine(const QImage& source, const QRect& from, int dw, int dh);

}  // namespace lisko
