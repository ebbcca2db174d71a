#pragma once

#include <QDate>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <vector>

#include "pages/PageLayout.h"
#include "photo/Lisko.h"

namespace lisko {

// The scales the program composes at: pixels per millimetre of an A4 sheet (210 x 297 mm).
inline constexpr int kPreviewScale = 2;
inline constexpr int kPrintScale = 12;

// The geometry of a page at scale a: margins of 2a left, 5a right, 3a top and 30a bottom, and a
// caption band of 3a at the left of every printed photo cell.
struct PageGeometry {
    int scale = 0;
    int width = 0;       // 210a
    int height = 0;      // 297a
    int left = 0;        // 2a, where the grid starts
    int top = 0;         // 3a
    int band = 0;        // 3a
    int cellWidth = 0;   // 203a div columns; 0 without cells
    int cellHeight = 0;  // 264a div rows; 0 without cells

    static PageGeometry For(int scale, const PageLayout& layout);
    // Any scale above the preview's composes in print style, with captions and the foot.
    bool PrintStyle() const { return scale > kPreviewScale; }
    // The frame of the cell: its lines lie at the rectangle's edges, shared with the neighbours.
    QRect Frame(int row, int column) const;
    // Where the picture goes: the cell with its frame lines, less the caption band in print style.
    QRect Picture(int row, int column) const;
};

// Whether print style renders one photo at a time or two at once on two threads. Both give the
// same page to the last byte.
enum class Rendering { OneAtATime, TwoAtATime };

// Everything a page is composed from, read by the caller at the moment of composing.
struct PageSources {
    PageLayout layout;
    std::vector<TLisko*> photos;  // in list order; distinct items
    QImage previewAdvertisement;  // 300 x 400 as drawn (pages/Advertisements.h)
    QImage printAdvertisement;    // 600 x 800 as drawn
    QDate today;                  // decides the foot's dated lines
    Rendering rendering = Rendering::TwoAtATime;
};

// Page `page` (0-based) at `scale`, a new 24-bit image (Format_BGR888) of 210a x 297a pixels.
// Preview style draws the photos' thumbnails; print style renders every photo of the page afresh
// with its crop (which also refreshes its thumbnail) and frees each rendering once drawn. A page
// past the last, or before the first, is white, with only the foot in print style; so is every
// page of a layout without cells. Throws
// RasterError for a scale below 1 or a page too large to allocate, and whatever a rendering
// throws.
QImage ComposePage(int scale, int page, const PageSources& sources);

}  // namespace lisko
