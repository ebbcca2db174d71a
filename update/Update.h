#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>

class QNetworkReply;

namespace lisko {

class TForm4;

// The first step of showing the main window. Fetches the update server's version text and
// compares it with programVersion; when they differ, downloads the setup program into the
// program's directory, writes the replacement script beside it, starts the script and ends the
// program. Otherwise (equal versions, or anything failed) the update window is hidden again and
// start-up goes on; a file that cannot be written is reported in the standard error box.
// A program installed by a package (UpdateSystem::InstalledByPackage) downloads nothing: it says
// once per new version that the package manager installs it, and goes on.
void CheckForUpdate(TForm4& form, const QString& programVersion);

// The name of the settings store's value that keeps the last version announced.
inline constexpr char AnnouncedVersionValue[] = "ОбъявленнаяВерсия";

// The announcement of a new version v to a program installed by a package, as rich text.
QString PackageUpdateText(const QString& v);

// Downloads the resource at url into fileName in blocks of at most 1024 bytes, showing the
// progress in the window, whose cancel button stops it. True only for a complete download: HTTP
// status 200, an announced length above 0 and exactly that many bytes received without a
// transfer error; only then does the file exist. Throws when the file cannot be written.
bool DownloadFile(TForm4& form, const QUrl& url, const QString& fileName);

// The server's version text, or nothing when the fetch fails in any way (no connection, an error
// status, a redirect elsewhere, no answer within limit). The window's events other than user
// input are processed meanwhile.
std::optional<QString> FetchServerVersion(const QUrl& url, std::chrono::milliseconds limit);

// One header of a response as text, or empty when it is missing.
QString QueryHttpHeader(const QNetworkReply& reply, const QByteArray& name);

// Received of announced bytes in percent, at most 100; announced must be above 0.
int ProgressPercent(qint64 received, qint64 announced);

// Whether a redirect from one address to another may be followed: only to the same host, and
// never from https to http.
bool MayFollowRedirect(const QUrl& from, const QUrl& to);

}  // namespace lisko
