#include "testsupport/ContentPages.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <random>

namespace lisko::test {

namespace {

constexpr double kLineSpacing = 45;
constexpr double kSquare = 28;
constexpr double kPen = 4;
const QColor kDesk(96, 100, 110);

void DrawPaper(QPainter& painter, const ContentPage& page) {
    painter.fillRect(QRectF(0, 0, page.width, page.height), QColor(246, 244, 236));
    if (page.paper == Paper::Lined) {
        painter.setPen(QPen(QColor(150, 180, 215), 2));
        for (double y = 3 * kLineSpacing; y < page.height; y += kLineSpacing)
            painter.drawLine(QPointF(0, y), QPointF(page.width, y));
    } else if (page.paper == Paper::Squared) {
        painter.setPen(QPen(QColor(160, 175, 200), 1.5));
        for (double y = kSquare / 2; y < page.height; y += kSquare)
            painter.drawLine(QPointF(0, y), QPointF(page.width, y));
        for (double x = kSquare / 2; x < page.width; x += kSquare)
            painter.drawLine(QPointF(x, 0), QPointF(x, page.height));
    }
    if (page.marginLine) {
        painter.setPen(QPen(QColor(220, 80, 80), 2));
        painter.drawLine(QPointF(0.1 * page.width, 0), QPointF(0.1 * page.width, page.height));
    }
}

// Lines of zigzag words from the box's left edge; the first line reaches its right edge and the
// last one its bottom. Returns the box the strokes cover.
QRectF DrawWriting(QPainter& painter, const QRectF& box, std::mt19937& random, bool highlighter) {
    QRectF ink;
    const double height = 30;
    bool first = true;
    for (double base = box.top() + height; base <= box.bottom(); base += kLineSpacing) {
        double x = box.left();
        const double end = first ? box.right() : box.right() - random() % 200;
        if (highlighter && first) {
            // Highlighter is ink too: the mark starts before the words.
            const QRectF mark(box.left() - 40, base - height - 6, 0.6 * box.width(), height + 12);
            painter.fillRect(mark, QColor(255, 235, 70));
            ink = ink.united(mark);
        }
        while (x < end - 20) {
            const double length = std::min<double>(40 + random() % 120, end - x);
            QPainterPath word(QPointF(x, base - height / 2));
            for (double s = 10; s < length; s += 10)
                word.lineTo(x + s, base - height * ((random() % 3) / 2.0));
            word.lineTo(x + length, base - height / 2);
            painter.strokePath(
                word, QPen(QColor(30, 40, 110), kPen, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
            ink = ink.united(word.boundingRect().adjusted(-kPen, -kPen, kPen, kPen));
            x += length + 25;
        }
        first = false;
    }
    return ink;
}

void DrawHoles(QPainter& painter, const ContentPage& page) {
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.setBrush(kDesk);
    const double r = 0.013 * page.width;
    for (const double y : {0.3, 0.7})
        painter.drawEllipse(QPointF(0.045 * page.width, y * page.height), r, r);
    painter.setBrush(Qt::NoBrush);
}

void DrawDeskBeside(QPainter& painter, const ContentPage& page, std::mt19937& random) {
    const QRectF left(0, 0, 0.03 * page.width, page.height);
    const QRectF bottom(0, page.height - 0.025 * page.height, page.width, 0.025 * page.height);
    for (const QRectF& strip : {left, bottom}) {
        painter.fillRect(strip, kDesk);
        for (int i = 0; i < 300; ++i) {
            const int shade = 85 + static_cast<int>(random() % 30);
            painter.fillRect(
                QRectF(strip.left() + random() % static_cast<int>(strip.width()),
                       strip.top() + random() % static_cast<int>(strip.height()), 3, 3),
                QColor(shade, shade + 4, shade + 14));
        }
    }
}

void DrawSpecks(QPainter& painter, const ContentPage& page, std::mt19937& random) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90));
    for (int i = 0; i < 40; ++i) {
        painter.drawEllipse(QPointF(random() % page.width, random() % page.height), 1.2, 1.2);
    }
    painter.setBrush(Qt::NoBrush);
}

void DrawShadow(QPainter& painter, const ContentPage& page) {
    QRadialGradient shade(QPointF(page.width, page.height), 0.8 * page.width);
    shade.setColorAt(0, QColor(0, 0, 0, 110));
    shade.setColorAt(1, QColor(0, 0, 0, 0));
    painter.fillRect(QRectF(0, 0, page.width, page.height), shade);
}

}  // namespace

std::vector<ContentPage> ContentPages() {
    std::vector<ContentPage> pages;
    const auto add = [&pages](const char* name, Paper paper, std::optional<QRectF> writing) {
        ContentPage page;
        page.name = QLatin1String(name);
        page.paper = paper;
        page.writing = writing;
        pages.push_back(page);
        return &pages.back();
    };
    add("blank", Paper::Blank, std::nullopt);
    add("lines_only", Paper::Lined, std::nullopt)->marginLine = true;
    add("grid_only", Paper::Squared, std::nullopt);
    add("lined", Paper::Lined, QRectF(170, 160, 820, 1150))->marginLine = true;
    add("squared", Paper::Squared, QRectF(90, 120, 900, 1000));
    ContentPage* holes = add("holes", Paper::Lined, QRectF(200, 300, 700, 900));
    holes->holes = true;
    holes->marginLine = true;
    add("one_corner", Paper::Squared, QRectF(750, 1150, 300, 250));
    add("touching_edges", Paper::Lined, QRectF(500, 0, 625, 700));
    add("highlighter", Paper::Lined, QRectF(250, 400, 700, 500))->highlighter = true;
    ContentPage* landscape = add("landscape", Paper::Squared, QRectF(200, 250, 900, 500));
    landscape->width = 1500;
    landscape->height = 1125;
    ContentPage* messy = add("desk_shadow_specks", Paper::Lined, QRectF(150, 200, 800, 1000));
    messy->deskBeside = true;
    messy->shadow = true;
    messy->specks = true;
    ContentPage* emptyMessy = add("empty_desk_shadow_specks", Paper::Squared, std::nullopt);
    emptyMessy->deskBeside = true;
    emptyMessy->shadow = true;
    emptyMessy->specks = true;
    return pages;
}

DrawnPage DrawContentPage(const ContentPage& page) {
    DrawnPage drawn;
    drawn.image = QImage(page.width, page.height, QImage::Format_RGB32);
    // Seeded from the name's bytes: Qt's string hash is seeded anew in every process.
    std::mt19937::result_type seed = 2166136261u;
    for (const char byte : page.name.toUtf8())
        seed = (seed ^ static_cast<unsigned char>(byte)) * 16777619u;
    std::mt19937 random(seed);
    QPainter painter(&drawn.image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawPaper(painter, page);
    if (page.holes) DrawHoles(painter, page);
    if (page.writing) {
        painter.setCompositionMode(QPainter::CompositionMode_Multiply);
        drawn.ink = DrawWriting(painter, *page.writing, random, page.highlighter)
                        .intersected(QRectF(0, 0, page.width, page.height));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (page.specks) DrawSpecks(painter, page, random);
    if (page.deskBeside) DrawDeskBeside(painter, page, random);
    if (page.shadow) DrawShadow(painter, page);
    painter.end();
    return drawn;
}

}  // namespace lisko::test
