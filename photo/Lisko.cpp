#include "photo/Lisko.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "photo/BlackWhiteFilter.h"
#include "photo/ImageHandOver.h"
#include "photo/ScratchDirectory.h"
#include "raster/FastDIB.h"
#include "raster/Jpeg.h"
#include "raster/Resample.h"
#include "raster/Tone.h"

namespace lisko {

namespace {

// The decoder gives greyscale files as 8-bit palette indices; the photo pipeline works in 24 bits.
TFastDIB LoadAs24Bits(const QString& file) {
    TFastDIB raster = TFastDIB::LoadJpegFile(file.toStdString());
    if (raster.BitsPerPixel() == 24) return raster;
    TFastDIB colour = TFastDIB::CreateBlank(raster.Width(), raster.Height(), 24);
    raster.ConvertInto(colour);
    return colour;
}

// A side scaled by longest / l, truncating; a very narrow photo keeps at least one pixel.
int ScaledSide(int side, int longest, int l) {
    return std::max(1, static_cast<int>(std::int64_t{side} * longest / l));
}

// Colour steps are applied as ten times their value; the kernels take -255..255.
int ToneAmount(std::int32_t steps) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{steps} * 10, -255, 255));
}

// The crop of one axis in pixels: p percent of side, truncating.
int CropPixels(std::int32_t percent, int side) {
    return static_cast<int>(std::int64_t{percent} * side / 100);
}

}  // namespace

Turn TLiskoData::TurnOf() const {
    switch (Rotation) {
        case 1:
            return Turn::Clockwise;
        case 2:
            return Turn::Anticlockwise;
        case 3:
            return Turn::HalfTurn;
        default:
            return Turn::None;
    }
}

TLisko::TLisko(const QString& sourceFile) : TLisko(sourceFile, ScratchDirectory()) {}

TLisko::TLisko(const QString& sourceFile, const QString& scratchDirectory)
    : TLisko(sourceFile, scratchDirectory, Adjust()) {}

TLisko::TLisko(const QString& sourceFile, const QString& scratchDirectory, const Adjust& adjust,
               QImage* firstRendering) {
    ImageType = 1;
    Brightness = 1;
    SourceFile = sourceFile;
    ImportSource(scratchDirectory, adjust, firstRendering);
}

TLisko::~TLisko() {
    // Someone may have removed the file already; there is nothing to report then.
    if (!WorkFile.isEmpty()) QFile::remove(WorkFile);
}

void TLisko::ImportSource(const QString& scratchDirectory, const Adjust& adjust,
                          QImage* firstRendering) {
    TFastDIB source = LoadAs24Bits(SourceFile);
    const int w = source.Width();
    const int h = source.Height();

    // Landscape photos are printed turned, so that every cell holds an upright page.
    Rotation = static_cast<std::int32_t>(w > h ? Turn::Clockwise : Turn::None);

    // Resampled even at an unchanged size: every working copy goes through the same pipeline.
    sourceSize_ = QSize(w, h);
    workingSize_ = WorkingSizeFor(sourceSize_);
    TFastDIB normalised = TFastDIB::CreateBlank(workingSize_.width(), workingSize_.height(), 24);
    ResizeSmooth(source, normalised);
    source = TFastDIB();
    AutoLevels(normalised);

    const std::vector<std::uint8_t> jpeg = EncodeJpeg(normalised, WorkingCopyQuality);
    WorkFile =
        CreateWorkFile(scratchDirectory, QByteArray(reinterpret_cast<const char*>(jpeg.data()),
                                                    static_cast<qsizetype>(jpeg.size())));
    try {
        if (adjust) adjust(*this);
        QImage rendering = Render(true);
        if (firstRendering) *firstRendering = std::move(rendering);
    } catch (...) {
        QFile::remove(WorkFile);
        WorkFile.clear();
        throw;
    }
}

QSize TLisko::WorkingSizeFor(QSize source) {
    const int w = source.width();
    const int h = source.height();
    const int l = std::max(w, h);
    if (l <= LongestSide) return source;
    return {ScaledSide(w, LongestSide, l), ScaledSide(h, LongestSide, l)};
}

