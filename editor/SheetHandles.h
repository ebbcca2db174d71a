#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <optional>

#include "photo/Lisko.h"
#include "photo/Sheet.h"

namespace lisko {

// The editor shows the sheet's corners on the turned picture, while the photo keeps them in its
// working copy's pixels; these carry points between the two. `working` is the working copy's size.
QPointF TurnPoint(QPointF point, Turn turn, QSize working);
QPointF UnturnPoint(QPointF point, Turn turn, QSize working);
SheetQuad TurnQuad(const SheetQuad& corners, Turn turn, QSize working);
SheetQuad UnturnQuad(const SheetQuad& corners, Turn turn, QSize working);

// How near to a corner a press grabs its handle, and the handle's drawn radius, in pixels of the
// screen: the picture is shown at `zoom`, so in its own pixels both are divided by the zoom and
// the handles look and grab the same at every zoom.
inline constexpr int kHandleGrab = 16;
inline constexpr int kHandleRadius = 9;

// Draws the sheet's outline and a round handle on each corner of a picture shown at `zoom`.
void DrawSheetOverlay(QImage& picture, const SheetQuad& corners, double zoom = 1.0);

// The corner whose handle a press at `at` (picture pixels) grabs: the nearest within kHandleGrab
// screen pixels at `zoom`.
std::optional<int> HandleAt(const SheetQuad& corners, QPointF at, double zoom = 1.0);

}  // namespace lisko
