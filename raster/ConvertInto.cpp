#include <cstring>
#include <unordered_map>

#include "raster/FastDIB.h"

namespace lisko {

namespace {

std::uint32_t Pack(const std::uint8_t* bgr) {
    return std::uint32_t{bgr[0]} | std::uint32_t{bgr[1]} << 8 | std::uint32_t{bgr[2]} << 16;
}

int NearestEntry(const Palette256& palette, int count, const std::uint8_t* bgr) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const PaletteEntry& e = palette[static_cast<std::size_t>(i)];
        const int distance =
            std::abs(e.Blue - bgr[0]) + std::abs(e.Green - bgr[1]) + std::abs(e.Red - bgr[2]);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

void TFastDIB::ConvertInto(TFastDIB& dest) const {
    if (&dest == this) return;
    if (dest.width_ != width_ || dest.height_ != height_) {
        throw RasterError("ConvertInto", "source is " + std::to_string(width_) + " x " +
                                             std::to_string(height_) + ", destination " +
                                             std::to_string(dest.width_) + " x " +
                                             std::to_string(dest.height_));
    }
    if (IsEmpty()) return;

    if (dest.bitsPerPixel_ == bitsPerPixel_) {
        const auto bytes = static_cast<std::size_t>(width_ * BytesPerPixel());
        for (int y = 0; y < height_; ++y)
            std::memcpy(dest.Row(y), Row(y), bytes);
        if (bitsPerPixel_ == 8) dest.palette_ = palette_;
        return;
    }

    if (bitsPerPixel_ == 8) {  // 8 to 24 bits: each index becomes its palette colour
        for (int y = 0; y < height_; ++y) {
            const std::uint8_t* s = Row(y);
            std::uint8_t* d = dest.Row(y);
            for (int x = 0; x < width_; ++x, d += 3) {
                const PaletteEntry& e = palette_[s[x]];
                d[0] = e.Blue;
                d[1] = e.Green;
                d[2] = e.Red;
            }
        }
        return;
    }

    // 24 to 8 bits: the first 256 distinct colours, in order of appearance, make the palette;
    // any later colour takes the nearest of them.
    std::unordered_map<std::uint32_t, std::uint8_t> index;
    int count = 0;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* s = Row(y);
        std::uint8_t* d = dest.Row(y);
        for (int x = 0; x < width_; ++x, s += 3) {
            const std::uint32_t key = Pack(s);
            auto found = index.find(key);
            if (found == index.end() && count < 256) {
                dest.palette_[static_cast<std::size_t>(count)] = {s[0], s[1], s[2], 0};
                found = index.emplace(key, static_cast<std::uint8_t>(count++)).first;
            }
            d[x] = found != index.end()
                       ? found->second
                       : static_cast<std::uint8_t>(NearestEntry(dest.palette_, count, s));
        }
    }
}

}  // namespace lisko
