#include "update/Update.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

#include "identity/Identity.h"
#include "identity/SettingsStore.h"
#include "photo/SaveFile.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "update/ReplacementScript.h"
#include "update/Unit4.h"
#include "update/UpdateSystem.h"
#include "update/VersionText.h"

namespace lisko {

namespace {

constexpr qint64 kBlockSize = 1024;
// A version text is a few characters; a longer body is not one.
constexpr qint64 kMaxVersionBytes = 4096;
// What the network may hold ahead of the download loop.
constexpr qint64 kReadAheadBytes = 64 * 1024;
constexpr int kMaxRedirects = 5;
// More digits could overflow the received count's arithmetic.
constexpr qsizetype kMaxLengthDigits = 15;

// Set while a check runs: a handler inside the download loop cannot start a second one.
bool checking = false;

bool IsHttp(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

int HttpStatus(const QNetworkReply& reply) {
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

QNetworkRequest GuardedRequest(const QUrl& url) {
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(kMaxRedirects);
    // HTTP/1.1, where a file is served with its length; HTTP/2 may leave the length out.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    // Otherwise Qt asks for a compressed body and unpacks it, and the announced length would no
    // longer count the bytes received.
    request.setRawHeader("Accept-Encoding", "identity");
    return request;
}

// Sends the request; each redirect is followed only where MayFollowRedirect allows it, any other
// ends the reply with an error.
QNetworkReply* Get(QNetworkAccessManager& manager, const QNetworkRequest& request) {
    QNetworkReply* reply = manager.get(request);
    // The reply already carries the new address when it reports a redirect, so the address of
    // each hop is kept here.
    QObject::connect(reply, &QNetworkReply::redirected, reply,
                     [reply, from = request.url()](const QUrl& to) mutable {
                         const QUrl target = from.resolved(to);
                         if (MayFollowRedirect(from, target)) {
                             from = target;
                             emit reply->redirectAllowed();
                         } else {
                             reply->abort();
                         }
                     });
    return reply;
}

// The proxy the desktop is set up to use for url, as the download always did.
QNetworkProxy SystemProxyFor(const QUrl& url) {
    const QList<QNetworkProxy> proxies =
        QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url));
    return proxies.isEmpty() ? QNetworkProxy(QNetworkProxy::NoProxy) : proxies.front();
}

// The download names itself with the application title, in the code page the desktop of its
// users speaks.
QByteArray AgentName() {
    const QString title = QString::fromUtf8(ApplicationTitle);
    return ToCp1251(title).value_or(title.toUtf8());
}

// The announced length of a response that can carry a setup program, or nothing: the status
// must be 200 and Content-Length a number above 0 (an empty file cannot replace the program).
std::optional<qint64> AnnouncedSetupLength(const QNetworkReply& reply) {
    if (reply.error() != QNetworkReply::NoError || HttpStatus(reply) != 200) return std::nullopt;
    const QString text = QueryHttpHeader(reply, "Content-Length");
    if (text.isEmpty() || text.size() > kMaxLengthDigits) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    const qint64 length = text.toLongLong();
    if (length <= 0) return std::nullopt;
    return length;
}

// Processes the window's events until the reply holds data, has ended, or the user cancelled.
void WaitForData(const QNetworkReply& reply, const TForm4& form) {
    while (reply.bytesAvailable() == 0 && !reply.isFinished() && form.Tag != 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The update's messages begin with the step that failed.
std::runtime_error StepFailed(const char* step, const WriteError& error) {
    return std::runtime_error(std::string(step) + ": " + error.what());
}

void WriteReplacementScript(const QString& fileName, const QByteArray& script) {
    try {
        WriteWholeFile(fileName, script);
    } catch (const WriteError& e) {
        throw StepFailed("CheckForUpdate", e);
    }
}

QUrl Endpoint(const QString& server, const char* path) {
    return QUrl(server + QLatin1String(path));
}

// Downloads the setup program of version v and hands over to the replacement script, which
// ends the program. False when the program goes on instead.
bool InstallUpdate(TForm4& form, const QString& v, const QString& server) {
    form.sProgressBar1->setValue(0);
    form.repaint();
    form.sLabel1->setText(QStringLiteral("Доступна новая версия ") + v +
                          QStringLiteral(". Установка обновления..."));

    UpdateSystem& system = CurrentUpdateSystem();
    const QString programFile = system.ProgramFile();
    const QString d = ProgramDirectory(programFile);
    const QString e = ProgramFileName(programFile);
    // A name the script cannot spell would make it erase or start the wrong file.
    const std::optional<QByteArray> script =
        ReplacementScript(e, QCoreApplication::applicationPid());
    if (!script) return false;

    const QString setup = d + QLatin1String(SetupFileName);
    const QString scriptFile = d + QLatin1String(ScriptFileName);
    bool downloaded = false;
    try {
        downloaded = DownloadFile(form, Endpoint(server, "/files/LiskoSetup.exe"), setup);
        if (downloaded) WriteReplacementScript(scriptFile, *script);
    } catch (const std::exception& error) {
        // A setup program without its script would only lie about.
        if (downloaded) QFile::remove(setup);
        form.hide();
        ShowStandardError(QApplication::activeWindow(), error);
        return false;
    }
    if (!downloaded) return false;
    system.StartScript(scriptFile, d);
    system.EndProgram();
    return true;
}

// Tells a program installed by a package about version v, once: the store remembers the last
// version announced. A store that cannot be opened or written means the text may come again at
// the next start, which is better than never.
void AnnounceUpdate(TForm4& form, const QString& v) {
    form.hide();
    SettingsStore store;
    const bool open = store.OpenKey();
    const QString value = QString::fromUtf8(AnnouncedVersionValue);
    if (open && store.ReadText(value) == v) return;
    CurrentDialogs().ShowMessage(QApplication::activeWindow(),
                                 QStringLiteral("Обновление LiskoPrinter"), PackageUpdateText(v),
                                 QMessageBox::Information);
    if (!open) {
        try {
            store.CreateKey();
        } catch (const std::exception&) {
            return;
        }
        if (!store.OpenKey()) return;
    }
    store.WriteText(value, v);
}

}  // namespace

QString PackageUpdateText(const QString& v) {
    const QString site = QString::fromUtf8(identity::ProjectSite);
    return QStringLiteral(
               "Вышла новая версия LiskoPrinter: %1.<br><br>Программа установлена из пакета, "
               "поэтому новую версию устанавливает менеджер пакетов вашей системы (например, "
               "«Обновление приложений» или команда <tt>sudo apt upgrade</tt>), когда она "
               "появится в его источниках.<br><br>Сайт программы: <a href=\"https://%2/\">%2</a>")
        .arg(v.toHtmlEscaped(), site.toHtmlEscaped());
}

void CheckForUpdate(TForm4& form, const QString& programVersion) {
    if (checking) return;
    const QScopedValueRollback<bool> busy(checking, true);

    form.sProgressBar1->setValue(0);
    form.show();
    form.repaint();

    const std::optional<QString> server = UpdateServer();
    const std::optional<QString> v =
        server ? FetchServerVersion(Endpoint(*server, "/version.txt"),
                                    CurrentUpdateSystem().VersionFetchLimit())
               : std::nullopt;
    if (v) {
        form.sProgressBar1->setValue(100);
        form.repaint();
    }
    // Any difference counts, a lower version on the server too; an empty text is no version.
    if (v && !v->isEmpty() && *v != programVersion) {
        if (CurrentUpdateSystem().InstalledByPackage()) {
            AnnounceUpdate(form, *v);
            return;
        }
        if (InstallUpdate(form, *v, *server)) return;
    }
    form.hide();
}

bool DownloadFile(TForm4& form, const QUrl& url, const QString& fileName) {
    form.Tag = 1;
    form.sProgressBar1->setValue(0);
    form.repaint();
    if (!IsHttp(url)) return false;

    QNetworkAccessManager manager;
    manager.setProxy(SystemProxyFor(url));
    QNetworkRequest request = GuardedRequest(url);
    request.setRawHeader("User-Agent", AgentName());
    // Always from the server, never from a cache on the way.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    request.setTransferTimeout(static_cast<int>(CurrentUpdateSystem().StallLimit().count()));
    QNetworkReply* reply = Get(manager, request);
    reply->setReadBufferSize(kReadAheadBytes);

    WaitForData(*reply, form);
    const std::optional<qint64> length = AnnouncedSetupLength(*reply);
    if (form.Tag == 0 || !length) return false;

    try {
        // The bytes go to a temporary file that takes the name only once the download is
        // complete; on every other way out it is removed.
        WholeFile file(fileName);
        qint64 received = 0;
        char block[kBlockSize];
        for (;;) {
            form.sProgressBar1->setValue(ProgressPercent(received, *length));
            form.repaint();
            WaitForData(*reply, form);
            // A reply that broke off is closed and has nothing more to read.
            const qint64 n =
                reply->isReadable() ? std::max<qint64>(reply->read(block, kBlockSize), 0) : 0;
            file.Write(QByteArray::fromRawData(block, n));
            received += n;
            // This is where the cancel button and the main window's handlers run.
            QCoreApplication::processEvents();
            if (n == 0 || form.Tag == 0) break;
        }
        const bool complete = form.Tag != 0 && reply->isFinished() &&
                              reply->error() == QNetworkReply::NoError && received == *length;
        if (!complete) return false;
        file.Commit();
    } catch (const WriteError& e) {
        throw StepFailed("DownloadFile", e);
    }
    return true;
}

std::optional<QString> FetchServerVersion(const QUrl& url, std::chrono::milliseconds limit) {
    if (!IsHttp(url)) return std::nullopt;
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request = GuardedRequest(url);
    request.setRawHeader("Accept", "text/html, */*");
    request.setRawHeader("Accept-Language", "ru");
    request.setRawHeader("User-Agent", "Mozilla/3.0 (compatible; Indy Library)");
    QNetworkReply* reply = Get(manager, request);
    QTimer::singleShot(limit, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->bytesAvailable() > kMaxVersionBytes) reply->abort();
    });
    // The check blocks start-up until it is over; the user's input waits meanwhile.
    while (!reply->isFinished()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
    const int status = HttpStatus(*reply);
    if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299)
        return std::nullopt;
    return DecodeVersionText(reply->readAll(), reply->rawHeader("Content-Type"));
}

QString QueryHttpHeader(const QNetworkReply& reply, const QByteArray& name) {
    return QString::fromLatin1(reply.rawHeader(name));
}

int ProgressPercent(qint64 received, qint64 announced) {
    return static_cast<int>(std::min<qint64>(received * 100 / announced, 100));
}

bool MayFollowRedirect(const QUrl& from, const QUrl& to) {
    if (!IsHttp(to) || to.host().compare(from.host(), Qt::CaseInsensitive) != 0) return false;
    return to.scheme() == from.scheme() || to.scheme() == QLatin1String("https");
}

}  // namespace lisko
