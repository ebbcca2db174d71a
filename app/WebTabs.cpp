#include "app/WebTabs.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QRect>
#include <QUrl>
#include <QVBoxLayout>

#include "app/WebBrowser.h"
#include "identity/Identity.h"
#include "pages/Fonts.h"

namespace lisko {

namespace {

// The tab design, in pixels: a header strip across the top, and below it the browser's panel at
// (8, 32), 513 x 681 in a tab page of 530 x 717, following every edge of the page.
constexpr int kHeaderHeight = 25;
constexpr int kHeaderCellHeight = 16;
constexpr QRect kPanel(8, 32, 513, 681);
constexpr QSize kTabPage(530, 717);
constexpr int kPanelBorder = 5;
constexpr QRgb kHeaderColour = qRgb(0x28, 0x2C, 0x31);  // the design's colour value 3222568

struct WebTabDesign {
    const char* headerName;
    QString headerText;
    const char* panelName;
    const char* browserName;
};

TWebBrowser* BuildWebTab(QWidget* tab, const WebTabDesign& design) {
    auto* header = new QLabel(design.headerText);
    header->setObjectName(QString::fromLatin1(design.headerName));
    header->setAlignment(Qt::AlignCenter);
    header->setFixedHeight(kHeaderHeight);
    header->setFont(FontWithCellHeight(tab->font().family(), kHeaderCellHeight));
    QPalette palette = header->palette();
    palette.setColor(QPalette::WindowText, QColor(kHeaderColour));
    header->setPalette(palette);

    auto* panel = new QFrame;
    panel->setObjectName(QString::fromLatin1(design.panelName));
    auto* browser = new TWebBrowser;
    browser->setObjectName(QString::fromLatin1(design.browserName));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    panelLayout->addWidget(browser);

    auto* layout = new QVBoxLayout(tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    auto* panelArea = new QVBoxLayout;
    panelArea->setContentsMargins(kPanel.x(), kPanel.y() - kHeaderHeight,
                                  kTabPage.width() - (kPanel.x() + kPanel.width()),
                                  kTabPage.height() - (kPanel.y() + kPanel.height()));
    panelArea->addWidget(panel);
    layout->addLayout(panelArea);
    return browser;
}

// Reads the browser's state and waits for and processes events until it is ready; false when its
// window was closed meanwhile. Closing the main window is how the program ends, and how the
// application's quitting begins, so the wait never outlives the program.
bool WaitUntilReady(const TWebBrowser& browser) {
    while (browser.State() != TWebBrowser::ReadyState::Complete) {
        if (!browser.window()->isVisible()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace

TWebBrowser* BuildPartnerTab(QWidget* tab) {
    return BuildWebTab(tab, {"sLabelFX2",
                             QStringLiteral("100% сдача любого экзамена на 5! ") +
                                 QString::fromUtf8(identity::PartnerName),
                             "sPanel3", "WebBrowser1"});
}

TWebBrowser* BuildProjectTab(QWidget* tab) {
    return BuildWebTab(tab, {"sLabelFX1", QStringLiteral("Скачай новую версию! Поддержи проект!"),
                             "sPanel1", "WebBrowser"});
}

void RequestWebPages(TWebBrowser& project, TWebBrowser& partner, const QString& programVersion) {
    if (!WaitUntilReady(project)) return;
    project.Navigate(QUrl(QStringLiteral("http://") + QString::fromUtf8(identity::ProjectSite) +
                          QStringLiteral("?version=") + programVersion));
    partner.Navigate(QUrl(QStringLiteral("http://") + QString::fromUtf8(identity::PartnerSite) +
                          QStringLiteral("/liskoprinter2.html")),
                     QStringLiteral("HTTP_USER_AGENT:Lisko ") + programVersion);
}

}  // namespace lisko
