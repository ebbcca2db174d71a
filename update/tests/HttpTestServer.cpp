#include "update/tests/HttpTestServer.h"

#include <QTcpSocket>
#include <memory>

namespace lisko::test {

namespace {

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

HttpRequest ParseRequest(const QByteArray& head) {
    HttpRequest request;
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = requestLine.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon <= 0) continue;
        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                               lines[i].mid(colon + 1).trimmed());
    }
    return request;
}

}  // namespace

HttpTestServer::HttpTestServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] { Accept(); });
}

QString HttpTestServer::BaseUrl() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(Port());
}

void HttpTestServer::Answer(const QByteArray& path, const HttpAnswer& answer) {
    answers_[path] = answer;
}

QList<QByteArray> HttpTestServer::RequestedPaths() const {
    QList<QByteArray> paths;
    for (const HttpRequest& r : requests_)
        paths << r.path;
    return paths;
}

void HttpTestServer::Accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        auto received = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
            if (received->contains("\r\n\r\n")) return;  // answered already
            *received += socket->readAll();
            const qsizetype end = received->indexOf("\r\n\r\n");
            if (end < 0) return;
            const HttpRequest request = ParseRequest(received->left(end));
            requests_ << request;
            const auto it = answers_.find(request.path);
            const HttpAnswer answer = it != answers_.end()
                                          ? it->second
                                          : HttpAnswer{HttpResponse(404, {}, "missing"), false};
            socket->write(answer.bytes);
            if (!answer.hold) socket->disconnectFromHost();
        });
    }
}

QByteArray HttpResponse(int status, const HttpHeaders& headers, const QByteArray& body) {
    QByteArray response = "HTTP/1.1 " + QByteArray::number(status) + ' ' + ReasonPhrase(status) +
                          "\r\nConnection: close\r\n";
    for (const auto& [name, value] : headers)
        response += name + ": " + value + "\r\n";
    return response + "\r\n" + body;
}

QByteArray OkResponse(const QByteArray& body, const QByteArray& contentType) {
    return HttpResponse(
        200, {{"Content-Type", contentType}, {"Content-Length", QByteArray::number(body.size())}},
        body);
}

QByteArray RedirectResponse(const QByteArray& location) {
    return HttpResponse(302, {{"Location", location}, {"Content-Length", "0"}}, {});
}

quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

}  // namespace lisko::test
