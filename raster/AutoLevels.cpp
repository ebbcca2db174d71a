#include <algorithm>
#include <cstdint>
#include <mutex>

#include "raster/RowBands.h"
#include "raster/Tone.h"

namespace lisko {

namespace {

// The smallest and largest value of one channel.
struct ChannelRange {
    int low = 255;
    int high = 0;

    void Add(int value) {
        if (value < low) low = value;
        if (value > high) high = value;
    }
    void Add(const ChannelRange& other) {
        low = std::min(low, other.low);
        high = std::max(high, other.high);
    }
    bool IsFull() const { return low == 0 && high == 255; }
};

struct ColourRanges {
    ChannelRange blue;
    ChannelRange green;
    ChannelRange red;

    void Add(int b, int g, int r) {
        blue.Add(b);
        green.Add(g);
        red.Add(r);
    }
    void Add(const ColourRanges& other) {
        blue.Add(other.blue);
        green.Add(other.green);
        red.Add(other.red);
    }
};

// At 8 bits the pixels are indices: the colours are the whole palette, used or not.
ColourRanges MeasureRanges(const TFastDIB& raster) {
    ColourRanges ranges;
    if (raster.BitsPerPixel() == 8) {
        for (const PaletteEntry& entry : raster.Palette())
            ranges.Add(entry.Blue, entry.Green, entry.Red);
        return ranges;
    }
    // Each band measures its own rows; the smallest and largest of the bands' are the raster's.
    std::mutex merging;
    ForEachRowBand(raster.RowCount(), raster.Width(), [&](int first, int last) {
        ColourRanges band;
        for (int y = first; y < last; ++y) {
            const std::uint8_t* p = raster.Row(y);
            for (int x = 0; x < raster.Width(); ++x, p += 3)
                band.Add(p[0], p[1], p[2]);
        }
        const std::lock_guard lock(merging);
        ranges.Add(band);
    });
    return ranges;
}

// Starts from the identity, so that a channel of a single value (or a raster without pixels)
// keeps its values and no entry is left undefined.
ChannelTable StretchTable(const ChannelRange& range) {
    ChannelTable table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<std::uint8_t>(i);
    if (range.low < range.high) ToneRamp(table, range.low, 0, range.high, 255);
    return table;
}

}  // namespace

void AutoLevels(TFastDIB& raster) {
    const ColourRanges ranges = MeasureRanges(raster);
    if (ranges.blue.IsFull() && ranges.green.IsFull() && ranges.red.IsFull()) return;
    ApplyChannelTables(raster, StretchTable(ranges.red), StretchTable(ranges.green),
                       StretchTable(ranges.blue));
}

}  // namespace lisko
