#include "testsupport/SheetPhotos.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>
#include <cstring>
#include <random>
#include <stdexcept>

#include "raster/Jpeg.h"

namespace lisko::test {

namespace {

using Quad = std::array<QPointF, 4>;

// The page drawn flat before it is put in perspective.
constexpr double kPageWidth = 2100;
constexpr double kPageHeight = 2970;

QPolygonF Polygon(const Quad& q) {
    return QPolygonF({q[0], q[1], q[2], q[3]});
}

void DrawDesk(QPainter& painter, const SheetScene& scene, std::mt19937& random) {
    const QRectF all(0, 0, scene.width, scene.height);
    if (scene.desk == Desk::Plain) {
        painter.fillRect(all, QColor(96, 100, 110));
        for (int i = 0; i < 4000; ++i) {
            const int shade = 90 + static_cast<int>(random() % 20);
            painter.fillRect(QRectF(random() % scene.width, random() % scene.height, 3, 3),
                             QColor(shade, shade + 4, shade + 14));
        }
        return;
    }
    // Wood: a brown ground with wavy grain lines of darker and lighter browns.
    painter.fillRect(all, QColor(150, 102, 62));
    for (int i = 0; i < 260; ++i) {
        const double y = random() % (scene.height + 200) - 100.0;
        const int tone = static_cast<int>(random() % 90);
        const QColor colour = tone < 45 ? QColor(110 + tone / 2, 70 + tone / 3, 40)
                                        : QColor(150 + tone / 2, 108 + tone / 3, 70 + tone / 4);
        QPainterPath grain(QPointF(-10, y));
        const double wave = 6 + random() % 18;
        for (double x = 0; x <= scene.width + 200; x += 200)
            grain.quadTo(x + 100, y + ((random() % 2) ? wave : -wave), x + 200, y);
        painter.setPen(QPen(colour, 1 + random() % 5));
        painter.drawPath(grain);
    }
}

// A ruled page with lines of handwriting, drawn on the flat page rectangle.
void DrawPage(QPainter& painter, const QRectF& page, std::mt19937& random) {
    painter.fillRect(page, QColor(246, 244, 236));
    painter.setPen(QPen(QColor(150, 180, 215), 3));
    for (double y = page.top() + 260; y < page.bottom() - 80; y += 90)
        painter.drawLine(QPointF(page.left() + 60, y), QPointF(page.right() - 60, y));
    painter.setPen(QPen(QColor(30, 40, 110), 7, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (double y = page.top() + 250; y < page.bottom() - 200; y += 90) {
        double x = page.left() + 160;
        const double end = page.right() - 160 - (random() % 600);
        while (x < end) {
            QPainterPath word(QPointF(x, y));
            const double length = 60 + random() % 160;
            for (double s = 0; s < length; s += 20)
                word.lineTo(x + s + 10, y - 20 - (random() % 40) + ((random() % 2) ? 0 : 30));
            painter.drawPath(word);
            x += length + 50;
        }
    }
}

void DrawSheet(QPainter& painter, const SheetScene& scene, std::mt19937& random) {
    const Quad& q = *scene.sheet;
    // A faint shadow under the paper's edge, as a sheet casts on a desk.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawPolygon(Polygon(q).translated(6, 8));

    const int pages = scene.spread ? 2 : 1;
    for (int p = 0; p < pages; ++p) {
        const double from = static_cast<double>(p) / pages;
        const double to = static_cast<double>(p + 1) / pages;
        const Quad part = {q[0] + (q[1] - q[0]) * from, q[0] + (q[1] - q[0]) * to,
                           q[3] + (q[2] - q[3]) * to, q[3] + (q[2] - q[3]) * from};
        const QRectF flat(0, 0, kPageWidth, kPageHeight);
        QTransform perspective;
        const Quad corners = {flat.topLeft(), flat.topRight(), flat.bottomRight(),
                              flat.bottomLeft()};
        if (!QTransform::quadToQuad(Polygon(corners), Polygon(part), perspective)) continue;
        painter.save();
        painter.setTransform(perspective);
        DrawPage(painter, flat, random);
        painter.restore();
    }
    if (scene.spread) {
        // The fold between the pages.
        const QPointF top = (q[0] + q[1]) / 2;
        const QPointF bottom = (q[3] + q[2]) / 2;
        painter.setPen(QPen(QColor(90, 90, 90, 160), 10));
        painter.drawLine(top, bottom);
    }
}

void DrawLight(QPainter& painter, const SheetScene& scene) {
    const QRectF all(0, 0, scene.width, scene.height);
    if (scene.shadow) {
        QRadialGradient shade(QPointF(scene.width * 0.85, scene.height * 0.2), scene.width * 0.45);
        shade.setColorAt(0, QColor(0, 0, 0, 120));
        shade.setColorAt(0.6, QColor(0, 0, 0, 90));
        shade.setColorAt(1, QColor(0, 0, 0, 0));
        painter.fillRect(all, shade);
    }
    if (scene.unevenLight) {
        QLinearGradient falloff(QPointF(0, 0), QPointF(scene.width, scene.height));
        falloff.setColorAt(0, QColor(255, 255, 230, 40));
        falloff.setColorAt(1, QColor(0, 0, 20, 120));
        painter.fillRect(all, falloff);
    }
}

}  // namespace

std::vector<SheetScene> SheetScenes() {
    std::vector<SheetScene> scenes;
    SheetScene s;

    s = {};
    s.name = QStringLiteral("plain_desk");
    s.width = 1536;
    s.height = 2048;
    s.sheet = Quad{QPointF(260, 330), QPointF(1250, 250), QPointF(1340, 1760), QPointF(180, 1830)};
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("wood_desk_perspective");
    s.width = 2048;
    s.height = 1536;
    s.desk = Desk::Wood;
    s.sheet = Quad{QPointF(620, 180), QPointF(1480, 240), QPointF(1700, 1380), QPointF(380, 1300)};
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("shadow_and_uneven_light");
    s.width = 1536;
    s.height = 2048;
    s.desk = Desk::Wood;
    s.sheet = Quad{QPointF(300, 200), QPointF(1300, 380), QPointF(1220, 1900), QPointF(150, 1700)};
    s.shadow = true;
    s.unevenLight = true;
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("notebook_spread");
    s.width = 2048;
    s.height = 1536;
    s.desk = Desk::Wood;
    s.sheet = Quad{QPointF(160, 260), QPointF(1880, 180), QPointF(1930, 1330), QPointF(110, 1400)};
    s.spread = true;
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("touching_the_frame");
    s.width = 1536;
    s.height = 2048;
    s.sheet = Quad{QPointF(1, 420), QPointF(1200, 2), QPointF(1534, 1650), QPointF(230, 2046)};
    s.shadow = true;
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("cut_by_the_frame");
    s.width = 2048;
    s.height = 1536;
    s.desk = Desk::Wood;
    s.sheet =
        Quad{QPointF(500, -300), QPointF(1700, -200), QPointF(1750, 1300), QPointF(420, 1350)};
    s.wholeSheet = false;
    scenes.push_back(s);

    s = {};
    s.name = QStringLiteral("empty_desk");
    s.width = 2048;
    s.height = 1536;
    s.desk = Desk::Wood;
    s.unevenLight = true;
    s.wholeSheet = false;
    scenes.push_back(s);

    return scenes;
}

QImage DrawSheetPhoto(const SheetScene& scene) {
    QImage photo(scene.width, scene.height, QImage::Format_RGB32);
    // Seeded from the name's bytes: Qt's string hash is seeded anew in every process.
    std::mt19937::result_type seed = 2166136261u;
    for (const char byte : scene.name.toUtf8())
        seed = (seed ^ static_cast<unsigned char>(byte)) * 16777619u;
    std::mt19937 random(seed);
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawDesk(painter, scene, random);
    if (scene.sheet) DrawSheet(painter, scene, random);
    DrawLight(painter, scene);
    painter.end();
    return photo;
}

TFastDIB PhotoRaster(const QImage& image) {
    const QImage photo = image.convertToFormat(QImage::Format_BGR888);
    TFastDIB raster = TFastDIB::CreateBlank(photo.width(), photo.height(), 24);
    for (int y = 0; y < photo.height(); ++y) {
        std::memcpy(raster.Row(photo.height() - 1 - y), photo.constScanLine(y),
                    static_cast<std::size_t>(photo.width()) * 3);
    }
    return raster;
}

void SavePhoto(const QImage& image, const QString& file) {
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(PhotoRaster(image), 90);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(reinterpret_cast<const char*>(jpeg.data()), static_cast<qint64>(jpeg.size())) !=
            static_cast<qint64>(jpeg.size())) {
        throw std::runtime_error("cannot write " + file.toStdString());
    }
}

TFastDIB SheetPhotoRaster(const SheetScene& scene) {
    return PhotoRaster(DrawSheetPhoto(scene));
}

void SaveSheetPhoto(const SheetScene& scene, const QString& file) {
    SavePhoto(DrawSheetPhoto(scene), file);
}

}  // namespace lisko::test
