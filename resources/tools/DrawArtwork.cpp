// Draws the two advertisement pictures that the page composer and the editor show:
//   draw_artwork OUT_DIR   writes OUT_DIR/Image0.jpg and OUT_DIR/Image1.jpg
// The build runs it with the identities of the CMake cache; the pictures are compiled in from
// the build tree.

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdio>

#include "identity/Identity.h"

namespace {

constexpr int kDotsPerMetre72 = 2835;    // 72 dpi
constexpr int kDotsPerMetre300 = 11811;  // 300 dpi

// The preview card: a grey card offering the advertising space, with the feedback address.
QImage PreviewCard() {
    QImage card(300, 400, QImage::Format_RGB888);
    card.setDotsPerMeterX(kDotsPerMetre72);
    card.setDotsPerMeterY(kDotsPerMetre72);
    card.fill(QColor(0xC8, 0xC8, 0xC8));
    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x6E, 0x6E, 0x6E), 6));
    p.drawRoundedRect(QRectF(12, 12, 276, 376), 18, 18);
    p.setPen(QColor(0x3C, 0x3C, 0x3C));
    QFont title(QStringLiteral("Carlito"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.drawText(QRect(24, 60, 252, 200), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Здесь может быть ваша реклама"));
    QFont small(QStringLiteral("Carlito"));
    small.setPixelSize(20);
    p.setFont(small);
    p.drawText(QRect(24, 280, 252, 40), Qt::AlignCenter, QStringLiteral("Пишите:"));
    p.drawText(QRect(24, 315, 252, 40), Qt::AlignCenter,
               QString::fromUtf8(lisko::identity::FeedbackEmail));
    return card;
}

// The printed advertisement: black on white, its lettering running from bottom to top.
QImage PrintedAdvertisement() {
    QImage ad(600, 800, QImage::Format_RGB888);
    ad.setDotsPerMeterX(kDotsPerMetre300);
    ad.setDotsPerMeterY(kDotsPerMetre300);
    ad.fill(Qt::white);
    QPainter p(&ad);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 10));
    p.drawRect(QRectF(15, 15, 570, 770));
    p.translate(0, 800);
    p.rotate(-90);  // x now runs up the picture
    p.setPen(Qt::black);
    QFont big(QStringLiteral("Carlito"));
    big.setPixelSize(72);
    big.setBold(true);
    p.setFont(big);
    p.drawText(QRect(40, 60, 720, 200), Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("100% сдача любого экзамена на 5!"));
    QFont site(QStringLiteral("Carlito"));
    site.setPixelSize(64);
    p.setFont(site);
    p.drawText(QRect(40, 320, 720, 120), Qt::AlignCenter,
               QString::fromUtf8(lisko::identity::PartnerSite));
    p.fillRect(QRect(120, 470, 560, 8), Qt::black);
    return ad;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_artwork OUT_DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const bool saved = PreviewCard().save(dir + QStringLiteral("/Image0.jpg"), "JPG", 90) &&
                       PrintedAdvertisement()
                           .convertToFormat(QImage::Format_Grayscale8)
                           .save(dir + QStringLiteral("/Image1.jpg"), "JPG", 90);
    return saved ? 0 : 1;
}
