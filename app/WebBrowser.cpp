#include "app/WebBrowser.h"

#include <QVBoxLayout>
#include <stdexcept>
#include <utility>
#include <vector>

#if LISKO_WITH_WEBENGINE
#include <QWebEngineHttpRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#else
#include <QLabel>
#endif

namespace lisko {

namespace {

using HeaderLines = std::vector<std::pair<QByteArray, QByteArray>>;

HeaderLines ParseHeaders(const QString& headers) {
    HeaderLines lines;
    for (const QString& line : headers.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            throw std::runtime_error("Navigate: the header line \"" + line.toStdString() +
                                     "\" has no name before a colon");
        }
        lines.emplace_back(line.left(colon).trimmed().toUtf8(),
                           line.mid(colon + 1).trimmed().toUtf8());
    }
    return lines;
}

}  // namespace

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#if LISKO_WITH_WEBENGINE
    auto* view = new QWebEngineView;
    connect(view->page(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                loading_ = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
            });
    view_ = view;
#else
    auto* link = new QLabel;
    link->setAlignment(Qt::AlignCenter);
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);
    link->setWordWrap(true);
    view_ = link;
#endif
    layout->addWidget(view_);
}

void TWebBrowser::Navigate(const QUrl& url, const QString& headers) {
    if (!url.isValid() || url.isRelative()) {
        throw std::runtime_error("Navigate: \"" + url.toString().toStdString() +
                                 "\" is not a web address");
    }
#if LISKO_WITH_WEBENGINE
    QWebEngineHttpRequest request(url);
    for (const auto& [name, value] : ParseHeaders(headers))
        request.setHeader(name, value);
    // Loading starts now as far as the program is concerned; the view reports it a little later.
    loading_ = true;
    static_cast<QWebEngineView*>(view_)->load(request);
#else
    // An outside browser gets the address alone, so the extra headers cannot go along; they are
    // still checked, so that both builds refuse the same navigations.
    ParseHeaders(headers);
    static_cast<QLabel*>(view_)->setText(
        QStringLiteral("<a href=\"%1\">%2</a>")
            .arg(url.toString(QUrl::FullyEncoded).toHtmlEscaped(), url.toString().toHtmlEscaped()));
#endif
}

}  // namespace lisko
