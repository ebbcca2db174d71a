#include <QLineF>
#include <cmath>
#include <stdexcept>
#include <string>

#include "photo/Sheet.h"

namespace lisko {

namespace {

// Below these the straightened picture would be a sliver: a few pixels of a side, or corners
// nearly in line.
constexpr double kShortestSide = 8.0;
constexpr double kSmallestSine = 0.05;

// Built by appending: GCC 12 at -O3 takes `"(" + std::string&&` for an overlapping copy
// (-Wrestrict) and the release build treats that as an error.
std::string Point(const QPointF& p) {
    std::string text = "(";
    text += std::to_string(std::lround(p.x()));
    text += ", ";
    text += std::to_string(std::lround(p.y()));
    text += ")";
    return text;
}

// The z component of (b - a) x (c - b): positive where the path a, b, c turns clockwise on a
// picture whose y axis points down.
double Turn(const QPointF& a, const QPointF& b, const QPointF& c) {
    const QPointF u = b - a;
    const QPointF v = c - b;
    return u.x() * v.y() - u.y() * v.x();
}

}  // namespace

void CheckSheetQuad(const SheetQuad& corners, int width, int height) {
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF& p = corners[i];
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()) || p.x() < 0 || p.y() < 0 ||
            p.x() > width || p.y() > height) {
            throw std::invalid_argument(std::string("Sheet corner ") + SheetCornerNames[i] + " " +
                                        Point(p) + " lies outside the " + std::to_string(width) +
                                        " x " + std::to_string(height) + " picture");
        }
    }
    CheckSheetShape(corners);
}

void CheckSheetShape(const SheetQuad& corners) {
    int clockwise = 0;
    int anticlockwise = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const QPointF& a = corners[i];
        const QPointF& b = corners[(i + 1) % 4];
        const QPointF& c = corners[(i + 2) % 4];
        const double in = QLineF(a, b).length();
        const double out = QLineF(b, c).length();
        if (in < kShortestSide) {
            throw std::invalid_argument(
                std::string("Sheet edge from the ") + SheetCornerNames[i] + " to the " +
                SheetCornerNames[(i + 1) % 4] + " corner is shorter than " +
                std::to_string(static_cast<int>(kShortestSide)) + " pixels");
        }
        const double sine = Turn(a, b, c) / (in * std::max(out, kShortestSide));
        if (std::abs(sine) < kSmallestSine) {
            throw std::invalid_argument(std::string("Sheet corner ") +
                                        SheetCornerNames[(i + 1) % 4] + " " + Point(b) +
                                        " lies almost on the line of its neighbours");
        }
        (sine > 0 ? clockwise : anticlockwise) += 1;
    }
    if (clockwise != 4) {
        throw std::invalid_argument(
            anticlockwise == 4
                ? "Sheet corners go round the wrong way: they must be top-left, top-right, "
                  "bottom-right, bottom-left"
                : "Sheet edges cross or bend inwards: the corners must make a convex "
                  "quadrilateral");
    }
}

QSize StraightenedSize(const SheetQuad& c) {
    const double top = QLineF(c[0], c[1]).length();
    const double bottom = QLineF(c[3], c[2]).length();
    const double left = QLineF(c[0], c[3]).length();
    const double right = QLineF(c[1], c[2]).length();
    return {std::max(1, static_cast<int>(std::lround((top + bottom) / 2))),
            std::max(1, static_cast<int>(std::lround((left + right) / 2)))};
}

SheetQuad ScaleSheetQuad(const SheetQuad& corners, QSize from, QSize to) {
    const double sx = static_cast<double>(to.width()) / from.width();
    const double sy = static_cast<double>(to.height()) / from.height();
    SheetQuad scaled;
    for (std::size_t i = 0; i < 4; ++i)
        scaled[i] = QPointF(corners[i].x() * sx, corners[i].y() * sy);
    return scaled;
}

}  // namespace lisko
