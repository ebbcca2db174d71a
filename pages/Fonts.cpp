#include "pages/Fonts.h"

#include <QFontMetrics>

namespace lisko {

QFont FontWithCellHeight(const QString& family, int cellHeight) {
    QFont font(family);
    int size = cellHeight;
    font.setPixelSize(size);
    // The cell (ascent + descent) is larger than the pixel (em) size; shrink until it fits.
    while (size > 1 && QFontMetrics(font).height() > cellHeight)
        font.setPixelSize(--size);
    return font;
}

}  // namespace lisko
