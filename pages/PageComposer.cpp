#include "pages/PageComposer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <future>
#include <string>

#include "pages/Fonts.h"
#include "pages/PageTexts.h"
#include "raster/FastDIB.h"

namespace lisko {

namespace {

// Far beyond any printer; keeps every coordinate of the page well inside an int.
constexpr int kLargestScale = 1000;

// A cell of the page that holds an advertisement or a photo.
struct Cell {
    int row;
    int column;
    std::int64_t slot;
};

// The occupied cells of a page in drawing order: row by row, left to right.
std::vector<Cell> OccupiedCells(const PageLayout& layout, int page, std::int64_t slotCount) {
    std::vector<Cell> cells;
    if (!layout.HasCells()) return cells;
    for (int r = 0; r < layout.rows; ++r) {
        for (int k = 0; k < layout.columns; ++k) {
            const std::int64_t s = SlotAt(layout, page, r, k);
            if (s >= 0 && s < slotCount) cells.push_back({r, k, s});
        }
    }
    return cells;
}

// Draws a text whose character cell has its top-left corner at `at`. A rotated text turns 90
// degrees counter-clockwise about that point: it runs upward with its cell to the right.
void DrawText(QPainter& painter, const QFont& font, QPoint at, const QString& text,
              bool rotated = false) {
    painter.save();
    painter.setFont(font);
    painter.translate(at);
    if (rotated) painter.rotate(-90);
    painter.drawText(QPoint(0, QFontMetrics(font).ascent()), text);
    painter.restore();
}

int TextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(font).horizontalAdvance(text);
}

QFont PrintFont(int cellHeight) {
    return FontWithCellHeight(PrintFontFamily(), cellHeight);
}

// The fonts of a print page's cells, with the cell heights and the width they are placed by.
struct CaptionFonts {
    int captionHeight;  // the two rotated captions: band div 2 + 3
    QFont caption;
    int captionWidth;  // the wider of the two captions
    int sloganHeight;  // the rotated slogan: as high as fits the cell
    QFont slogan;
    QFont label;  // the number and the site text, as high as the band

    explicit CaptionFonts(const PageGeometry& g)
        : captionHeight(g.band / 2 + 3),
          caption(PrintFont(captionHeight)),
          captionWidth(std::max(TextWidth(caption, CaptionHelped()),
                                TextWidth(caption, CaptionHelpProject()))),
          sloganHeight(FitSloganHeight(g.band, captionHeight,
                                       g.cellHeight - captionWidth - 3 * g.band / 2, WidestSlogan)),
          slogan(PrintFont(sloganHeight)),
          label(PrintFont(g.band)) {}

    static int WidestSlogan(int cellHeight) {
        const QFont font = PrintFont(cellHeight);
        int widest = 0;
        for (const QString& s : CaptionSlogans())
            widest = std::max(widest, TextWidth(font, s));
        return widest;
    }
};

// Renders the photos of a page's cells one after another. With two at a time, every second
// photo is rendered on a helper thread while this thread renders the one before it; at most two
// renderings exist at once and each photo item is rendered by one thread only.
class Renderings {
public:
    Renderings(std::vector<TLisko*> photos, Rendering rendering)
        : photos_(std::move(photos)), rendering_(rendering) {}

