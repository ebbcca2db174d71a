#include "photo/Lisko.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>
#include <utility>

#include "photo/BlackWhiteFilter.h"
#include "photo/Content.h"
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
        if (firstRendering) {
            *firstRendering = Render(true);
        } else {
            RenderThumbnail();
        }
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

void TLisko::StraightenAndCropToContent() {
    TLiskoData adjusted = *this;
    if (const std::optional<SheetQuad> found = DetectSheetIn(WorkFile)) {
        adjusted.SheetCorners = found;
        adjusted.Straighten = true;
    }
    const ContentCrops crops = DetectContentIn(adjusted, workingSize_);
    adjusted.CropLeft = crops.left;
    adjusted.CropRight = crops.right;
    adjusted.CropTop = crops.top;
    adjusted.CropBottom = crops.bottom;
    static_cast<TLiskoData&>(*this) = std::move(adjusted);
}

QImage TLisko::Render(bool withCrop) {
    PhotoRendering rendering = RenderPhoto(*this, workingSize_, withCrop);
    if (withCrop) Thumbnail = std::move(rendering.thumbnail);
    return std::move(rendering.image);
}

void TLisko::RenderThumbnail() {
    Thumbnail = lisko::RenderThumbnail(*this, workingSize_);
}

std::optional<SheetQuad> DetectSheetIn(const QString& workFile) {
    return DetectSheet(LoadAs24Bits(workFile));
}

namespace {

// The working copy as every rendering starts from it: straightened first when asked.
TFastDIB LoadWorkingPicture(const TLiskoData& photo, QSize workingSize) {
    TFastDIB r = LoadAs24Bits(photo.WorkFile);
    if (!photo.Straighten) return r;
    if (!photo.SheetCorners) {
        throw std::invalid_argument("Straightening the sheet needs its four corners; none are set");
    }
    CheckSheetQuad(*photo.SheetCorners, workingSize.width(), workingSize.height());
    return StraightenSheet(r, *photo.SheetCorners);
}

// The picture turned onto a white page. At 8 bits the picture is grey, and the page is white
// there too: entry 255 of the grey ramp.
TFastDIB Turned(TFastDIB picture, Turn turn) {
    if (turn == Turn::None) return picture;
    const bool sidesSwap = turn != Turn::HalfTurn;
    TFastDIB turned = TFastDIB::CreateBlank(sidesSwap ? picture.Height() : picture.Width(),
                                            sidesSwap ? picture.Width() : picture.Height(),
                                            picture.BitsPerPixel());
    if (turned.BitsPerPixel() == 8) turned.FillGrayPalette(0, 255, std::array{BgrBlack, BgrWhite});
    turned.Clear(BgrWhite);
    const double angle = turn == Turn::Clockwise       ? 90.0
                         : turn == Turn::Anticlockwise ? -90.0
                                                       : 180.0;
    RotateInto(picture, turned, 65536, angle);
    return turned;
}

// The photo's crops applied to a turned picture; throws when they would leave nothing.
TFastDIB Cropped(TFastDIB picture, const TLiskoData& photo) {
    // Crops that add up to 100 % on one axis would leave at most a sliver of rounding.
    if (photo.CropLeft < 0 || photo.CropRight < 0 || photo.CropTop < 0 || photo.CropBottom < 0 ||
        std::int64_t{photo.CropLeft} + photo.CropRight >= 100 ||
        std::int64_t{photo.CropTop} + photo.CropBottom >= 100) {
        throw std::runtime_error("Crops of " + std::to_string(photo.CropLeft) + "% left, " +
                                 std::to_string(photo.CropRight) + "% right, " +
                                 std::to_string(photo.CropTop) + "% top and " +
                                 std::to_string(photo.CropBottom) +
                                 "% bottom leave nothing of the photo");
    }
    const int cl = CropPixels(photo.CropLeft, picture.Width());
    const int cr = CropPixels(photo.CropRight, picture.Width());
    const int ct = CropPixels(photo.CropTop, picture.Height());
    const int cb = CropPixels(photo.CropBottom, picture.Height());
    if (cl == 0 && cr == 0 && ct == 0 && cb == 0) return picture;
    TFastDIB cropped = TFastDIB::CreateBlank(picture.Width() - cl - cr, picture.Height() - ct - cb,
                                             picture.BitsPerPixel());
    cropped.Palette() = picture.Palette();
    picture.CopyRect(cropped, 0, 0, cropped.Width(), cropped.Height(), cl, ct);
    return cropped;
}

// The colour mode's tone: brightness before contrast, as the order changes the result.
void AdjustColours(const TLiskoData& photo, TFastDIB& picture) {
    const int b = ToneAmount(photo.Brightness);
    const int c = ToneAmount(photo.Contrast);
    AdjustBrightness(picture, b, b, b);
    AdjustContrast(picture, c, c, c);
}

TFastDIB SquareOf(const TFastDIB& picture) {
    TFastDIB square =
        TFastDIB::CreateBlank(TLisko::ThumbnailSide, TLisko::ThumbnailSide, picture.BitsPerPixel());
    square.Palette() = picture.Palette();
    ResizeFast(picture, square);
    return square;
}

}  // namespace

ContentCrops DetectContentIn(const TLiskoData& photo, QSize workingSize) {
    return DetectContent(LoadWorkingPicture(photo, workingSize), photo.TurnOf());
}

PhotoRendering RenderPhoto(const TLiskoData& photo, QSize workingSize, bool withCrop) {
    TFastDIB r = Turned(LoadWorkingPicture(photo, workingSize), photo.TurnOf());
    if (withCrop) r = Cropped(std::move(r), photo);

    if (photo.IsBlackWhite()) {
        BlackWhiteFilter(photo.ImageType, photo.Brightness, photo.Contrast, r);
    } else {
        AdjustColours(photo, r);
    }

    if (!withCrop) return {HandOverToImage(std::move(r)), QImage()};
    QImage thumbnail = HandOverToImage(SquareOf(r));
    return {HandOverToImage(std::move(r)), std::move(thumbnail)};
}

// The thumbnail keeps only the pixels that nearest-neighbour sampling picks, and every step
// after the crop but the filter's paper estimate works pixel by pixel. So the picture is sampled
// as early as those steps allow: before the tone in colour, and in black and white after the
// paper estimate, which alone needs the whole (grey) picture. Turning and cropping grey pixels
// gives the grey of the turned and cropped colour pixels.
QImage RenderThumbnail(const TLiskoData& photo, QSize workingSize) {
    TFastDIB r = LoadWorkingPicture(photo, workingSize);
    if (!photo.IsBlackWhite()) {
        TFastDIB square = SquareOf(Cropped(Turned(std::move(r), photo.TurnOf()), photo));
        AdjustColours(photo, square);
        return HandOverToImage(std::move(square));
    }
    TFastDIB grey;
    r.ToGray8(grey);
    r = TFastDIB();
    grey = Cropped(Turned(std::move(grey), photo.TurnOf()), photo);
    const TFastDIB paper = PaperBrightness(grey, photo.Brightness, photo.Contrast);
    TFastDIB square = TFastDIB::CreateBlank(TLisko::ThumbnailSide, TLisko::ThumbnailSide, 24);
    WriteBlackWhite(SquareOf(grey), SquareOf(paper), square);
    return HandOverToImage(std::move(square));
}

}  // namespace lisko
