// Draws the sample photos of notes that ./run.sh prints on a machine without a display:
//   draw_samples OUT_DIR   writes OUT_DIR/notes-1.jpg ... OUT_DIR/notes-3.jpg
// Each is drawn to look like a phone snapshot of a handwritten sheet lying on a desk: the sheet
// tilted and seen a little in perspective, light falling unevenly, sensor noise, so that the
// black-and-white clean-up has real work to do. The committed pictures in resources/samples were
// made with it; the same program always draws the same pixels.

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QTransform>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// The sheet in its own units: an A5 page, 1480 x 2100 (tenths of a millimetre).
constexpr QSizeF kSheet(1480, 2100);

enum class Ruling { Lines, Squares };

struct Sample {
    const char* name;
    std::uint32_t seed;
    QSize size;              // of the photo
    QPolygonF sheetCorners;  // where the sheet's corners land: top-left, top-right, bottom-right,
                             // bottom-left
    Ruling ruling;
    QPointF light;  // the brightest point, as a fraction of the photo
    QColor ink;
};

// A small generator of its own, so that the pictures never depend on a library's distribution.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    // Uniform in [low, high).
    double Between(double low, double high) {
        return low + (high - low) * static_cast<double>(Next() & 0xFFFFFF) / double(0x1000000);
    }

private:
    std::uint32_t state_;
};

// A wooden desk: a warm brown with long, wavy grain.
void DrawDesk(QPainter& p, QSize size, Random& random) {
    p.fillRect(QRect(QPoint(0, 0), size), QColor(0x8A, 0x5F, 0x3C));
    for (int line = 0; line < size.height() / 3; ++line) {
        const double y0 = random.Between(0, size.height());
        const double amplitude = random.Between(2, 12);
        const double period = random.Between(200, 700);
        const int shade = static_cast<int>(random.Between(-40, 30));
        p.setPen(QPen(QColor(0x8A + shade, 0x5F + shade * 2 / 3, 0x3C + shade / 2, 70),
                      random.Between(1, 4)));
        QPainterPath grain(QPointF(0, y0));
        for (int x = 0; x <= size.width(); x += 20)
            grain.lineTo(x, y0 + amplitude * std::sin(x / period * 6.283 + y0));
        p.drawPath(grain);
    }
}

// The sheet's soft shadow on the desk, then the paper with its ruling.
void DrawSheet(QPainter& p, const Sample& sample, const QTransform& toPhoto) {
    for (int k = 6; k >= 1; --k) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 14));
        p.drawPolygon(sample.sheetCorners.translated(2.0 * k, 3.0 * k));
    }
    p.setBrush(QColor(0xF4, 0xF1, 0xE8));
    p.drawPolygon(sample.sheetCorners);

    p.save();
    p.setTransform(toPhoto, true);
    if (sample.ruling == Ruling::Lines) {
        p.setPen(QPen(QColor(0x9C, 0xB4, 0xD8), 4));
        for (double y = 260; y < kSheet.height() - 60; y += 80)
            p.drawLine(QPointF(0, y), QPointF(kSheet.width(), y));
        p.setPen(QPen(QColor(0xE0, 0x8A, 0x8A), 5));
        p.drawLine(QPointF(200, 0), QPointF(200, kSheet.height()));
    } else {
        p.setPen(QPen(QColor(0xA8, 0xBC, 0xD4), 2.5));
        for (double y = 50; y < kSheet.height(); y += 50)
            p.drawLine(QPointF(0, y), QPointF(kSheet.width(), y));
        for (double x = 40; x < kSheet.width(); x += 50)
            p.drawLine(QPointF(x, 0), QPointF(x, kSheet.height()));
    }
    p.restore();
}

// One handwritten word: a run of joined loops along the baseline, some letters rising above
// the x-height or falling below the line. Returns the x where the next word may start.
double DrawWord(QPainterPath& path, double x, double baseline, double xHeight, Random& random) {
    const int letters = static_cast<int>(random.Between(2, 8));
    const double slant = 0.25 * xHeight;
    path.moveTo(x, baseline - random.Between(0, xHeight * 0.4));
    for (int i = 0; i < letters; ++i) {
        const double width = xHeight * random.Between(0.55, 1.0);
        double top = baseline - xHeight * random.Between(0.8, 1.1);
        double bottom = baseline;
        const double kind = random.Between(0, 1);
        if (kind < 0.18)
            top = baseline - xHeight * random.Between(1.9, 2.4);  // ascender
        else if (kind < 0.30)
            bottom = baseline + xHeight * random.Between(0.8, 1.2);  // descender
        const QPointF up(x + width * 0.45 + slant, top);
        const QPointF down(x + width, bottom);
        path.cubicTo(QPointF(x + width * 0.1, baseline - xHeight * 0.3),
                     QPointF(up.x() - width * 0.5, top), up);
        path.cubicTo(QPointF(up.x() + width * 0.35, top), QPointF(down.x() - width * 0.3, bottom),
                     down);
        x += width;
    }
    return x + xHeight * random.Between(0.9, 1.6);
}

