// Draws the program's icon for the desktop's menus and file managers:
//   draw_icon SIZE OUT_PNG   writes a SIZE x SIZE picture with a transparent background
// A printed sheet with four reduced notes on it, drawn on a 256-unit grid and scaled, so every
// size shows the same picture.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdio>

namespace {

constexpr double kGrid = 256.0;

void DrawNote(QPainter& p, const QRectF& cell) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xF1, 0xE4));
    p.drawRect(cell);
    // Lines of writing, every other one shorter, as a page of notes looks from afar.
    p.setPen(QPen(QColor(0x2B, 0x3A, 0x67), 5, Qt::SolidLine, Qt::RoundCap));
    const double left = cell.left() + 9;
    for (int line = 0; line < 5; ++line) {
        const double y = cell.top() + 14 + line * 15;
        const double right = cell.right() - (line % 2 == 0 ? 9 : 26);
        p.drawLine(QPointF(left, y), QPointF(right, y));
    }
}

QImage DrawIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / kGrid, size / kGrid);

    // The sheet, A4-shaped, with a soft shadow and a folded corner.
    const QRectF sheet(40, 12, 176, 232);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(sheet.translated(6, 6), 6, 6);
    QPainterPath page;
    page.moveTo(sheet.topLeft());
    page.lineTo(sheet.right() - 36, sheet.top());
    page.lineTo(sheet.right(), sheet.top() + 36);
    page.lineTo(sheet.bottomRight());
    page.lineTo(sheet.bottomLeft());
    page.closeSubpath();
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 3));
    p.drawPath(page);
    p.setBrush(QColor(0xD8, 0xD8, 0xD8));
    p.drawPolygon(QPolygonF({QPointF(sheet.right() - 36, sheet.top()),
                             QPointF(sheet.right() - 36, sheet.top() + 36),
                             QPointF(sheet.right(), sheet.top() + 36)}));

    // Four notes, two by two, and the page number at the foot.
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            DrawNote(p, QRectF(54 + column * 76, 52 + row * 88, 70, 80));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.drawEllipse(QPointF(128, 232), 7, 7);
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const int size = argc == 3 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: draw_icon SIZE OUT_PNG  (SIZE 16 to 1024)\n");
        return 2;
    }
    return DrawIcon(size).save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
