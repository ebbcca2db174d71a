#include "editor/SheetHandles.h"

#include <QLineF>
#include <QPainter>
#include <QPolygonF>

namespace lisko {

// The points follow the pixels of the rendering's raster turn, which is not a pure quarter or
// half turn: a clockwise turn of a w x h picture puts pixel (x, y) at (h - y, x), one column right
// of the pure turn (the first row drops off), and a half turn puts it at (w - 1 - x, h - 2 - y).
QPointF TurnPoint(QPointF p, Turn turn, QSize working) {
    const double w = working.width();
    const double h = working.height();
    switch (turn) {
        case Turn::Clockwise:
            return {h + 1 - p.y(), p.x()};
        case Turn::Anticlockwise:
            return {p.y(), w - p.x()};
        case Turn::HalfTurn:
            return {w - p.x(), h - 1 - p.y()};
        case Turn::None:
            break;
    }
    return p;
}

QPointF UnturnPoint(QPointF p, Turn turn, QSize working) {
    const double w = working.width();
    const double h = working.height();
    switch (turn) {
        case Turn::Clockwise:
            return {p.y(), h + 1 - p.x()};
        case Turn::Anticlockwise:
            return {w - p.y(), p.x()};
        case Turn::HalfTurn:
            return {w - p.x(), h - 1 - p.y()};
        case Turn::None:
            break;
    }
    return p;
}

SheetQuad TurnQuad(const SheetQuad& corners, Turn turn, QSize working) {
    SheetQuad turned;
    for (std::size_t i = 0; i < 4; ++i)
        turned[i] = TurnPoint(corners[i], turn, working);
    return turned;
}

SheetQuad UnturnQuad(const SheetQuad& corners, Turn turn, QSize working) {
    SheetQuad unturned;
    for (std::size_t i = 0; i < 4; ++i)
        unturned[i] = UnturnPoint(corners[i], turn, working);
    return unturned;
}

void DrawSheetOverlay(QImage& picture, const SheetQuad& corners, double zoom) {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor outline(0, 120, 215);
    painter.setPen(QPen(outline, 2 / zoom));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(QPolygonF({corners[0], corners[1], corners[2], corners[3]}));
    painter.setBrush(QColor(255, 255, 255, 200));
    const double radius = kHandleRadius / zoom;
    for (const QPointF& corner : corners)
        painter.drawEllipse(corner, radius, radius);
}

std::optional<int> HandleAt(const SheetQuad& corners, QPointF at, double zoom) {
    std::optional<int> nearest;
    double best = kHandleGrab / zoom;
    for (std::size_t i = 0; i < 4; ++i) {
        const double distance = QLineF(corners[i], at).length();
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    return nearest;
}

}  // namespace lisko
