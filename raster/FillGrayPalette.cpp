#include "raster/FastDIB.h"

namespace lisko {

// A gradient through `colors` over entries first..last, walked in 16.16 fixed point. Entries that
// fall almost on a listed colour take it unblended; the others blend the two colours around them,
// truncating. With black and white over 0..255 this gives 0, 0, 1, ..., 253, 255: the grey
// conversions and the black-and-white filter depend on exactly that ramp.
void TFastDIB::FillGrayPalette(int first, int last, std::span<const BgrColor> colors) {
    if (first < 0 || last > 255 || last <= first) {
        throw RasterError("FillGrayPalette", "entries " + std::to_string(first) + ".." +
                                                 std::to_string(last) +
                                                 " are not a range in 0..255");
    }
    if (colors.empty()) throw RasterError("FillGrayPalette", "no colours given");

    const int m = static_cast<int>(colors.size()) - 1;
    const int n = last - first;
    const int step = m * 65536 / n;
    int position = 0;
    BgrColor b = colors[0];
    for (int i = first; i < last; ++i) {
        const int k = position / 65536;
        const BgrColor a = colors[static_cast<std::size_t>(k)];
        b = k < m ? colors[static_cast<std::size_t>(k) + 1] : a;
        const int f = position % 65536;
        const int w = 65536 - f;
        PaletteEntry& entry = palette_[static_cast<std::size_t>(i)];
        BgrColor c;
        if (w < step - w) {
            c = b;
        } else if (f < step - f) {
            c = a;
        } else {
            const auto blend = [&](int ca, int cb) {
                return static_cast<std::uint8_t>((ca * w + cb * f) / 65536);
            };
            c = {blend(a.Blue, b.Blue), blend(a.Green, b.Green), blend(a.Red, b.Red)};
        }
        entry.Blue = c.Blue;
        entry.Green = c.Green;
        entry.Red = c.Red;
        position += step;
    }
    PaletteEntry& lastEntry = palette_[static_cast<std::size_t>(last)];
    lastEntry.Blue = b.Blue;
    lastEntry.Green = b.Green;
    lastEntry.Red = b.Red;
}

}  // namespace lisko
