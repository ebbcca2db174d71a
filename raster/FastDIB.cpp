#include "raster/FastDIB.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "raster/PixelBlocks.h"

namespace lisko {

void FreePixels::operator()(std::uint8_t* pixels) const {
    ReleasePixels(pixels);
}

RasterError::RasterError(std::string_view operation, std::string_view problem)
    : std::runtime_error(std::string(operation) + ": " + std::string(problem)) {}

TFastDIB::TFastDIB(TFastDIB&& other) noexcept {
    *this = std::move(other);
}

TFastDIB& TFastDIB::operator=(TFastDIB&& other) noexcept {
    if (this != &other) {
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        bitsPerPixel_ = std::exchange(other.bitsPerPixel_, 24);
        rowBytes_ = std::exchange(other.rowBytes_, 0);
        memory_ = std::move(other.memory_);
        rows_ = std::move(other.rows_);
        other.rows_.clear();
        palette_ = other.palette_;
    }
    return *this;
}

TFastDIB TFastDIB::CreateBlank(int width, int height, int bitsPerPixel) {
    TFastDIB raster;
    raster.SetSize(width, height, bitsPerPixel);
    return raster;
}

void TFastDIB::SetSize(int width, int height, int bitsPerPixel) {
    if (bitsPerPixel != 8 && bitsPerPixel != 24) {
        throw RasterError("SetSize", "unsupported depth of " + std::to_string(bitsPerPixel) +
                                         " bits per pixel (only 8 and 24)");
    }
    if (width < 0 || height < 0 || width > MaxSide || height > MaxSide) {
        throw RasterError("SetSize", "size " + std::to_string(width) + " x " +
                                         std::to_string(height) + " is outside 0.." +
                                         std::to_string(MaxSide) + " pixels a side");
    }
    const int rowBytes = RowBytesFor(width, bitsPerPixel);
    const std::int64_t imageSize = std::int64_t{rowBytes} * height;
    if (imageSize > MaxImageBytes) {
        throw RasterError("SetSize", std::to_string(width) + " x " + std::to_string(height) +
                                         " pixels need more than the " +
                                         std::to_string(MaxImageBytes >> 20) +
                                         " MiB a raster may take");
    }
    // An unchanged size keeps the pixels: callers reuse a destination of the right size.
    if (width == width_ && height == height_ && bitsPerPixel == bitsPerPixel_ &&
        (memory_ || imageSize == 0)) {
        return;
    }
    // Zeroed memory keeps the row padding defined for whoever reads whole rows later.
    PixelMemory memory;
    if (imageSize > 0) {
        memory.reset(AllocatePixels(static_cast<std::size_t>(imageSize)));
        if (!memory) {
            throw RasterError("SetSize", "no memory for " + std::to_string(width) + " x " +
                                             std::to_string(height) + " pixels");
        }
    }
    memory_ = std::move(memory);
    width_ = width;
    height_ = height;
    bitsPerPixel_ = bitsPerPixel;
    rowBytes_ = rowBytes;
    BuildRowTable();
}

void TFastDIB::BuildRowTable() {
    rows_.assign(static_cast<std::size_t>(height_), nullptr);
    for (int i = 0; i < height_; ++i) {
        rows_[static_cast<std::size_t>(i)] =
            memory_.get() + static_cast<std::ptrdiff_t>(height_ - 1 - i) * rowBytes_;
    }
}

namespace {

int NearestPaletteIndex(const Palette256& palette, BgrColor color) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette[static_cast<std::size_t>(i)];
        const int distance = std::abs(e.Blue - color.Blue) + std::abs(e.Green - color.Green) +
                             std::abs(e.Red - color.Red);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

void TFastDIB::Clear(BgrColor color) {
    if (IsEmpty()) return;
    if (bitsPerPixel_ == 8) {
        const auto index = static_cast<std::uint8_t>(NearestPaletteIndex(palette_, color));
        for (int y = 0; y < height_; ++y)
            std::memset(Row(y), index, static_cast<size_t>(width_));
        return;
    }
    std::uint8_t* first = Row(0);
    for (int x = 0; x < width_; ++x) {
        first[3 * x + 0] = color.Blue;
        first[3 * x + 1] = color.Green;
        first[3 * x + 2] = color.Red;
    }
    for (int y = 1; y < height_; ++y)
        std::memcpy(Row(y), first, static_cast<size_t>(width_) * 3);
}

void TFastDIB::CopyRect(TFastDIB& dest, int destX, int destY, int w, int h, int srcX,
                        int srcY) const {
    if (dest.bitsPerPixel_ != bitsPerPixel_) {
        throw RasterError("CopyRect", "source has " + std::to_string(bitsPerPixel_) +
                                          " bits per pixel, destination " +
                                          std::to_string(dest.bitsPerPixel_));
    }
    // Clip in 64 bits so that extreme arguments cannot overflow.
    std::int64_t sx = srcX, sy = srcY, dx = destX, dy = destY, cw = w, ch = h;
    const auto clipLow = [](std::int64_t& a, std::int64_t& b, std::int64_t& extent) {
        const std::int64_t cut = std::max<std::int64_t>({0, -a, -b});
        a += cut;
        b += cut;
        extent -= cut;
    };
    clipLow(sx, dx, cw);
    clipLow(sy, dy, ch);
    cw = std::min({cw, width_ - sx, dest.width_ - dx});
    ch = std::min({ch, height_ - sy, dest.height_ - dy});
    if (cw <= 0 || ch <= 0) return;

    const int bpp = BytesPerPixel();
    const auto bytes = static_cast<std::size_t>(cw * bpp);
    for (std::int64_t r = 0; r < ch; ++r) {
        // Picture row y from the top is row RowCount - 1 - y of the row table.
        const std::uint8_t* from = Row(static_cast<int>(height_ - 1 - (sy + r))) + sx * bpp;
        std::uint8_t* to = dest.Row(static_cast<int>(dest.height_ - 1 - (dy + r))) + dx * bpp;
        std::memmove(to, from, bytes);
    }
}

ReleasedPixels TFastDIB::ReleasePixels() {
    if (IsEmpty()) throw RasterError("ReleasePixels", "the raster has no pixels");
    ReleasedPixels released{std::move(memory_), width_, height_, bitsPerPixel_, rowBytes_};
    *this = TFastDIB();
    return released;
}

}  // namespace lisko
