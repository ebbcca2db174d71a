#include "list/AndShrink.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace lisko {

namespace {

// The source span [first, last) of each destination index along one axis.
struct Span {
    int first;
    int last;
};

std::vector<Span> Spans(int offset, int sourceSize, int destSize) {
    std::vector<Span> spans(static_cast<std::size_t>(destSize));
    for (int i = 0; i < destSize; ++i) {
        const auto first = static_cast<int>(std::int64_t{i} * sourceSize / destSize);
        const auto next = static_cast<int>(std::int64_t{i + 1} * sourceSize / destSize);
        spans[static_cast<std::size_t>(i)] = {offset + first, offset + std::max(next, first + 1)};
    }
    return spans;
}

}  // namespace

QImage StretchAndCombine(const QImage& source, const QRect& from, int dw, int dh) {
    if (source.format() != QImage::Format_BGR888) {
        throw std::invalid_argument("StretchAndCombine: the source is not a 24-bit picture");
    }
    if (dw <= 0 || dh <= 0 || from.isEmpty() || !source.rect().contains(from)) {
        throw std::invalid_argument("StretchAndCombine: the rectangle lies outside the picture");
    }
    const std::vector<Span> columns = Spans(from.left(), from.width(), dw);
    const std::vector<Span> rows = Spans(from.top(), from.height(), dh);

    QImage dest(dw, dh, QImage::Format_BGR888);
    std::vector<std::uint8_t> combined(static_cast<std::size_t>(source.width()) * 3);
    for (int j = 0; j < dh; ++j) {
        const Span& r = rows[static_cast<std::size_t>(j)];
        // First AND the source rows of this destination row together, then the columns.
        std::fill(combined.begin(), combined.end(), std::uint8_t{0xFF});
        for (int y = r.first; y < r.last; ++y) {
            const uchar* line = source.constScanLine(y);
            for (std::size_t b = 0; b < combined.size(); ++b)
                combined[b] &= line[b];
        }
        uchar* out = dest.scanLine(j);
        for (int i = 0; i < dw; ++i) {
            const Span& c = columns[static_cast<std::size_t>(i)];
            std::uint8_t blue = 0xFF, green = 0xFF, red = 0xFF;
            for (int x = c.first; x < c.last; ++x) {
                blue &= combined[3 * static_cast<std::size_t>(x)];
                green &= combined[3 * static_cast<std::size_t>(x) + 1];
                red &= combined[3 * static_cast<std::size_t>(x) + 2];
            }
            out[3 * i] = blue;
            out[3 * i + 1] = green;
            out[3 * i + 2] = red;
        }
    }
    return dest;
}

}  // namespace lisko
