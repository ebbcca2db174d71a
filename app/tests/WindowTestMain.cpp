#include "app/tests/WindowTestMain.h"

#include <QDesktopServices>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/Program.h"
#include "ui/Application.h"

namespace lisko::test {

namespace {

// Takes the addresses the program hands to the desktop, and does nothing with them.
class DesktopSink : public QObject {
    Q_OBJECT

public slots:
    void open(const QUrl&) {}
};

// Answers every request on the loopback interface with "404 Not Found": the update check then
// finds no new version, and the web tabs show an empty page.
class NotFoundServer : public QObject {
public:
    bool Listen() {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    socket->write(
                        "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return server_.listen(QHostAddress::LocalHost);
    }
    quint16 Port() const { return server_.serverPort(); }

private:
    QTcpServer server_;
};

QByteArray& BrowserFlags() {
    static QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    return flags;
}

}  // namespace

void SendWebHostsTo(quint16 port) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            BrowserFlags() +
                " --host-resolver-rules=\"MAP * 127.0.0.1:" + QByteArray::number(port) + '"');
}

int RunWindowTest(int argc, char* argv[],
                  const std::function<std::unique_ptr<QObject>()>& makeTest) {
    const QTemporaryDir config;
    if (!config.isValid()) return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    BrowserFlags();  // as the environment gave them, before a rule is added
    LiskoApplication app(argc, argv);
    NotFoundServer server;
    if (!server.Listen()) return 1;
    const QByteArray serverUrl = "http://127.0.0.1:" + QByteArray::number(server.Port());
    // A test that checks updates itself sets its own server before each check.
    if (qEnvironmentVariableIsEmpty("LISKO_UPDATE_URL")) qputenv("LISKO_UPDATE_URL", serverUrl);
    SendWebHostsTo(server.Port());
    DesktopSink sink;
    for (const char* scheme : {"mailto", "http", "https"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &sink, "open");
    }
    const std::unique_ptr<QObject> test = makeTest();
    const int failed = QTest::qExec(test.get(), argc, argv);
    for (const char* scheme : {"mailto", "http", "https"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    return failed;
}

}  // namespace lisko::test

#include "WindowTestMain.moc"
