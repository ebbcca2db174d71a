#pragma once

#include <QImage>
#include <QRect>

namespace lisko {

// The editor's thumbnail shrink (raster/AndShrink.h) on a QImage: stretches the rectangle `from`
// of a 24-bit picture onto the whole of a new dw x dh picture, AND-combining what a shrink drops.
// Throws std::invalid_argument for another format or a rectangle outside the picture.
QImage StretchAndCombine(const QImage& source, const QRect& from, int dw, int dh);

}  // namespace lisko
