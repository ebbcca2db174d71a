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

// How near to a corner a press grabs its handle, and the handle's drawn radius, in pixels.
inline constexpr int kHandleGrab = 16;
inline constexpr int kHandleRadius = 9;

// Draws the sheet's outline and a round handle on each corner.
void DrawSheetOverlay(QImage& picture, const SheetQuad& corners);

// The corner whose handle a press at `at` grabs: the nearest within kHandleGrab.
std::optional<int> HandleAt(const SheetQuad& corners, QPointF at);

}  // namespace lisko
