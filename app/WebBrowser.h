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
    // refused with an error and nothing is requested.
    void Navigate(const QUrl& url, const QString& headers = {});

private:
    QWidget* view_;
    bool loading_ = false;
};

}  // namespace lisko
