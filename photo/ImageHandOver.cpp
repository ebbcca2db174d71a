#include "photo/ImageHandOver.h"

#include <QList>

namespace lisko {

namespace {

void ReleaseMemory(void* data) {
    FreePixels{}(static_cast<std::uint8_t*>(data));
}

}  // namespace

QImage HandOverToImage(TFastDIB&& raster) {
    const bool indexed = raster.BitsPerPixel() == 8;
    QList<QRgb> colours;
    if (indexed) {
        for (const PaletteEntry& e : raster.Palette())
            colours.append(qRgb(e.Red, e.Green, e.Blue));
    }
    ReleasedPixels pixels = raster.ReleasePixels();
    std::uint8_t* data = pixels.Data.release();
    // The memory holds the rows top-down with 4-byte aligned strides, as QImage expects.
    QImage image(data, pixels.Width, pixels.Height, pixels.RowBytes,
                 indexed ? QImage::Format_Indexed8 : QImage::Format_BGR888, ReleaseMemory, data);
    if (indexed) image.setColorTable(colours);
    return image;
}

}  // namespace lisko
