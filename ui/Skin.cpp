#include "ui/Skin.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QStyleFactory>

#include "pages/Fonts.h"

namespace lisko {

namespace {

constexpr char kTahomaFile[] = "/usr/share/wine/fonts/tahoma.ttf";

QPalette MutedPalette() {
    QPalette p;
    const QColor window(0xE4, 0xE2, 0xDE);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::Base, QColor(0xFA, 0xFA, 0xF8));
    p.setColor(QPalette::AlternateBase, QColor(0xEE, 0xED, 0xEA));
    p.setColor(QPalette::WindowText, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::ButtonText, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::Text, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Highlight, QColor(0x7A, 0x8B, 0x99));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xB4, 0xBC, 0xC2));
    return p;
}

}  // namespace

void ApplySkin(QApplication& app) {
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setPalette(MutedPalette());
    QString family = QStringLiteral("Tahoma");
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kTahomaFile));
    if (id >= 0) {
        family = QFontDatabase::applicationFontFamilies(id).value(0, family);
    } else if (!QFontDatabase::families().contains(family)) {
        family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    app.setFont(FontWithCellHeight(family, 11));
}

}  // namespace lisko
