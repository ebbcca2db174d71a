#include <algorithm>

#include "raster/Tone.h"

namespace lisko {

namespace {

// Raising brightness lifts black to the amount and keeps white; lowering it keeps black and
// brings white down by the amount.
ChannelTable BrightnessTable(int amount) {
    const int a = std::clamp(amount, -255, 255);
    ChannelTable table{};
    if (a >= 0) {
        ToneRamp(table, 0, a, 255, 255);
    } else {
        ToneRamp(table, 0, 0, 255, 255 + a);
    }
    return table;
}

}  // namespace

void AdjustBrightness(TFastDIB& raster, int red, int green, int blue) {
    ApplyChannelTables(raster, BrightnessTable(red), BrightnessTable(green), BrightnessTable(blue));
}

}  // namespace lisko