// Lines of handwriting in sheet units, with a short underlined heading on top.
void DrawHandwriting(QPainter& p, const Sample& sample, const QTransform& toPhoto, Random& random) {
    p.save();
    p.setTransform(toPhoto, true);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(Qt::NoBrush);
    QPen pen(sample.ink, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);

    const double left = sample.ruling == Ruling::Lines ? 240 : 140;
    const double right = kSheet.width() - 90;
    const double pitch = sample.ruling == Ruling::Lines ? 80 : 100;
    const double xHeight = sample.ruling == Ruling::Lines ? 30 : 36;

    // The heading: a few bigger words in the middle, underlined.
    QPainterPath heading;
    double x = 500;
    for (int w = 0; w < 2; ++w)
        x = DrawWord(heading, x, 180, xHeight * 1.4, random);
    pen.setWidthF(9);
    p.setPen(pen);
    p.drawPath(heading);
    p.drawLine(QPointF(480, 205), QPointF(x, 200));

    pen.setWidthF(6.5);
    p.setPen(pen);
    for (double baseline = 260 + pitch - 8; baseline < kSheet.height() - 120; baseline += pitch) {
        // Now and then a paragraph ends early, or a line starts indented.
        double lineEnd = random.Between(0, 1) < 0.15 ? random.Between(left + 300, right) : right;
        x = left + (random.Between(0, 1) < 0.12 ? 120 : random.Between(0, 20));
        QPainterPath line;
        while (x < lineEnd - xHeight * 3)
            x = DrawWord(line, x, baseline + random.Between(-4, 4), xHeight, random);
        p.drawPath(line);
    }
    p.restore();
}

// Light that falls unevenly: bright round sample.light, dimmer towards the far corners.
void DrawLight(QPainter& p, const Sample& sample) {
    const QSize size = sample.size;
    const QPointF centre(sample.light.x() * size.width(), sample.light.y() * size.height());
    QRadialGradient light(centre, std::hypot(size.width(), size.height()) * 0.9);
    light.setColorAt(0.0, QColor(255, 255, 255));
    light.setColorAt(0.45, QColor(212, 207, 198));
    light.setColorAt(1.0, QColor(125, 119, 112));
    p.setCompositionMode(QPainter::CompositionMode_Multiply);
    p.fillRect(QRect(QPoint(0, 0), size), light);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// A camera's noise: every channel of every pixel up to 2 levels up or down.
void AddNoise(QImage& photo, Random& random) {
    for (int y = 0; y < photo.height(); ++y) {
        std::uint8_t* row = photo.scanLine(y);
        for (int x = 0; x < photo.width() * 3; ++x) {
            const int value = row[x] + static_cast<int>(random.Next() % 5) - 2;
            row[x] = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
        }
    }
}

QImage DrawSample(const Sample& sample) {
    Random random(sample.seed);
    QImage photo(sample.size, QImage::Format_RGB888);
    QPainter p(&photo);
    p.setRenderHint(QPainter::Antialiasing);
    DrawDesk(p, sample.size, random);
    QTransform toPhoto;
    const QPolygonF sheet{QPointF(0, 0), QPointF(kSheet.width(), 0),
                          QPointF(kSheet.width(), kSheet.height()), QPointF(0, kSheet.height())};
    QTransform::quadToQuad(sheet, sample.sheetCorners, toPhoto);
    DrawSheet(p, sample, toPhoto);
    DrawHandwriting(p, sample, toPhoto, random);
    DrawLight(p, sample);
    p.end();
    AddNoise(photo, random);
    return photo;
}

const Sample kSamples[] = {
    {"notes-1.jpg", 1, QSize(900, 1200),
     QPolygonF{QPointF(120, 95), QPointF(800, 60), QPointF(845, 1110), QPointF(70, 1150)},
     Ruling::Lines, QPointF(0.25, 0.2), QColor(0x1E, 0x2E, 0x7A)},
    {"notes-2.jpg", 2, QSize(900, 1200),
     QPolygonF{QPointF(60, 140), QPointF(760, 40), QPointF(860, 1060), QPointF(140, 1170)},
     Ruling::Squares, QPointF(0.8, 0.15), QColor(0x22, 0x22, 0x30)},
    {"notes-3.jpg", 3, QSize(900, 1200),
     QPolygonF{QPointF(150, 40), QPointF(830, 110), QPointF(790, 1160), QPointF(90, 1110)},
     Ruling::Lines, QPointF(0.5, 0.9), QColor(0x15, 0x3A, 0x8C)},
};

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_samples OUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (const Sample& sample : kSamples) {
        const QString file = dir + QLatin1Char('/') + QString::fromLatin1(sample.name);
        if (!DrawSample(sample).save(file, "JPG", 70)) {
            std::fprintf(stderr, "draw_samples: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
