#include <algorithm>

#include "raster/Tone.h"

namespace lisko {

namespace {

// Raising contrast clips the amount off both ends and stretches the rest over 0..255; from 128 on
// the stretch is empty and the table is a hard threshold at 256 - amount. Lowering it squeezes
// 0..255 into -amount..255 + amount, which below -128 turns into an inverted and flatter ramp.
ChannelTable ContrastTable(int amount) {
    const int a = std::clamp(amount, -255, 255);
    ChannelTable table{};
    if (a < 0) {
        ToneRamp(table, 0, -a, 255, 255 + a);
        return table;
    }
    std::fill(table.begin(), table.begin() + a, std::uint8_t{0});
    ToneRamp(table, a, 0, 255 - a, 255);
    // Written last: from 128 on it overlaps the clipped bottom and must win there.
    std::fill(table.end() - a, table.end(), std::uint8_t{255});
    return table;
}

}  // namespace

void AdjustContrast(TFastDIB& raster, int red, int green, int blue) {
    ApplyChannelTables(raster, ContrastTable(red), ContrastTable(green), ContrastTable(blue));
}

}  // namespace lisko
