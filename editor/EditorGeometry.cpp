#include "editor/EditorGeometry.h"

#include <QPainter>
#include <cstdint>

namespace lisko {

namespace {

int Percent(std::int32_t percent, int side) {
    return static_cast<int>(std::int64_t{percent} * side / 100);
}

}  // namespace

CropPixels CropAmounts(const TLiskoData& photo, int w, int h) {
    return {Percent(photo.CropLeft, w), Percent(photo.CropRight, w), Percent(photo.CropTop, h),
            Percent(photo.CropBottom, h)};
}

void DrawCropOverlay(QImage& picture, const CropPixels& crop) {
    const int w = picture.width();
    const int h = picture.height();
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    // A filled rectangle from (left, top) to (right, bottom), those two edges excluded: the outline
    // runs on its outermost pixels. An empty or inverted band draws nothing.
    const auto band = [&](int left, int top, int right, int bottom) {
        if (right <= left || bottom <= top) return;
        painter.fillRect(QRect(left, top, right - left, bottom - top), Qt::white);
        painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    };
    band(0, 0, w, crop.top);
    band(0, h - crop.bottom, w, h);
    band(0, crop.top, crop.left, h - crop.bottom);
    band(w - crop.right, crop.top, w, h - crop.bottom);
}

std::optional<EdgeCrop> CropFromClick(int x, int y, int w, int h) {
    if (w <= 0 || h <= 0) return std::nullopt;
    const int left = x;
    const int right = w - x;
    const int top = y;
    const int bottom = h - y;
    const auto percent = [](int distance, int side) {
        return static_cast<int>(std::int64_t{distance} * 100 / side);
    };
    if (left < right && left < top && left < bottom) return EdgeCrop{Edge::Left, percent(x, w)};
    if (right < left && right < top && right < bottom)
        return EdgeCrop{Edge::Right, percent(right, w)};
    if (top < left && top < right && top < bottom) return EdgeCrop{Edge::Top, percent(y, h)};
    if (bottom < left && bottom < right && bottom < top) {
        return EdgeCrop{Edge::Bottom, percent(bottom, h)};
    }
    return std::nullopt;
}

void ApplyEdgeCrop(TLiskoData& photo, const EdgeCrop& crop) {
    switch (crop.edge) {
        case Edge::Left:
            photo.CropLeft = crop.percent;
            break;
        case Edge::Right:
            photo.CropRight = crop.percent;
            break;
        case Edge::Top:
            photo.CropTop = crop.percent;
            break;
        case Edge::Bottom:
            photo.CropBottom = crop.percent;
            break;
    }
}

}  // namespace lisko
