#include "pages/PageLayout.h"

namespace lisko {

namespace {

// The click grid spans 400 x 524 pixels of the 420 x 594 preview, 10 pixels in from its left,
// right and top edges.
constexpr int kClickGridWidth = 400;
constexpr int kClickGridHeight = 524;
constexpr int kClickGridOrigin = 10;

}  // namespace

std::int64_t SlotCount(std::int64_t photoCount) {
    if (photoCount <= 0) return 0;
    return photoCount + (photoCount + 18) / 19;
}

int PageCount(int photoCount, const PageLayout& layout) {
    const std::int64_t perPage = layout.CellsPerPage();
    if (perPage == 0) return 0;
    return static_cast<int>((SlotCount(photoCount) + perPage - 1) / perPage);
}

std::int64_t SlotAt(const PageLayout& layout, std::int64_t page, int row, int column) {
    const std::int64_t first = page * layout.CellsPerPage();
    if (layout.order == SlotOrder::ColumnWise)
        return first + std::int64_t{column} * layout.rows + row;
    return first + std::int64_t{row} * layout.columns + column;
}

bool IsAdvertisementSlot(std::int64_t slot) {
    return slot % kAdvertisementEvery == 0;
}

std::int64_t PhotoIndexOfSlot(std::int64_t slot) {
    return slot - (slot + kAdvertisementEvery - 1) / kAdvertisementEvery;
}

PreviewClick ClickOnPreview(const PageLayout& layout, int selectorPage, int photoCount,
                            QPoint point) {
    if (!layout.HasCells()) return {};
    const int cellWidth = kClickGridWidth / layout.columns;
    const int cellHeight = kClickGridHeight / layout.rows;
    if (cellWidth == 0 || cellHeight == 0) return {};
    // Truncating toward zero: a click in the 10-pixel margin still counts into row or column 0.
    const int column = (point.x() - kClickGridOrigin) / cellWidth;
    const int row = (point.y() - kClickGridOrigin) / cellHeight;
    const std::int64_t slot = SlotAt(layout, std::int64_t{selectorPage} - 1, row, column);
    if (slot < 0) return {};
    if (IsAdvertisementSlot(slot)) return {PreviewClick::Target::Advertisement};
    const std::int64_t photo = PhotoIndexOfSlot(slot);
    if (photo >= photoCount) return {};
    return {PreviewClick::Target::Photo, static_cast<int>(photo)};
}

}  // namespace lisko
