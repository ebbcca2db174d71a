#include "app/WebBrowser.h"

#include <QTimer>
#include <QVBoxLayout>
#include <functional>
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

#if LISKO_WITH_WEBENGINE
// Chromium's code for a load that a newer navigation replaced: not a failure of the site.
constexpr int kLoadAborted = -3;

// Whether a finished load left the engine's error page, or the site's own error answer, where
// the page should be.
bool LoadFailed(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
        return !(info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain &&
                 info.errorCode() == kLoadAborted);
    }
    return info.status() == QWebEngineLoadingInfo::LoadSucceededStatus &&
           info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain &&
           info.errorCode() >= 400;
}

// The view's page: a click on the unreachable page's link asks for the page again through
// Navigate, so that the extra headers go along as the first time.
class BrowserPage : public QWebEnginePage {
public:
    BrowserPage(QObject* parent, std::function<bool(const QUrl&)> retry)
        : QWebEnginePage(parent), retry_(std::move(retry)) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeLinkClicked && isMainFrame && retry_(url)) return false;
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    std::function<bool(const QUrl&)> retry_;
};
#endif

}  // namespace

QString TWebBrowser::UnreachablePage(const QUrl& url) {
    const QString site = url.host().isEmpty() ? url.toString() : url.host();
    return QStringLiteral(
               "<!DOCTYPE html><html lang=\"ru\"><head><meta charset=\"utf-8\">"
               "<title>%1 недоступен</title></head>"
               "<body style=\"font-family: sans-serif; margin: 2em; color: #282c31\">"
               "<h3>Сайт %1 сейчас недоступен</h3>"
               "<p>Нет соединения с сайтом, или сайт не отвечает. Проверьте подключение "
               "к интернету.</p>"
               "<p><a id=\"retry\" href=\"%2\">Повторить</a></p></body></html>")
        .arg(site.toHtmlEscaped(), url.toString(QUrl::FullyEncoded).toHtmlEscaped());
}

TWebBrowser::TWebBrowser(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
#if LISKO_WITH_WEBENGINE
    auto* view = new QWebEngineView;
    auto* page = new BrowserPage(view, [this](const QUrl& url) {
        if (!unreachable_ || url != url_) return false;
        // Not from inside the engine's own call.
        QTimer::singleShot(0, this, [this] { Navigate(url_, headers_); });
        return true;
    });
    view->setPage(page);
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, view](const QWebEngineLoadingInfo& info) {
                loading_ = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
                if (unreachable_ || info.url() != url_ || !LoadFailed(info)) return;
                // Loading the program's own page counts as loading, so that nobody navigates
                // in between.
                unreachable_ = true;
                loading_ = true;
                view->setHtml(UnreachablePage(url_), url_);
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
    url_ = url;
    headers_ = headers;
    unreachable_ = false;
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
