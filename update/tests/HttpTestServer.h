#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QTcpServer>
#include <map>
#include <utility>

namespace lisko::test {

// One request as the server received it.
struct HttpRequest {
    QByteArray method;
    QByteArray path;
    QMap<QByteArray, QByteArray> headers;  // names in lower case
};

// What the server sends for a path: the bytes as they are, then it closes the connection, or
// holds it open without another byte (a server that stalls or never answers).
struct HttpAnswer {
    QByteArray bytes;
    bool hold = false;
};

// A web server on 127.0.0.1, on a port of its own, that answers each path as it was told and
// every other path with 404. It runs in the test's thread: it answers whenever the code under
// test processes events.
class HttpTestServer {
public:
    HttpTestServer();

    // "http://127.0.0.1:<port>"
    QString BaseUrl() const;
    quint16 Port() const { return server_.serverPort(); }
    void Answer(const QByteArray& path, const HttpAnswer& answer);
    const QList<HttpRequest>& Requests() const { return requests_; }
    QList<QByteArray> RequestedPaths() const;

private:
    void Accept();

    QTcpServer server_;
    std::map<QByteArray, HttpAnswer> answers_;
    QList<HttpRequest> requests_;
};

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// A response of the given status that closes the connection, with the headers in order and the
// body; nothing else is added.
QByteArray HttpResponse(int status, const HttpHeaders& headers, const QByteArray& body);
// 200 with Content-Type, the body's Content-Length and the body.
QByteArray OkResponse(const QByteArray& body, const QByteArray& contentType = "text/plain");
// A redirect to location.
QByteArray RedirectResponse(const QByteArray& location);

// A port on 127.0.0.1 where nothing listens: connections to it are refused.
quint16 ClosedPort();

}  // namespace lisko::test
