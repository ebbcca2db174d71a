#include "update/Unit4.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "pages/Fonts.h"
#include "ui/Application.h"

namespace lisko {

namespace {

// The window design, in pixels of the client area.
constexpr QSize kClientSize(482, 102);
constexpr QRect kStatusText(0, 0, 482, 20);
constexpr QRect kProgressBar(8, 24, 465, 24);
constexpr QRect kCancelButton(176, 56, 129, 33);
constexpr int kStatusCellHeight = 13;
// The design's dark grey, given as the colour value 3222568 (0x312C28, blue in the high byte).
constexpr QColor kStatusColour(0x28, 0x2C, 0x31);

}  // namespace

TForm4::TForm4(const QWidget& mainWindow) {
    setObjectName(QStringLiteral("Form4"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(kClientSize);

    sLabel1 = new QLabel(QStringLiteral("Проверка обновлений...."), this);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->setGeometry(kStatusText);
    sLabel1->setAlignment(Qt::AlignCenter);
    // The label shows the server's version text, which must never be read as markup.
    sLabel1->setTextFormat(Qt::PlainText);
    // The skin's user-interface font is Tahoma where it is installed.
    sLabel1->setFont(FontWithCellHeight(font().family(), kStatusCellHeight));
    QPalette statusPalette = sLabel1->palette();
    statusPalette.setColor(QPalette::WindowText, kStatusColour);
    sLabel1->setPalette(statusPalette);

    sProgressBar1 = new QProgressBar(this);
    sProgressBar1->setObjectName(QStringLiteral("sProgressBar1"));
    sProgressBar1->setGeometry(kProgressBar);
    sProgressBar1->setRange(0, 100);
    sProgressBar1->setValue(30);
    sProgressBar1->setTextVisible(false);

    sButton1 = new QPushButton(QStringLiteral("Отменить обновление"), this);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(kCancelButton);
    connect(sButton1, &QPushButton::clicked, this,
            [this] { RunHandler(this, [this] { sButton1Click(); }); });

    FormCreate(mainWindow);
}

void TForm4::FormCreate(const QWidget& mainWindow) {
    setWindowTitle(mainWindow.windowTitle());
}

void TForm4::showEvent(QShowEvent* event) {
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

void TForm4::closeEvent(QCloseEvent* event) {
    sButton1Click();
    event->ignore();
}

}  // namespace lisko
