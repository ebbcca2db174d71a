#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace lisko {

// The page view of a web tab. Built with Qt WebEngine it shows the page itself; built without
// it, it shows the page's address as a link that the user's web browser opens.
class TWebBrowser : public QWidget {
public:
    enum class ReadyState { Loading, Complete };

    explicit TWebBrowser(QWidget* parent = nullptr);

    // Complete when the browser can take a navigation: nothing is loading.
    ReadyState State() const { return loading_ ? ReadyState::Loading : ReadyState::Complete; }

    // Requests the page. `headers` are extra request header lines "Name:Value", separated by
    // CR LF. An address that is not a valid absolute URL, or a header line without a colon, is
    // refused with an error and nothing is requested. A page that cannot be loaded (no
    // connection, or the site answers with an error) is replaced by a short page of the
    // program's own that names the site and offers to ask for it again.
    void Navigate(const QUrl& url, const QString& headers = {});

    // The page shown instead of one that could not be loaded from `url`, as HTML. Its "Повторить"
    // link leads to `url` itself.
    static QString UnreachablePage(const QUrl& url);

private:
    QWidget* view_;
    bool loading_ = false;
    // The last navigation, asked for again by the unreachable page's link, and whether that page
    // stands in for it now.
    QUrl url_;
    QString headers_;
    bool unreachable_ = false;
};

}  // namespace lisko
