#include "editor/AndShrinkImage.h"

#include <stdexcept>

#include "raster/AndShrink.h"

namespace lisko {

QImage StretchAndCombine(const QImage& source, const QRect& from, int dw, int dh) {
    if (source.format() != QImage::Format_BGR888) {
        throw std::invalid_argument("StretchAndCombine: the source is not a 24-bit picture");
    }
    if (dw <= 0 || dh <= 0 || from.isEmpty() || !source.rect().contains(from)) {
        throw std::invalid_argument("StretchAndCombine: the rectangle lies outside the picture");
    }
    QImage dest(dw, dh, QImage::Format_BGR888);
    StretchAndCombine24(source.constScanLine(from.top()) + 3 * from.left(), source.bytesPerLine(),
                        from.width(), from.height(), dest.scanLine(0), dest.bytesPerLine(), dw, dh);
    return dest;
}

}  // namespace lisko
