#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "photo/Sheet.h"

namespace lisko {

// How a photo is turned; the stored number is what the editor's list index gives.
enum class Turn : std::int32_t { None = 0, Clockwise = 1, Anticlockwise = 2, HalfTurn = 3 };

// The processing parameters of a photo. Plain data: the editor, apply-to-many and the page
// composer read and write the fields directly, and a change takes effect at the next rendering.
// On its own (all zero, strings empty) it serves as the editor's rendering cache key.
struct TLiskoData {
    std::int32_t Rotation = 0;    // a Turn; any other value renders unturned
    std::int32_t ImageType = 0;   // 0 colour, anything else black and white
    std::int32_t Brightness = 0;  // colour: steps of 10; black and white: tile size - 1
    std::int32_t Contrast = 0;    // colour: steps of 10; black and white: smoothing passes - 1
    // Percent of the turned picture's width or height cut from each edge.
    std::int32_t CropLeft = 0;
    std::int32_t CropRight = 0;
    std::int32_t CropTop = 0;
    std::int32_t CropBottom = 0;
    // Whether the sheet is undistorted before everything else, and its corners in the working
    // copy's pixels (nothing until detected or set).
    bool Straighten = false;
    std::optional<SheetQuad> SheetCorners;
    QString WorkFile;    // the normalised working copy in the scratch directory
    QString SourceFile;  // the file the user added

    Turn TurnOf() const;
    bool IsBlackWhite() const { return ImageType != 0; }
    bool operator==(const TLiskoData&) const = default;
};

// One photo of the list: its parameters, its working copy on disk and its thumbnail.
//
// The constructor imports the source: it decodes it, scales it so that the longer side is at
// most 1500 pixels, stretches its levels and writes that as the working copy (JPEG, quality 85)
// under a new name N.jpg in the scratch directory. Every rendering starts again from the working
// copy, so parameters never accumulate. The destructor deletes the working copy.
class TLisko : public TLiskoData {
public:
    static constexpr int LongestSide = 1500;
    static constexpr int ThumbnailSide = 200;
    static constexpr int WorkingCopyQuality = 85;

    // Throws on any failure (unreadable source, scratch directory or working copy not writable);
    // nothing is left on disk then.
    // Sets parameters of a photo being imported: it runs once the working copy is written and the
    // rotation chosen, before the first rendering, so a photo imported with settings of its own
    // is rendered once rather than twice. What it throws fails the import.
    using Adjust = std::function<void(TLisko& photo)>;

    explicit TLisko(const QString& sourceFile);
    TLisko(const QString& sourceFile, const QString& scratchDirectory);
    // As above, with `adjust` run before the first rendering; that rendering (with the crop) is
    // handed to `firstRendering` when given.
    TLisko(const QString& sourceFile, const QString& scratchDirectory, const Adjust& adjust,
           QImage* firstRendering = nullptr);
    ~TLisko();
    TLisko(const TLisko&) = delete;
    TLisko& operator=(const TLisko&) = delete;

    // The working copy turned, cropped when withCrop, and tone-processed, as a 24-bit image.
    // With the crop it also replaces Thumbnail. Throws when the working copy cannot be read or
    // the crops leave no picture; the item and its thumbnail stay as they were then.
    QImage Render(bool withCrop);
    // What Render(true) does to Thumbnail, without making the picture it would return.
    void RenderThumbnail();

    // Looks for the sheet in the working copy and, when a whole one is visible, takes its corners
    // (the flag stays as it is). Returns whether one was found; throws when the working copy
    // cannot be read.
    bool DetectSheetCorners();
    // Takes corners in the working copy's pixels; throws std::invalid_argument and keeps the old
    // ones when they are outside the working copy or make no proper quadrilateral.
    void SetSheetCorners(const SheetQuad& corners);
    // One step from a photo to its writing: straightens the sheet when a whole one is found, then
    // sets the four crops to the box round what is written (none on a page without writing).
    // Throws when the working copy cannot be read; the settings stay as they were then.
    void StraightenAndCropToContent();

    // The size of the working copy the import makes of a source of this size.
    static QSize WorkingSizeFor(QSize source);
    // The same for a source file, from its JPEG header alone; throws when that cannot be read.
    static QSize WorkingSizeOf(const QString& sourceFile);

    QSize SourceSize() const { return sourceSize_; }
    QSize WorkingSize() const { return workingSize_; }

    // 200 x 200, the whole cropped and processed photo squeezed into the square.
    QImage Thumbnail;

private:
    void ImportSource(const QString& scratchDirectory, const Adjust& adjust,
                      QImage* firstRendering);

    QSize sourceSize_;
    QSize workingSize_;
};

// A rendering and, when it was cropped, its thumbnail.
struct PhotoRendering {
    QImage image;
    QImage thumbnail;
};

// What TLisko::Render does, from a copy of a photo's parameters and without touching the photo,
// so that it can run on another thread while the window keeps working with the photo.
PhotoRendering RenderPhoto(const TLiskoData& photo, QSize workingSize, bool withCrop);
// The thumbnail RenderPhoto gives with the crop, at a fraction of its cost; throws as it does.
QImage RenderThumbnail(const TLiskoData& photo, QSize workingSize);

// The whole sheet a working copy shows, as TLisko::DetectSheetCorners looks for it.
std::optional<SheetQuad> DetectSheetIn(const QString& workFile);

}  // namespace lisko
