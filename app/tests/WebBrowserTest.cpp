#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

#include "app/WebBrowser.h"
#include "app/tests/WindowTestMain.h"

namespace lisko {

// A loopback web server that answers every request with one status, which a test may change,
// and keeps the value of the header "X-Lisko" of each request for "/page" (the engine asks for
// other things too, such as the site's icon). Closed, its port refuses
// connections; it can listen on the same port again.
class StatusServer : public QObject {
public:
    StatusServer() {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection())
                Serve(socket);
        });
    }
    bool Listen(quint16 port = 0) { return server_.listen(QHostAddress::LocalHost, port); }
    void Close() { server_.close(); }
    quint16 Port() const { return server_.serverPort(); }

    QByteArray status = "200 OK";
    QList<QByteArray> marks;  // X-Lisko of each request for the page, in arrival order

private:
    void Serve(QTcpSocket* socket) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            QByteArray mark;
            for (const QByteArray& line : buffer->left(end).split('\n')) {
                if (line.toLower().startsWith("x-lisko:")) mark = line.mid(8).trimmed();
            }
            if (buffer->startsWith("GET /page ")) marks << mark;
            const QByteArray body =
                "<html><head><title>served</title></head><body>page</body></html>";
            socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QTcpServer server_;
};

// The web tabs' view when its page cannot be had: the program's own Russian page naming the site
// and offering "Повторить", never the browser engine's English error page. Every host name the
// engine looks up leads to the test's server.
class WebBrowserTest : public QObject {
    Q_OBJECT

private:
    static QWebEngineView& View(TWebBrowser& browser) {
        auto* view = browser.findChild<QWebEngineView*>();
        Q_ASSERT(view);
        return *view;
    }

    // The page's text; empty when the engine gives none within ten seconds.
    static QString Text(QWebEngineView& view) {
        QString text;
        bool done = false;
        view.page()->toPlainText([&](const QString& t) {
            text = t;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, 10000) ? text : QString();
    }

    StatusServer server_;

private slots:
    void initTestCase() {
        QVERIFY(server_.Listen());
        test::SendWebHostsTo(server_.Port());
    }

    void unreachablePageThenRetry_data() {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("requestsBeforeRetry");
        QTest::newRow("connection refused") << true << 0;
        QTest::newRow("server answers 500") << false << 1;
    }

    void unreachablePageThenRetry() {
        QFETCH(bool, refused);
        QFETCH(int, requestsBeforeRetry);
        const quint16 port = server_.Port();
        server_.marks.clear();
        if (refused) {
            server_.Close();
        } else {
            server_.status = "500 Internal Server Error";
        }
        TWebBrowser browser;
        browser.resize(500, 400);
        browser.show();
        browser.Navigate(QUrl(QStringLiteral("http://partner.example/page")),
                         QStringLiteral("X-Lisko:first"));

        QTRY_COMPARE_WITH_TIMEOUT(View(browser).title(),
                                  QStringLiteral("partner.example недоступен"), 30000);
        const QString text = Text(View(browser));
        QVERIFY2(text.contains(QStringLiteral("Сайт partner.example сейчас недоступен")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Повторить")), qPrintable(text));
        QCOMPARE(server_.marks.size(), requestsBeforeRetry);
        QTRY_COMPARE_WITH_TIMEOUT(browser.State(), TWebBrowser::ReadyState::Complete, 10000);

        // The site is back: "Повторить" loads the page, with the headers of the first request.
        if (refused) QVERIFY(server_.Listen(port));
        server_.status = "200 OK";
        View(browser).page()->runJavaScript(
            QStringLiteral("document.getElementById('retry').click()"));
        QTRY_COMPARE_WITH_TIMEOUT(View(browser).title(), QStringLiteral("served"), 30000);
        QCOMPARE(server_.marks.last(), QByteArray("first"));
        QCOMPARE(server_.marks.size(), requestsBeforeRetry + 1);
        QCOMPARE(Text(View(browser)), QStringLiteral("page"));
    }

    void pageNamesTheSiteAndLinksBackToIt() {
        const QString html =
            TWebBrowser::UnreachablePage(QUrl(QStringLiteral("https://partner.example/a?b=<c>")));
        QVERIFY(html.contains(QStringLiteral("Сайт partner.example сейчас недоступен")));
        QVERIFY(html.contains(QStringLiteral("href=\"https://partner.example/a?b=%3Cc%3E\"")));
    }
};

}  // namespace lisko

int main(int argc, char* argv[]) {
    return lisko::test::RunWindowTest(argc, argv,
                                      [] { return std::make_unique<lisko::WebBrowserTest>(); });
}

#include "WebBrowserTest.moc"
