#pragma once

#include <QPoint>
#include <cstdint>

namespace lisko {

// How the cells of a page are filled: along the rows or down the columns.
enum class SlotOrder { RowWise = 0, ColumnWise = 1 };

// The layouts the program offers: 1 to 5 rows by 1 to 5 columns.
inline constexpr int kLargestGrid = 5;

// The grid of a page as the layout controls give it. A grid outside 1..5 rows or columns (a 0 is
// possible while the user types) has no cells: nothing goes on its pages.
struct PageLayout {
    int rows = 3;
    int columns = 3;
    SlotOrder order = SlotOrder::RowWise;

    bool HasCells() const {
        return rows >= 1 && rows <= kLargestGrid && columns >= 1 && columns <= kLargestGrid;
    }
    std::int64_t CellsPerPage() const { return HasCells() ? std::int64_t{rows} * columns : 0; }
};

// Slots number the cells of all pages from 0, page after page. Every slot that is a multiple of
// 20 holds an advertisement, the others hold the photos in list order: one advertisement before
// every run of 19 photos.
inline constexpr std::int64_t kAdvertisementEvery = 20;

// The number of slots that n photos occupy: the slot of the last photo plus one, 0 for none.
std::int64_t SlotCount(std::int64_t photoCount);

// The number of pages for the photos in this layout; 0 when the layout has no cells.
int PageCount(int photoCount, const PageLayout& layout);

// The slot in row r, column k of page p (all 0-based).
std::int64_t SlotAt(const PageLayout& layout, std::int64_t page, int row, int column);

bool IsAdvertisementSlot(std::int64_t slot);
// The list index of the photo in a slot that is not an advertisement slot.
std::int64_t PhotoIndexOfSlot(std::int64_t slot);

// What a click on the preview picture points at.
struct PreviewClick {
    enum class Target { Nothing, Advertisement, Photo };
    Target target = Target::Nothing;
    int photo = -1;  // list index, for Target::Photo
};

// The click grid of the preview picture: cells of 400 div columns by 524 div rows pixels from
// (10, 10). It is a grid of its own, a little off the composer's preview grid, and a click below
// or right of it still counts into the following rows and columns. selectorPage is the 1-based
// page the selector names. A click that gives a negative slot, a layout without cells, or a
// photo slot past the list points at nothing.
PreviewClick ClickOnPreview(const PageLayout& layout, int selectorPage, int photoCount,
                            QPoint point);

}  // namespace lisko
