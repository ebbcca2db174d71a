#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

#include "photo/Lisko.h"
#include "photo/PhotoSettings.h"
#include "photo/Sheet.h"

namespace lisko {

// What the editor shows of a photo and what a change there writes into its settings, without
// widgets. The editor shows the photo's rendering, the picture, at a zoom; a point of the shown
// picture maps to the picture's own pixels, in which the crops and the sheet's handles are kept.

// Carries points between the shown picture and the picture at 1:1: at 1:1 a shown point is the
// picture pixel itself.
class PictureMapping {
public:
    explicit PictureMapping(QSize picture, double zoom = 1.0);

    QSize Picture() const { return picture_; }
    // The picture pixel under a point of the shown picture.
    QPoint PixelAt(QPoint shown) const;
    // The centre of what a shown pixel covers, in picture coordinates, kept on the picture: where
    // a press or drag puts a sheet corner.
    QPointF PointAt(QPoint shown) const;

private:
    QSize picture_;
    double zoom_;
};

// The zooms the editor steps through with its buttons and keys, in percent.
inline constexpr std::array<int, 11> kZoomSteps{25, 33, 50, 67, 75, 100, 125, 150, 200, 300, 400};

// How the editor shows the picture: fitted whole into its box, or at a fixed zoom.
struct EditorZoom {
    bool fit = false;
    int percent = 100;  // when not fitted

    bool operator==(const EditorZoom&) const = default;
    // The settings store's text of the choice: "fit" or the percent; a text that names no step
    // reads as 1:1, the editor's default.
    QString ToText() const;
    static EditorZoom FromText(const QString& text);
    // The next step in or out from the zoom now shown; the ends of the steps stay where they are.
    static EditorZoom StepIn(double shown);
    static EditorZoom StepOut(double shown);
};

// The zoom at which the whole picture fits a box of that size, at most the largest step.
double FitZoom(QSize picture, QSize box);
// The size of the picture shown at a zoom: each side at least one pixel, so a picture a pixel wide
// never vanishes.
QSize ShownSize(QSize picture, double zoom);

// The values the editor's controls show, one for each row of kPhotoSettings, in its order.
using ControlValues = std::array<int, kPhotoSettings.size()>;
ControlValues ControlsOf(const TLiskoData& photo);
// The photo's settings with the controls' values; nothing when two crops of one axis would leave
// nothing to print, a change the editor refuses.
std::optional<TLiskoData> WithControls(const TLiskoData& photo, const ControlValues& values);

// A right-click on a picture pixel crops the edge strictly nearest to it up to there; a click
// equally near to two edges changes nothing.
void CropAtClick(TLiskoData& photo, QPoint pixel, QSize picture);

// The part of a picture of that size that the photo's crops keep.
QRect KeptRect(const TLiskoData& photo, QSize picture);

// The sheet's corners while the user sets them: shown on the turned picture, grabbed by their
// handles, dragged, and handed back in the working copy's pixels.
class SheetHandleDrag {
public:
    // Shows the photo's corners afresh, on its turned picture; the photo has corners. `working`
    // is the size of its working copy.
    void Show(const TLiskoData& photo, QSize working);
    const SheetQuad& Corners() const { return shown_; }

    // A press at a point of the picture, shown at `zoom`, grabs the handle of the nearest corner
    // within reach.
    bool Grab(QPointF at, double zoom = 1.0);
    bool Dragging() const { return dragged_.has_value(); }
    void Drop() { dragged_.reset(); }
    // The grabbed corner follows the pointer.
    void MoveTo(QPointF at);
    // Ends the drag: the corners as the photo keeps them. The caller checks them on setting them.
    SheetQuad Release(const TLiskoData& photo, QSize working);

private:
    SheetQuad shown_{};
    std::optional<int> dragged_;
};

}  // namespace lisko
