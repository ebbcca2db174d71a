#include "app/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace lisko {

namespace {

const QColor kInk(0x4A, 0x55, 0x60);
const QColor kPaper(0xFB, 0xFA, 0xF5);
const QColor kAccent(0x5D, 0x8A, 0x4E);

void DrawSheet(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(QPen(kInk.lighter(160), 2));
    for (qreal y = r.top() + 8; y < r.bottom() - 4; y += 6) {
        p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
    }
}

void DrawAddFiles(QPainter& p) {
    DrawSheet(p, QRectF(6, 4, 28, 36));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(24, 24, 22, 22));
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(35, 29), QPointF(35, 41));
    p.drawLine(QPointF(29, 35), QPointF(41, 35));
}

void DrawPrint(QPainter& p) {
    DrawSheet(p, QRectF(13, 3, 22, 18));
    p.setPen(QPen(kInk, 2));
    p.setBrush(kInk.lighter(170));
    p.drawRoundedRect(QRectF(3, 18, 42, 18), 4, 4);
    p.setBrush(kPaper);
    p.drawRect(QRectF(11, 30, 26, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(36, 22, 5, 5));
}

void DrawRecommend(QPainter& p) {
    // Two figures side by side, the smaller one being told about the program.
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QRectF(6, 6, 14, 14));
    p.drawPie(QRectF(1, 20, 24, 30), 0, 180 * 16);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(29, 11, 12, 12));
    p.drawPie(QRectF(25, 24, 20, 24), 0, 180 * 16);
}

void DrawFeedback(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawRect(QRectF(3, 12, 38, 26));
    p.drawPolyline(QPolygonF({QPointF(3, 12), QPointF(22, 28), QPointF(41, 12)}));
    p.setPen(QPen(kAccent, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(28, 40), QPointF(44, 24));
}

void DrawAbout(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(kPaper);
    p.drawEllipse(QRectF(4, 4, 40, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(QRectF(21, 11, 6, 6));
    p.drawRoundedRect(QRectF(21, 20, 6, 17), 2, 2);
}

// A sheet going down into a tray.
void DrawSaveJob(QPainter& p) {
    DrawSheet(p, QRectF(12, 3, 24, 28));
    p.setPen(QPen(kInk, 2));
    p.setBrush(kInk.lighter(170));
    p.drawPolygon(QPolygonF({QPointF(3, 30), QPointF(11, 30), QPointF(15, 36), QPointF(33, 36),
                             QPointF(37, 30), QPointF(45, 30), QPointF(45, 45), QPointF(3, 45)}));
    p.setPen(QPen(kAccent, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(24, 12), QPointF(24, 29));
    p.drawPolyline(QPolygonF({QPointF(17, 23), QPointF(24, 30), QPointF(31, 23)}));
}

// A folder with a sheet coming out of it.
void DrawOpenJob(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(kInk.lighter(170));
    p.drawPolygon(QPolygonF({QPointF(3, 10), QPointF(17, 10), QPointF(21, 15), QPointF(45, 15),
                             QPointF(45, 43), QPointF(3, 43)}));
    DrawSheet(p, QRectF(10, 5, 26, 28));
    p.setPen(QPen(kInk, 2));
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF({QPointF(3, 43), QPointF(10, 24), QPointF(46, 24), QPointF(45, 43)}));
}

}  // namespace

QSize ToolbarIconSize(ToolbarPicture picture) {
    return picture == ToolbarPicture::Recommend ? QSize(48, 41) : QSize(48, 48);
}

QIcon ToolbarIcon(ToolbarPicture picture) {
    QPixmap pixmap(ToolbarIconSize(picture));
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
        case ToolbarPicture::AddFiles:
            DrawAddFiles(p);
            break;
        case ToolbarPicture::Print:
            DrawPrint(p);
            break;
        case ToolbarPicture::Recommend:
            DrawRecommend(p);
            break;
        case ToolbarPicture::Feedback:
            DrawFeedback(p);
            break;
        case ToolbarPicture::About:
            DrawAbout(p);
            break;
        case ToolbarPicture::SaveJob:
            DrawSaveJob(p);
            break;
        case ToolbarPicture::OpenJob:
            DrawOpenJob(p);
            break;
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace lisko