    // The rendering of the next photo of the sequence.
    QImage Next() {
        const std::size_t k = next_++;
        if (ahead_.valid()) return ahead_.get();
        if (rendering_ == Rendering::TwoAtATime && k + 1 < photos_.size() &&
            photos_[k + 1] != photos_[k]) {
            ahead_ = std::async(std::launch::async,
                                [photo = photos_[k + 1]] { return photo->Render(true); });
        }
        return photos_[k]->Render(true);
    }

private:
    std::vector<TLisko*> photos_;
    Rendering rendering_;
    std::size_t next_ = 0;
    // Its destructor waits for the helper thread, also when a rendering throws.
    std::future<QImage> ahead_;
};

// The outline of a rectangle in a black pen one pixel wide: its lines lie at the rectangle's
// left, right, top and bottom edges. Filled as four one-pixel bars, which gives the same pixels
// as drawing the outline at a fraction of the cost on a 24-bit page.
void DrawFrame(QPainter& painter, const QRect& frame) {
    const int width = frame.width() + 1;
    const int height = frame.height() + 1;
    painter.fillRect(frame.left(), frame.top(), width, 1, Qt::black);
    painter.fillRect(frame.left(), frame.top() + frame.height(), width, 1, Qt::black);
    painter.fillRect(frame.left(), frame.top(), 1, height, Qt::black);
    painter.fillRect(frame.left() + frame.width(), frame.top(), 1, height, Qt::black);
}

void DrawCaptions(QPainter& painter, const CaptionFonts& fonts, const PageGeometry& g,
                  const QRect& frame, std::int64_t photo) {
    const int x0 = frame.left();
    const int y0 = frame.top();
    const int x1 = x0 + g.cellWidth + 1;
    const int y1 = y0 + g.cellHeight + 1;
    painter.setPen(Qt::black);
    DrawText(painter, fonts.caption, {x0, y1}, CaptionHelped(), true);
    DrawText(painter, fonts.caption, {x0 + g.band - fonts.captionHeight, y1}, CaptionHelpProject(),
             true);
    DrawText(painter, fonts.slogan,
             {x0 + (g.band - fonts.sloganHeight) / 2, y1 - fonts.captionWidth},
             CaptionSlogans()[static_cast<std::size_t>(photo % 4)], true);
    const QString number = QString::number(photo + 1);
    DrawText(painter, fonts.label,
             {x0 + NumberOffset(g.band, TextWidth(fonts.label, number), photo + 1), y0}, number);
    const QString site = SiteText();
    DrawText(painter, fonts.label, {x1 - TextWidth(fonts.label, site), y0}, site);
}

void DrawPreviewCells(QPainter& painter, const PageGeometry& g, const std::vector<Cell>& cells,
                      const PageSources& sources) {
    for (const Cell& c : cells) {
        const QRectF picture(g.Picture(c.row, c.column));
        if (IsAdvertisementSlot(c.slot)) {
            painter.drawImage(picture, sources.previewAdvertisement);
        } else {
            const TLisko* photo =
                sources.photos[static_cast<std::size_t>(PhotoIndexOfSlot(c.slot))];
            painter.drawImage(picture, photo->Thumbnail);
        }
        DrawFrame(painter, g.Frame(c.row, c.column));
    }
}

void DrawPrintCells(QPainter& painter, const PageGeometry& g, const std::vector<Cell>& cells,
                    const PageSources& sources) {
    const CaptionFonts fonts(g);
    std::vector<TLisko*> toRender;
    for (const Cell& c : cells) {
        if (!IsAdvertisementSlot(c.slot))
            toRender.push_back(sources.photos[static_cast<std::size_t>(PhotoIndexOfSlot(c.slot))]);
    }
    Renderings renderings(std::move(toRender), sources.rendering);
    for (const Cell& c : cells) {
        const QRectF picture(g.Picture(c.row, c.column));
        const QRect frame = g.Frame(c.row, c.column);
        if (IsAdvertisementSlot(c.slot)) {
            painter.drawImage(picture, sources.printAdvertisement);
        } else {
            painter.drawImage(picture, renderings.Next());
            DrawCaptions(painter, fonts, g, frame, PhotoIndexOfSlot(c.slot));
        }
        DrawFrame(painter, frame);
    }
}

void DrawFoot(QPainter& painter, const PageGeometry& g, QDate today) {
    painter.setPen(Qt::black);
    for (const FootLine& line : FootLines(today, g.scale))
        DrawText(painter, PrintFont(line.cellHeight), {g.left, line.y}, line.text);
}

}  // namespace

PageGeometry PageGeometry::For(int scale, const PageLayout& layout) {
    PageGeometry g;
    g.scale = scale;
    g.width = 210 * scale;
    g.height = 297 * scale;
    g.left = 2 * scale;
    g.top = 3 * scale;
    g.band = 3 * scale;
    if (layout.HasCells()) {
        g.cellWidth = 203 * scale / layout.columns;
        g.cellHeight = 264 * scale / layout.rows;
    }
    return g;
}

QRect PageGeometry::Frame(int row, int column) const {
    return {left + column * cellWidth, top + row * cellHeight, cellWidth, cellHeight};
}

QRect PageGeometry::Picture(int row, int column) const {
    const QRect frame = Frame(row, column);
    const int inset = PrintStyle() ? band : 0;
    return {frame.left() + inset, frame.top(), cellWidth + 1 - inset, cellHeight + 1};
}

QImage ComposePage(int scale, int page, const PageSources& sources) {
    if (scale < 1 || scale > kLargestScale) {
        throw RasterError("ComposePage", "scale " + std::to_string(scale) + " is not 1 to " +
                                             std::to_string(kLargestScale));
    }
    const PageGeometry g = PageGeometry::For(scale, sources.layout);
    QImage image(g.width, g.height, QImage::Format_BGR888);
    if (image.isNull()) {
        throw RasterError("ComposePage", "no memory for a page of " + std::to_string(g.width) +
                                             " x " + std::to_string(g.height) + " pixels");
    }
    image.fill(Qt::white);

    const std::vector<Cell> cells = OccupiedCells(
        sources.layout, page, SlotCount(static_cast<std::int64_t>(sources.photos.size())));
    QPainter painter(&image);
    if (g.PrintStyle()) {
        DrawPrintCells(painter, g, cells, sources);
        DrawFoot(painter, g, sources.today);
    } else {
        DrawPreviewCells(painter, g, cells, sources);
    }
    painter.end();
    return image;
}

}  // namespace lisko
