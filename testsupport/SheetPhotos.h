#pragma once

#include <QImage>
#include <QPointF>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "raster/FastDIB.h"

namespace lisko::test {

enum class Desk { Plain, Wood };

// A photo of a desk with, perhaps, a sheet of notes lying on it in perspective.
struct SheetScene {
    QString name;
    int width = 0;
    int height = 0;
    Desk desk = Desk::Plain;
    // Where the sheet's corners really are (top-left, top-right, bottom-right, bottom-left, in
    // pixels of the photo; any may lie outside it), or no sheet at all.
    std::optional<std::array<QPointF, 4>> sheet;
    bool spread = false;       // an open notebook: two ruled pages side by side
    bool shadow = false;       // a soft shadow across part of the sheet and the desk
    bool unevenLight = false;  // light falling off from one side of the photo to the other
    bool wholeSheet = true;    // whether the whole sheet lies inside the photo
};

// The scenes the sheet detection is measured on: plain and wooden desks, shadows and uneven
// light, a spread, a sheet touching the frame, one cut by it, and an empty desk.
std::vector<SheetScene> SheetScenes();

// Draws a scene; the same scene gives the same pixels every time.
QImage DrawSheetPhoto(const SheetScene& scene);

// Any drawn photo as a 24-bit raster, and as a JPEG file (quality 90, as a phone would save it).
TFastDIB PhotoRaster(const QImage& image);
void SavePhoto(const QImage& image, const QString& file);

// The scene as a 24-bit raster and as a JPEG file (quality 90, as a phone would save it).
TFastDIB SheetPhotoRaster(const SheetScene& scene);
void SaveSheetPhoto(const SheetScene& scene, const QString& file);

}  // namespace lisko::test
