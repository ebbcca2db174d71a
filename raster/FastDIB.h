#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lisko {

// A colour in the byte order of a 24-bit pixel.
struct BgrColor {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    friend bool operator==(const BgrColor&, const BgrColor&) = default;
};

inline constexpr BgrColor BgrBlack{0, 0, 0};
inline constexpr BgrColor BgrWhite{255, 255, 255};

// A palette entry as a device-independent bitmap stores it.
struct PaletteEntry {
    std::uint8_t Blue = 0;
    std::uint8_t Green = 0;
    std::uint8_t Red = 0;
    std::uint8_t Reserved = 0;
    friend bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

using Palette256 = std::array<PaletteEntry, 256>;

// Every failure of a raster operation. The text starts with the operation's name.
class RasterError : public std::runtime_error {
public:
    RasterError(std::string_view operation, std::string_view problem);
    explicit RasterError(const std::string& message) : std::runtime_error(message) {}
};

// Pixel memory arrives zeroed (raster/PixelBlocks.h), so row padding is defined for whoever reads
// whole rows.
struct FreePixels {
    void operator()(std::uint8_t* pixels) const;
};
using PixelMemory = std::unique_ptr<std::uint8_t[], FreePixels>;

// Pixel memory given up by a raster, with what is needed to wrap it without copying.
// `Data` points at the top row of the picture; rows follow downwards, `RowBytes` apart; it is
// released with FreePixels.
struct ReleasedPixels {
    PixelMemory Data;
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 0;
    int RowBytes = 0;
};

// A raster of 8 (palette indices) or 24 (blue, green, red) bits per pixel.
//
// Rows are addressed through the row table, whose row 0 is the bottom row of the picture as
// displayed. The memory itself holds the rows top-down, so that the finished picture can be handed
// to an image object without a copy; no algorithm depends on that, since all go through Row().
// Rows are padded to a multiple of 4 bytes; the padding is never read or written by the kernels.
class TFastDIB {
public:
    // Each side must stay below this for the 16.16 fixed-point steps of the kernels not to
    // overflow; camera photos are far below it.
    static constexpr int MaxSide = 32767;
    // Largest pixel store a raster takes: a bound on what a lying file header can make us
    // allocate, still above a 100-megapixel camera photo at 24 bits (300 MiB).
    static constexpr std::int64_t MaxImageBytes = std::int64_t{1} << 30;

    TFastDIB() = default;
    TFastDIB(TFastDIB&& other) noexcept;
    TFastDIB& operator=(TFastDIB&& other) noexcept;
    TFastDIB(const TFastDIB&) = delete;
    TFastDIB& operator=(const TFastDIB&) = delete;
    ~TFastDIB() = default;

    static TFastDIB CreateBlank(int width, int height, int bitsPerPixel);

    // Decodes a JPEG file at full size with libjpeg's default quality settings: 24 bits for a
    // colour file, 8 bits (236 grey levels, dithered, with that palette) for a greyscale file.
    // Throws JpegError for undecodable data and RasterError for a file that cannot be opened or
    // whose pixel size is beyond MaxSide / MaxImageBytes.
    static TFastDIB LoadJpegFile(const std::filesystem::path& file);

    // Reallocates the pixel store; with the same size and depth the pixels are kept. Width and
    // height may be 0 (an empty raster without pixels); depth must be 8 or 24.
    void SetSize(int width, int height, int bitsPerPixel);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int BitsPerPixel() const { return bitsPerPixel_; }
    int BytesPerPixel() const { return bitsPerPixel_ / 8; }
    int RowBytes() const { return rowBytes_; }
    int RowCount() const { return height_; }
    int RowPad() const { return rowBytes_ - width_ * BytesPerPixel(); }
    std::int64_t ImageSize() const { return std::int64_t{rowBytes_} * height_; }
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }

    // Row y of the row table; row 0 is the bottom row of the picture.
    std::uint8_t* Row(int y) { return rows_[static_cast<std::size_t>(y)]; }
    const std::uint8_t* Row(int y) const { return rows_[static_cast<std::size_t>(y)]; }

    Palette256& Palette() { return palette_; }
    const Palette256& Palette() const { return palette_; }

    // Fills every pixel with the colour; at 8 bits with the nearest palette entry (smallest sum
    // of absolute channel differences, lowest index on a tie).
    void Clear(BgrColor color);

    // Copies the w x h block whose top-left corner is (srcX, srcY) to (destX, destY) of dest;
    // y counts from the top edge of the picture. Both rasters must have the same depth. Parts of
    // the block outside either raster are clipped away, as a block copy onto a device does.
    void CopyRect(TFastDIB& dest, int destX, int destY, int w, int h, int srcX, int srcY) const;

    // Palette entries first..last become a gradient through colors, in 16.16 fixed point.
    void FillGrayPalette(int first, int last, std::span<const BgrColor> colors);

    // Makes dest an 8-bit grey copy: each channel weighs a third (22102 / 65536 each).
    void ToGray8(TFastDIB& dest) const;

    // Copies the pixels into dest, which has the same size and possibly another depth.
    void ConvertInto(TFastDIB& dest) const;

    // Gives up the pixel memory for an image object to own; the raster is empty afterwards.
    ReleasedPixels ReleasePixels();

private:
    void BuildRowTable();

    int width_ = 0;
    int height_ = 0;
    int bitsPerPixel_ = 24;
    int rowBytes_ = 0;
    PixelMemory memory_;
    std::vector<std::uint8_t*> rows_;
    Palette256 palette_{};
};

// Bytes per row, padded to a multiple of 4.
constexpr int RowBytesFor(int width, int bitsPerPixel) {
    return static_cast<int>((std::int64_t{width} * bitsPerPixel + 31) / 32 * 4);
}

}  // namespace lisko
