#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "raster/RowBands.h"
#include "raster/Tone.h"

namespace lisko {

namespace {

void RequireChannelValue(std::string_view what, int value) {
    if (value < 0 || value > 255) {
        throw RasterError("ToneRamp",
                          std::string(what) + " " + std::to_string(value) + " is outside 0..255");
    }
}

}  // namespace

// The step is (to - from + 1) / n rather than (to - from) / n, so that truncation still reaches
// `to` at the last entry; where the division is exact a rising ramp overshoots to to + 1 there,
// hence the hold at 255. A falling ramp ends at to + 1 or above and never goes below 0.
void ToneRamp(ChannelTable& table, int s, int from, int e, int to) {
    RequireChannelValue("start index", s);
    RequireChannelValue("start value", from);
    RequireChannelValue("end index", e);
    RequireChannelValue("end value", to);

    const int n = e - s;
    if (n <= 0) return;
    const int step = (to - from + 1) * 65536 / n;
    int position = from * 65536;
    for (int i = s; i <= e; ++i) {
        table[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(std::min(position / 65536, 255));
        position += step;
    }
}

void ApplyChannelTables(TFastDIB& raster, const ChannelTable& red, const ChannelTable& green,
                        const ChannelTable& blue) {
    if (raster.BitsPerPixel() == 8) {
        // The pixels are palette indices: mapping the 256 colours maps every pixel.
        for (PaletteEntry& entry : raster.Palette()) {
            entry.Blue = blue[entry.Blue];
            entry.Green = green[entry.Green];
            entry.Red = red[entry.Red];
        }
        return;
    }
    ForEachRowBand(raster.RowCount(), raster.Width(), [&](int first, int last) {
        for (int y = first; y < last; ++y) {
            std::uint8_t* p = raster.Row(y);
            for (int x = 0; x < raster.Width(); ++x, p += 3) {
                p[0] = blue[p[0]];
                p[1] = green[p[1]];
                p[2] = red[p[2]];
            }
        }
    });
}

}  // namespace lisko
