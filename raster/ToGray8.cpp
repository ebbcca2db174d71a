#include <array>

#include "raster/FastDIB.h"
#include "raster/RowBands.h"

namespace lisko {

namespace {

// Each channel weighs 22102 / 65536, truncated per channel, so that white sums to exactly 255.
// It is deliberately not a luminance formula.
constexpr std::array<std::uint8_t, 256> ThirdTable() {
    std::array<std::uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(22102 * i / 65536);
    return t;
}

constexpr std::array<std::uint8_t, 256> kThird = ThirdTable();

}  // namespace

void TFastDIB::ToGray8(TFastDIB& dest) const {
    if (&dest == this) throw RasterError("ToGray8", "source and destination are the same raster");
    dest.SetSize(width_, height_, 8);
    dest.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});

    if (bitsPerPixel_ == 24) {
        ForEachRowBand(height_, width_, [&](int first, int last) {
            for (int y = first; y < last; ++y) {
                const std::uint8_t* s = Row(y);
                std::uint8_t* d = dest.Row(y);
                for (int x = 0; x < width_; ++x, s += 3) {
                    d[x] = static_cast<std::uint8_t>(kThird[s[0]] + kThird[s[1]] + kThird[s[2]]);
                }
            }
        });
        return;
    }
    std::array<std::uint8_t, 256> grey{};
    for (std::size_t i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette_[i];
        grey[i] = static_cast<std::uint8_t>(kThird[e.Blue] + kThird[e.Green] + kThird[e.Red]);
    }
    ForEachRowBand(height_, width_, [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            const std::uint8_t* s = Row(y);
            std::uint8_t* d = dest.Row(y);
            for (int x = 0; x < width_; ++x)
                d[x] = grey[s[x]];
        }
    });
}

}  // namespace lisko
