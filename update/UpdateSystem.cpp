#include "update/UpdateSystem.h"

#include <QApplication>
#include <QFileInfo>
#include <QHostAddress>
#include <cstdlib>

#include "identity/Identity.h"

#ifdef Q_OS_WIN
#include <QDir>
#include <string>

#include <windows.h>
#else
#include <QProcess>
#endif

namespace lisko {

namespace {

using namespace std::chrono_literals;

UpdateSystem* current = nullptr;

}  // namespace

QString DesktopUpdateSystem::ProgramFile() const {
    return QCoreApplication::applicationFilePath();
}

#ifdef Q_OS_WIN
void DesktopUpdateSystem::StartScript(const QString& script, const QString& directory) {
    const std::wstring application = QDir::toNativeSeparators(script).toStdWString();
    const std::wstring workingDirectory = QDir::toNativeSeparators(directory).toStdWString();
    wchar_t commandLine[] = L"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    // Whether the script started is not looked at: the program ends either way.
    if (CreateProcessW(application.c_str(), commandLine, nullptr, nullptr, FALSE,
                       NORMAL_PRIORITY_CLASS, nullptr, workingDirectory.c_str(), &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
#else
void DesktopUpdateSystem::StartScript(const QString& script, const QString& directory) {
    QProcess::startDetached(QStringLiteral("/bin/sh"), {script}, directory);
}
#endif

void DesktopUpdateSystem::EndProgram() {
    // Closing the windows first lets the main window delete the working copies of photos added
    // while the setup program downloaded; then the program ends at once, as the script expects.
    QApplication::closeAllWindows();
    std::_Exit(0);
}

std::chrono::milliseconds DesktopUpdateSystem::VersionFetchLimit() const {
    return 5s;
}

std::chrono::milliseconds DesktopUpdateSystem::StallLimit() const {
    return 30s;
}

bool DesktopUpdateSystem::InstalledByPackage() const {
    if (LISKO_PACKAGED) return true;
    const QFileInfo program(ProgramFile());
    return !program.isWritable() || !QFileInfo(program.absolutePath()).isWritable();
}

UpdateSystem& CurrentUpdateSystem() {
    static DesktopUpdateSystem desktop;
    return current ? *current : desktop;
}

ScopedUpdateSystem::ScopedUpdateSystem(UpdateSystem& system) : previous_(current) {
    current = &system;
}

ScopedUpdateSystem::~ScopedUpdateSystem() {
    current = previous_;
}

bool IsTrustedUpdateServer(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    if (url.scheme() == QLatin1String("https")) return true;
    if (url.scheme() != QLatin1String("http")) return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

std::optional<QString> UpdateServer() {
    QString server = qEnvironmentVariable("LISKO_UPDATE_URL");
    // The program runs what it downloads, so by default it takes it over an authenticated
    // connection.
    if (server.isEmpty())
        server = QStringLiteral("https://") + QString::fromUtf8(identity::ProjectSite);
    while (server.endsWith(QLatin1Char('/')))
        server.chop(1);
    if (!IsTrustedUpdateServer(QUrl(server, QUrl::StrictMode))) {
        qWarning(
            "LISKO_UPDATE_URL: \"%s\" is refused: the update comes over https://, or http:// "
            "from this machine (localhost, 127.0.0.1, ::1) only",
            qUtf8Printable(server));
        return std::nullopt;
    }
    return server;
}

}  // namespace lisko
