#pragma once

#include <array>
#include <cstdint>

#include "raster/FastDIB.h"

namespace lisko {

// Entry i is the new value of a channel whose value was i.
using ChannelTable = std::array<std::uint8_t, 256>;

// Writes entries s..e of a linear ramp from `from` to `to` in 16.16 fixed point (truncating), each
// entry held at 255 at most. Nothing is written when e <= s. All four values lie in 0..255;
// others throw RasterError.
void ToneRamp(ChannelTable& table, int s, int from, int e, int to);

// Maps every pixel (at 8 bits: every palette entry) through the three tables; red acts on the
// third byte of a 24-bit pixel, blue on the first.
void ApplyChannelTables(TFastDIB& raster, const ChannelTable& red, const ChannelTable& green,
                        const ChannelTable& blue);

// Amounts are per channel, red, green, blue, and lie in -255..255 (held there).
void AdjustBrightness(TFastDIB& raster, int red, int green, int blue);
void AdjustContrast(TFastDIB& raster, int red, int green, int blue);

// Stretches each channel's used range to 0..255 (at 8 bits: the range over all 256 palette
// entries, used or not). A channel of a single value stays as it is; when every channel already
// spans 0..255 nothing is touched.
void AutoLevels(TFastDIB& raster);

}  // namespace lisko