QSize TLisko::WorkingSizeOf(const QString& sourceFile) {
    const JpegSize size = ReadJpegSize(sourceFile.toStdString());
    return WorkingSizeFor(QSize(size.width, size.height));
}

bool TLisko::DetectSheetCorners() {
    const std::optional<SheetQuad> found = DetectSheetIn(WorkFile);
    if (!found) return false;
    SetSheetCorners(*found);
    return true;
}

void TLisko::SetSheetCorners(const SheetQuad& corners) {
    CheckSheetQuad(corners, workingSize_.width(), workingSize_.height());
    SheetCorners = corners;
}

QImage TLisko::Render(bool withCrop) {
    PhotoRendering rendering = RenderPhoto(*this, workingSize_, withCrop);
    if (withCrop) Thumbnail = std::move(rendering.thumbnail);
    return std::move(rendering.image);
}

std::optional<SheetQuad> DetectSheetIn(const QString& workFile) {
    return DetectSheet(LoadAs24Bits(workFile));
}

PhotoRendering RenderPhoto(const TLiskoData& photo, QSize workingSize, bool withCrop) {
    TFastDIB r = LoadAs24Bits(photo.WorkFile);
    if (photo.Straighten) {
        if (!photo.SheetCorners) {
            throw std::invalid_argument(
                "Straightening the sheet needs its four corners; none are set");
        }
        CheckSheetQuad(*photo.SheetCorners, workingSize.width(), workingSize.height());
        r = StraightenSheet(r, *photo.SheetCorners);
    }

    const Turn turn = photo.TurnOf();
    if (turn != Turn::None) {
        const bool sidesSwap = turn != Turn::HalfTurn;
        TFastDIB turned = TFastDIB::CreateBlank(sidesSwap ? r.Height() : r.Width(),
                                                sidesSwap ? r.Width() : r.Height(), 24);
        turned.Clear(BgrWhite);
        const double angle = turn == Turn::Clockwise       ? 90.0
                             : turn == Turn::Anticlockwise ? -90.0
                                                           : 180.0;
        RotateInto(r, turned, 65536, angle);
        r = std::move(turned);
    }

    if (withCrop) {
        // Crops that add up to 100 % on one axis would leave at most a sliver of rounding.
        if (photo.CropLeft < 0 || photo.CropRight < 0 || photo.CropTop < 0 ||
            photo.CropBottom < 0 || std::int64_t{photo.CropLeft} + photo.CropRight >= 100 ||
            std::int64_t{photo.CropTop} + photo.CropBottom >= 100) {
            throw std::runtime_error("Crops of " + std::to_string(photo.CropLeft) + "% left, " +
                                     std::to_string(photo.CropRight) + "% right, " +
                                     std::to_string(photo.CropTop) + "% top and " +
                                     std::to_string(photo.CropBottom) +
                                     "% bottom leave nothing of the photo");
        }
        const int cl = CropPixels(photo.CropLeft, r.Width());
        const int cr = CropPixels(photo.CropRight, r.Width());
        const int ct = CropPixels(photo.CropTop, r.Height());
        const int cb = CropPixels(photo.CropBottom, r.Height());
        const int w = r.Width() - cl - cr;
        const int h = r.Height() - ct - cb;
        TFastDIB cropped = TFastDIB::CreateBlank(w, h, 24);
        r.CopyRect(cropped, 0, 0, cropped.Width(), cropped.Height(), cl, ct);
        r = std::move(cropped);
    }

    if (photo.IsBlackWhite()) {
        BlackWhiteFilter(photo.ImageType, photo.Brightness, photo.Contrast, r);
    } else {
        // Brightness before contrast: the order changes the result.
        const int b = ToneAmount(photo.Brightness);
        const int c = ToneAmount(photo.Contrast);
        AdjustBrightness(r, b, b, b);
        AdjustContrast(r, c, c, c);
    }

    if (withCrop) {
        TFastDIB thumbnail =
            TFastDIB::CreateBlank(TLisko::ThumbnailSide, TLisko::ThumbnailSide, 24);
        ResizeFast(r, thumbnail);
        QImage small = HandOverToImage(std::move(thumbnail));
        return {HandOverToImage(std::move(r)), std::move(small)};
    }
    return {HandOverToImage(std::move(r)), QImage()};
}

}  // namespace lisko
